#include "semivariogram/gama3.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace mornax {
namespace {

// Angles are converted with pi taken as 3.145 in single precision.
constexpr double kPi = static_cast<double>(3.145f);
constexpr double kDegreesToRadians = kPi / 180.0;
constexpr double kHalfDegreesToRadians = kPi / 360.0;
// Raises both class bounds by about 1e-6 of a lag, so that a pair at exactly
// k lags belongs to class k.
constexpr double kClassOffset = static_cast<double>(0.999999f);

ValueStatistics Statistics(std::span<const double> z) {
  double sum = 0.0;
  double sumOfSquares = 0.0;
  for (const double value : z) {
    sum += value;
    sumOfSquares += value * value;
  }
  ValueStatistics stats;
  stats.pointsUsed = static_cast<int>(z.size());
  const double np = static_cast<double>(z.size());
  stats.average = sum / np;
  stats.variance = (sumOfSquares - sum * sum / np) / np;
  return stats;
}

}  // namespace

ValueStatistics Gama3(std::span<const double> z, std::span<const double> x,
                      std::span<const double> y, int& nlags, double lag, double direction,
                      double tolerance, LagArrays& lags) {
  const double theta = direction * kDegreesToRadians;
  const double cosTheta = std::cos(theta);
  const double sinTheta = std::sin(theta);
  const double cmin = std::cos(tolerance * kHalfDegreesToRadians);

  const auto classes = static_cast<std::size_t>(nlags);
  std::fill_n(lags.lag1.begin(), classes, 0.0);
  std::fill_n(lags.lag2.begin(), classes, 0.0);
  std::fill_n(lags.lag3.begin(), classes, 0.0);

  const ValueStatistics stats = Statistics(z);

  // Classes beyond nlags are never counted, so the class number is compared
  // as a real before it is truncated (no integer overflow for far pairs).
  const double beyondLast = static_cast<double>(nlags) + 1.0;
  int highest = 1;
  const std::size_t n = z.size();
  for (std::size_t i = 0; i + 1 < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      const double dx = x[j] - x[i];
      const double dy = y[j] - y[i];
      const double d = std::sqrt(dx * dx + dy * dy);
      const double position = d / lag + kClassOffset;
      // Class 0 (a pair closer than about 1e-6 of a lag) has no slot; the
      // test is written so that a non-finite position is skipped as well.
      if (!(position >= 1.0 && position < beyondLast)) continue;
      const int k = static_cast<int>(position);
      const double c = (dy * sinTheta + dx * cosTheta) / d;
      if (std::fabs(c) < cmin) continue;
      const double dz = z[j] - z[i];
      const auto slot = static_cast<std::size_t>(k - 1);
      lags.lag1[slot] += 1.0;
      lags.lag3[slot] += d;
      lags.lag2[slot] += 0.5 * (dz * dz);
      highest = std::max(highest, k);
    }
  }

  for (std::size_t slot = 0; slot < classes; ++slot) {
    const double count = std::max(lags.lag1[slot], 1.0);
    lags.lag3[slot] /= count;
    lags.lag2[slot] /= count;
  }
  nlags = highest;
  return stats;
}

}  // namespace mornax
