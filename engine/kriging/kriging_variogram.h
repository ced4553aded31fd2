// The semivariogram of kriging: its own formulas for the five models kriging
// accepts, evaluated between two points.
#pragma once

#include "models/model_numbers.h"

namespace mornax {

// Where the exponential (r) and Gaussian (r^2) models are cut to the sill.
inline constexpr double kVariogramCutOff = 50.0;

struct VariogramModel {
  int model = kSphericalModel;  // 2-5 as named above; any other number is model 1
  double sill = 0.0;
  double c = 0.0;
  double c0 = 0.0;
  double a = 0.0;
};

// gamma(h) for h = sqrt((x1 - x2)^2 + (y1 - y2)^2), with r = h / a:
//   1 polynomial  min(C h^a + C0, Sill)
//   2 spherical   Sill if h > a, else C (1.5 r - 0.5 r^3) + C0
//   3 exponential Sill if r >= 50, else C (1 - exp(-r)) + C0
//   4 Gaussian    Sill if r^2 >= 50, else C (1 - exp(-r^2)) + C0
//   5 De Wijsian  a ln h + C0 (h > 0)
// A negative value becomes 0, and gamma(0) is 0 (the nugget never stands on
// the diagonal of the system).
double KrigingVariogram(double x1, double x2, double y1, double y2, const VariogramModel& model);

}  // namespace mornax
