// Anisotropic and nested kriging against isotropic kriging: the same data
// (100 000 points of the benchmark field) and nodes, 16 neighbours,
// ordinary kriging. A timed program: best of three wall times per model.
//
//   mornax_aniso_bench [NODES]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "api/mornax_arrays.h"
#include "bench_data.h"

int main(int argc, char** argv) {
  const int nodes = argc > 1 ? std::atoi(argv[1]) : 100000;
  mornax::bench::Field field(100000);
  const mornax::DataSet data = field.Data();
  const auto n = static_cast<long>(data.count);
  const std::vector<double> x(data.x.begin(), data.x.begin() + n);
  const std::vector<double> y(data.y.begin(), data.y.begin() + n);
  const std::vector<double> z(data.z.begin(), data.z.begin() + n);
  const std::vector<double> nx = field.QueryX(nodes), ny = field.QueryY(nodes);

  struct Model {
    const char* name;
    mornax::api::Variogram variogram;
  };
  using mornax::api::Variogram;
  Model models[] = {
      {"isotropic", Variogram{.model = 2, .sill = 40.0, .a = 3000.0, .c0 = 1.0}},
      {"anisotropic",
       Variogram{.model = 2, .sill = 40.0, .a = 3000.0, .c0 = 1.0, .anisotropy = {30.0, 0.4}}},
      {"nested",
       Variogram{.model = 2,
                 .sill = 30.0,
                 .a = 3000.0,
                 .c0 = 1.0,
                 .anisotropy = {30.0, 0.4},
                 .structures = {{.model = 3, .c = 10.0, .a = 800.0, .anisotropy = {100.0, 0.5}}}}},
  };
  for (const Model& m : models) {
    mornax::api::KrigingParameters p;
    p.variogram = m.variogram;
    p.neighbours = 16;
    double best = 1e30;
    for (int r = 0; r < 3; ++r) {
      const auto start = std::chrono::steady_clock::now();
      const auto result = mornax::api::Kriging({x, y, z}, {nx, ny}, p);
      best = std::min(
          best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
      if (!result.report.completed()) return 1;
    }
    std::printf("%-12s %d nodes from 100000 points, 16 neighbours: %.3f s\n", m.name, nodes, best);
  }
  return 0;
}
