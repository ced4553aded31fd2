// Values drawn from a Gaussian random field with a known semivariogram, at
// points spread at random over a square: the test data of the fit, whose
// result can then be held against the model that made them. Deterministic
// for a seed on every platform (own uniform and normal draws).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mornax::testing {

struct FieldModel {
  int model = 2;   // 2 spherical (range a), 3 exponential (distance parameter a)
  double c = 1.0;  // partial sill
  double a = 1.0;
  double c0 = 0.0;  // nugget
  double mean = 0.0;
  // Geometric anisotropy: the major axis in degrees from x towards y and the
  // ratio of the minor to the major range (1: isotropic).
  double angle = 0.0;
  double ratio = 1.0;
};

struct FieldPoint {
  double x, y, z;
};

// `count` points uniform over [x0, x0 + side] x [y0, y0 + side], their values
// one draw of the field (Cholesky factor of the covariance times standard
// normals).
std::vector<FieldPoint> SimulateField(const FieldModel& model, int count, double x0, double y0,
                                      double side, std::uint64_t seed);

// The points as a data file: title, count, "x y z" lines, no network.
std::string DataFileText(const std::vector<FieldPoint>& points);

}  // namespace mornax::testing
