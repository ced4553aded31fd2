// Geometric anisotropy as a linear map of coordinates: rotated so that the
// major axis lies along the first coordinate and stretched across it by
// 1 / ratio, so that the anisotropic distance is the Euclidean distance of the
// mapped points.
#pragma once

namespace mornax {

// A 2 x 2 linear map, (x, y) -> (xx x + xy y, yx x + yy y).
struct LinearMap {
  double xx = 1.0, xy = 0.0, yx = 0.0, yy = 1.0;
  // The identity is kept apart so that an isotropic model computes exactly
  // what it computed before anisotropy existed.
  bool identity = true;

  void Apply(double x, double y, double& u, double& v) const {
    if (identity) {
      u = x;
      v = y;
      return;
    }
    u = xx * x + xy * y;
    v = yx * x + yy * y;
  }
};

// The map of an anisotropy: `angle` in degrees from x towards y, `ratio` of
// minor to major range in (0, 1]. A ratio of 1 gives the identity whatever
// the angle.
LinearMap AnisotropyMap(double angle, double ratio);

// The inverse of an anisotropy's map.
LinearMap InverseAnisotropyMap(double angle, double ratio);

// first then second: second(first(p)).
LinearMap Compose(const LinearMap& first, const LinearMap& second);

// Two anisotropies measure distance alike (both isotropic, or the same angle
// and ratio).
bool SameMetric(double angle1, double ratio1, double angle2, double ratio2);

}  // namespace mornax
