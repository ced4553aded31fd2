#include "kriging/kriging_drift.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace mornax {
namespace {

// A drift column counts as dependent on the columns before it when what is
// left of it after projecting it onto them is this small relative to its own
// length. Exactly dependent columns leave only rounding, 1e-16 to 1e-14; a
// point a millimetre off a line of wells 7 m long leaves 1e-4.
constexpr double kDependence = 1.0e-13;
// ... or when what is left is within this many times the rounding of the
// coordinates (per neighbour). Wells on a line far from the origin are on it
// only to the last place of their coordinates: 1e-9 m at 5,000 km, which in
// the local units of a neighbourhood 100 m wide is about 1e-11 and would
// otherwise pass for a real difference. The terms are products of at most
// two local coordinates of magnitude 1 or less, so their rounding is at most
// about twice that of one coordinate.
constexpr double kRoundingMargin = 16.0;

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

double DriftTerm(double x, double y, int ex, int ey, const DriftFrame& frame) {
  const double fx = ex == 0 ? 1.0 : Power((x - frame.centreX) / frame.scale, ex);
  const double fy = ey == 0 ? 1.0 : Power((y - frame.centreY) / frame.scale, ey);
  return fx * fy;
}

DriftFrame NeighbourFrame(std::span<const double> xn, std::span<const double> yn, int count) {
  if (count <= 0) return DriftFrame{};
  double xmin = xn[0], xmax = xn[0], ymin = yn[0], ymax = yn[0];
  for (std::size_t k = 1; k < static_cast<std::size_t>(count); ++k) {
    xmin = std::min(xmin, xn[k]);
    xmax = std::max(xmax, xn[k]);
    ymin = std::min(ymin, yn[k]);
    ymax = std::max(ymax, yn[k]);
  }
  DriftFrame frame;
  // Halves first: the sums and differences of coordinates near the largest
  // double would overflow.
  frame.centreX = 0.5 * xmin + 0.5 * xmax;
  frame.centreY = 0.5 * ymin + 0.5 * ymax;
  const double halfExtent = std::max(0.5 * xmax - 0.5 * xmin, 0.5 * ymax - 0.5 * ymin);
  frame.scale = halfExtent > 0.0 ? halfExtent : 1.0;
  const double magnitude =
      std::max({std::fabs(xmin), std::fabs(xmax), std::fabs(ymin), std::fabs(ymax)});
  frame.rounding = 0.5 * std::numeric_limits<double>::epsilon() * magnitude / frame.scale;
  return frame;
}

// Reduces F to its triangular factor R one row at a time with Givens
// rotations (no product F'F, whose rounding would hide small but genuine
// differences). |R(t, t)| is then the length of what column t has beyond the
// columns before it.
bool DriftIsDegenerate(const double* columns, int ld, int count, int terms, double rounding) {
  if (terms <= 0) return false;
  if (count < terms) return true;
  // The constant term alone is a column of ones, of length sqrt(count) (the
  // rotations below give it within a few units in the last place): clear of
  // both limits unless the rounding of the coordinates is near 1 / 16.
  if (terms == 1 && kRoundingMargin * rounding < 0.5) return false;
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
  const double roundingLength = kRoundingMargin * rounding * std::sqrt(static_cast<double>(count));
  for (std::size_t t = 0; t < n; ++t) {
    const double left = std::fabs(r[t][t]);
    if (!(left > kDependence * std::sqrt(squaredLength[t]) && left > roundingLength)) return true;
  }
  return false;
}

}  // namespace mornax
