#include "interpolation/kriging_drift.h"

#include <cmath>
#include <cstddef>

namespace mornax {
namespace {

// A drift column counts as dependent on the columns before it when what is
// left of it after projecting it onto them is this small relative to its own
// length. Exactly dependent columns leave only rounding, 1e-16 to 1e-14 even
// for steep lines far from the origin; a point a millimetre off a line of
// wells leaves 1e-4, and the second-order terms of a cluster 200 m wide
// 5,000 km from the origin still leave about 1e-11.
constexpr double kDependence = 1.0e-13;

double Power(double value, int exponent) {
  double result = 1.0;
  for (int k = 0; k < exponent; ++k) result *= value;
  return result;
}

}  // namespace

int DriftTermCount(int order) {
  switch (order) {
    case 0:
      return 1;
    case 1:
      return 3;
    case 2:
      return 6;
    default:
      return 0;
  }
}

double DriftTerm(double x, double y, int ex, int ey, double xmax, double ymax) {
  const double sx = xmax == 0.0 ? 1.0 : 1.0 / xmax;
  const double sy = ymax == 0.0 ? 1.0 : 1.0 / ymax;
  const double fx = ex == 0 ? 1.0 : Power(x * sx, ex);
  const double fy = ey == 0 ? 1.0 : Power(y * sy, ey);
  return fx * fy;
}

void NeighbourExtent(std::span<const double> xn, std::span<const double> yn, int count,
                     double& xmax, double& ymax) {
  xmax = count > 0 ? xn[0] : 0.0;
  ymax = count > 0 ? yn[0] : 0.0;
  for (std::size_t k = 1; k < static_cast<std::size_t>(count); ++k) {
    if (xn[k] > xmax) xmax = xn[k];
    if (yn[k] > ymax) ymax = yn[k];
  }
}

// Reduces F to its triangular factor R one row at a time with Givens
// rotations (no product F'F, whose rounding would hide small but genuine
// differences). |R(t, t)| is then the length of what column t has beyond the
// columns before it.
bool DriftIsDegenerate(const double* columns, int ld, int count, int terms) {
  if (terms <= 0) return false;
  if (count < terms) return true;
  std::array<std::array<double, kMaxDriftTerms>, kMaxDriftTerms> r{};
  std::array<double, kMaxDriftTerms> squaredLength{};
  std::array<double, kMaxDriftTerms> row{};
  const auto n = static_cast<std::size_t>(terms);
  const auto lead = static_cast<std::size_t>(ld);
  for (std::size_t k = 0; k < static_cast<std::size_t>(count); ++k) {
    for (std::size_t t = 0; t < n; ++t) {
      row[t] = columns[t * lead + k];
      squaredLength[t] += row[t] * row[t];
    }
    for (std::size_t t = 0; t < n; ++t) {
      if (row[t] == 0.0) continue;
      const double radius = std::hypot(r[t][t], row[t]);
      const double c = r[t][t] / radius;
      const double s = row[t] / radius;
      for (std::size_t u = t; u < n; ++u) {
        const double upper = r[t][u];
        r[t][u] = c * upper + s * row[u];
        row[u] = c * row[u] - s * upper;
      }
    }
  }
  for (std::size_t t = 0; t < n; ++t) {
    if (!(std::fabs(r[t][t]) > kDependence * std::sqrt(squaredLength[t]))) return true;
  }
  return false;
}

}  // namespace mornax
