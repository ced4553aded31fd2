#include "support/gaussian_field.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <numbers>
#include <random>

namespace mornax::testing {
namespace {

double Covariance(const FieldModel& m, double h) {
  const double r = h / m.a;
  const double shape =
      m.model == 2 ? (r < 1.0 ? 1.0 - 1.5 * r + 0.5 * r * r * r : 0.0) : std::exp(-r);
  return m.c * shape + (h == 0.0 ? m.c0 : 0.0);
}

}  // namespace

std::vector<FieldPoint> SimulateField(const FieldModel& model, int count, double x0, double y0,
                                      double side, std::uint64_t seed) {
  std::mt19937_64 engine(seed);
  const auto uniform = [&engine] { return static_cast<double>(engine() >> 11) * 0x1.0p-53; };
  const auto n = static_cast<std::size_t>(count);
  std::vector<FieldPoint> points(n);
  for (FieldPoint& p : points) {
    p.x = x0 + side * uniform();
    p.y = y0 + side * uniform();
  }
  // Lower Cholesky factor of the covariance matrix, row by row.
  std::vector<double> factor(n * n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j <= i; ++j) {
      const double dx = points[i].x - points[j].x;
      const double dy = points[i].y - points[j].y;
      const double t = model.angle * std::numbers::pi / 180.0;
      const double along = std::cos(t) * dx + std::sin(t) * dy;
      const double across = (-std::sin(t) * dx + std::cos(t) * dy) / model.ratio;
      double sum = Covariance(model, std::hypot(along, across));
      for (std::size_t k = 0; k < j; ++k) sum -= factor[i * n + k] * factor[j * n + k];
      factor[i * n + j] = i == j ? std::sqrt(sum) : sum / factor[j * n + j];
    }
  }
  // Standard normals by Box-Muller.
  std::vector<double> normal(n + 1);
  for (std::size_t i = 0; i < n; i += 2) {
    const double radius = std::sqrt(-2.0 * std::log(1.0 - uniform()));
    const double angle = 2.0 * std::numbers::pi * uniform();
    normal[i] = radius * std::cos(angle);
    normal[i + 1] = radius * std::sin(angle);
  }
  for (std::size_t i = 0; i < n; ++i) {
    double z = model.mean;
    for (std::size_t k = 0; k <= i; ++k) z += factor[i * n + k] * normal[k];
    points[i].z = z;
  }
  return points;
}

std::string DataFileText(const std::vector<FieldPoint>& points) {
  std::string text = "Simulated field\n" + std::to_string(points.size()) + "\n";
  char line[96];
  for (const FieldPoint& p : points) {
    std::snprintf(line, sizeof line, "%.3f %.3f %.5f\n", p.x, p.y, p.z);
    text += line;
  }
  return text + "0\n";
}

}  // namespace mornax::testing
