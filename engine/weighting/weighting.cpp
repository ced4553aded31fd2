#include "weighting/weighting.h"

#include <cmath>
#include <limits>

namespace mornax {
namespace {

// Single-precision constants used in double arithmetic.
constexpr double kZeroDistance = static_cast<double>(1.0e-7f);
constexpr double kRangeFactor = static_cast<double>(1.1f);
constexpr double kAlpha = static_cast<double>(1.0e-5f);
constexpr double kEpsilon = static_cast<double>(1.0e-8f);

// The natural logarithm of DistanceWeight, for weights too small or too
// large to hold; scheme 2 without a range weighs all neighbours alike.
double LogWeight(int scheme, double d, double dmax) {
  switch (scheme) {
    case 1:
      return -std::log(d);
    case 2: {
      if (dmax == 0.0) return 0.0;
      const double r = d / (kRangeFactor * dmax);
      return 2.0 * std::log((1.0 - r) / r);
    }
    case 3:
      return -kAlpha * d;
    case 4:
      return -2.0 * std::log(d);
    case 5:
      return -kAlpha * d * d - std::log(d * d + kEpsilon);
    case 6:
      return -1.0 / (d * d) - std::log(d * d + kEpsilon);
    default:
      return 0.0;
  }
}

}  // namespace

double DistanceWeight(int scheme, double d, double dmax) {
  switch (scheme) {
    case 1:
      return 1.0 / d;
    case 2: {
      const double r = d / (kRangeFactor * dmax);
      const double ratio = (1.0 - r) / r;
      return ratio * ratio;
    }
    case 3:
      return std::exp(-kAlpha * d);
    case 4:
      return 1.0 / (d * d);
    case 5:
      return std::exp(-kAlpha * d * d) / (d * d + kEpsilon);
    case 6:
      return std::exp(-1.0 / (d * d)) / (d * d + kEpsilon);
    default:
      return 0.0;
  }
}

double WeightedEstimate(const DataSet& data, int nearest, int scheme, int excluded, double x0,
                        double y0, EstimateWorkspace& workspace) {
  const double dmax =
      SelectNearest(data, x0, y0, excluded, nearest, kWeightingExclusion, workspace);
  auto& nb = workspace.neighbours;
  double* weight = nb.work1.data.data();
  const double* xn = nb.x.data.data();
  const double* yn = nb.y.data.data();
  const double* zn = nb.value.data.data();

  double sum = 0.0;
  for (int k = 0; k < nearest; ++k) {
    const double dx = xn[k] - x0;
    const double dy = yn[k] - y0;
    double d = std::sqrt(dx * dx + dy * dy);
    if (d == 0.0) d = kZeroDistance;
    weight[k] = DistanceWeight(scheme, d, dmax);
    sum += weight[k];
  }

  if (!(sum > 0.0) || !std::isfinite(sum)) {
    // Relative to the largest weight the sum is at least 1.
    double largest = -std::numeric_limits<double>::infinity();
    for (int k = 0; k < nearest; ++k) {
      const double dx = xn[k] - x0;
      const double dy = yn[k] - y0;
      double d = std::sqrt(dx * dx + dy * dy);
      if (d == 0.0) d = kZeroDistance;
      weight[k] = LogWeight(scheme, d, dmax);
      if (weight[k] > largest) largest = weight[k];
    }
    sum = 0.0;
    for (int k = 0; k < nearest; ++k) {
      weight[k] = std::exp(weight[k] - largest);
      sum += weight[k];
    }
  }

  double estimate = 0.0;
  for (int k = 0; k < nearest; ++k) {
    weight[k] = weight[k] / sum;
    estimate += weight[k] * zn[k];
  }
  return estimate;
}

}  // namespace mornax
