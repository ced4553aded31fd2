#include "models/anisotropy.h"

#include <cmath>
#include <numbers>

namespace mornax {
namespace {

// Cosine and sine of an angle in degrees, exact at the multiples of 90 so
// that axis-parallel anisotropies add no rounding of their own.
void CosSin(double degrees, double& c, double& s) {
  double reduced = std::fmod(degrees, 360.0);
  if (reduced < 0.0) reduced += 360.0;
  if (reduced == 0.0 || reduced == 90.0 || reduced == 180.0 || reduced == 270.0) {
    const int quarter = static_cast<int>(reduced / 90.0);
    constexpr double kCos[] = {1.0, 0.0, -1.0, 0.0};
    constexpr double kSin[] = {0.0, 1.0, 0.0, -1.0};
    c = kCos[quarter];
    s = kSin[quarter];
    return;
  }
  const double radians = reduced * std::numbers::pi / 180.0;
  c = std::cos(radians);
  s = std::sin(radians);
}

}  // namespace

LinearMap AnisotropyMap(double angle, double ratio) {
  if (ratio == 1.0) return LinearMap{};
  double c = 0.0;
  double s = 0.0;
  CosSin(angle, c, s);
  // Along the major axis, then across it (stretched).
  return LinearMap{c, s, -s / ratio, c / ratio, false};
}

LinearMap InverseAnisotropyMap(double angle, double ratio) {
  if (ratio == 1.0) return LinearMap{};
  double c = 0.0;
  double s = 0.0;
  CosSin(angle, c, s);
  return LinearMap{c, -s * ratio, s, c * ratio, false};
}

LinearMap Compose(const LinearMap& first, const LinearMap& second) {
  if (first.identity) return second;
  if (second.identity) return first;
  return LinearMap{second.xx * first.xx + second.xy * first.yx,
                   second.xx * first.xy + second.xy * first.yy,
                   second.yx * first.xx + second.yy * first.yx,
                   second.yx * first.xy + second.yy * first.yy, false};
}

bool SameMetric(double angle1, double ratio1, double angle2, double ratio2) {
  if (ratio1 != ratio2) return false;
  if (ratio1 == 1.0) return true;
  return std::fmod(angle1 - angle2, 180.0) == 0.0;
}

}  // namespace mornax
