// The anisotropic and nested kriging cases of the comparison with R's gstat
// (bench/gstat_compare.sh): generated data and nodes, and this engine's
// estimates and standard errors at full precision.
//
//   mornax_gstat_cases FOLDER
//
// Writes FOLDER/data.csv (x,y,z), FOLDER/nodes.csv (x,y) and
// FOLDER/mornax_CASE.csv (estimate,se) for each case; every point is a
// neighbour of every node, so both programs solve the same systems.
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "api/mornax_arrays.h"

namespace {

using mornax::api::KrigingParameters;
using mornax::api::Structure;
using mornax::api::Variogram;

constexpr int kPoints = 80;
constexpr int kNodes = 60;

struct Case {
  const char* name;
  KrigingParameters parameters;
};

std::vector<Case> Cases() {
  std::vector<Case> cases;
  KrigingParameters p;
  p.neighbours = kPoints;
  // Spherical, sill 12 (nugget 2), range 400 along 30 degrees, ratio 0.4.
  p.variogram =
      Variogram{.model = 2, .sill = 12.0, .a = 400.0, .c0 = 2.0, .anisotropy = {30.0, 0.4}};
  cases.push_back({"sph_aniso", p});
  // Exponential along 120 degrees, ratio 0.25, linear drift.
  p.variogram =
      Variogram{.model = 3, .sill = 10.0, .a = 150.0, .c0 = 0.5, .anisotropy = {120.0, 0.25}};
  p.order = 1;
  cases.push_back({"exp_aniso_drift", p});
  // Nested: nugget, a spherical along 30 degrees (ratio 0.5) and an
  // exponential along 100 degrees (ratio 0.3), ordinary kriging.
  p.order = 0;
  p.variogram =
      Variogram{.model = 2, .sill = 7.0, .a = 500.0, .c0 = 1.0, .anisotropy = {30.0, 0.5}};
  p.variogram.structures = {
      Structure{.model = 3, .c = 4.0, .a = 120.0, .anisotropy = {100.0, 0.3}}};
  cases.push_back({"nested", p});
  // Nested Gaussian and spherical with a quadratic drift.
  p.order = 2;
  p.variogram =
      Variogram{.model = 4, .sill = 5.0, .a = 200.0, .c0 = 0.2, .anisotropy = {75.0, 0.6}};
  p.variogram.structures = {
      Structure{.model = 2, .c = 6.0, .a = 900.0, .anisotropy = {160.0, 0.5}}};
  cases.push_back({"nested_drift", p});
  return cases;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mornax_gstat_cases FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  std::mt19937_64 engine(2024);
  std::uniform_real_distribution<double> at(0.0, 1000.0);
  std::vector<double> x, y, z, nx, ny;
  for (int i = 0; i < kPoints; ++i) {
    x.push_back(at(engine));
    y.push_back(at(engine));
    z.push_back(100.0 + 0.01 * x.back() - 0.02 * y.back() + at(engine) / 100.0);
  }
  for (int i = 0; i < kNodes; ++i) {
    nx.push_back(at(engine));
    ny.push_back(at(engine));
  }
  std::FILE* data = std::fopen((folder + "/data.csv").c_str(), "w");
  std::FILE* nodes = std::fopen((folder + "/nodes.csv").c_str(), "w");
  if (data == nullptr || nodes == nullptr) return 1;
  std::fprintf(data, "x,y,z\n");
  for (int i = 0; i < kPoints; ++i) std::fprintf(data, "%.17g,%.17g,%.17g\n", x[i], y[i], z[i]);
  std::fprintf(nodes, "x,y\n");
  for (int i = 0; i < kNodes; ++i) std::fprintf(nodes, "%.17g,%.17g\n", nx[i], ny[i]);
  std::fclose(data);
  std::fclose(nodes);
  for (const Case& c : Cases()) {
    const auto r = mornax::api::Kriging({x, y, z}, {nx, ny}, c.parameters);
    if (!r.report.completed()) return 1;
    std::FILE* out = std::fopen((folder + "/mornax_" + c.name + ".csv").c_str(), "w");
    if (out == nullptr) return 1;
    std::fprintf(out, "estimate,se\n");
    for (int i = 0; i < kNodes; ++i) {
      std::fprintf(out, "%.17g,%.17g\n", r.estimate[i], r.standardError[i]);
    }
    std::fclose(out);
  }
  return 0;
}
