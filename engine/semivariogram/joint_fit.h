// The joint fit of directional semivariograms: one model (spherical,
// exponential or Gaussian) with a common nugget and sill and a range that
// depends on the direction through a geometric anisotropy,
//   gamma(h, phi) = C0 + C f(h sqrt(cos^2(phi - angle) + sin^2(phi - angle) / ratio^2) / a),
// fitted to the classes of every direction at once by a bounded, damped
// Gauss-Newton (Levenberg-Marquardt) iteration over C, a, C0, angle and
// ratio, with the bounds of the one-direction fit for C, a and C0.
#pragma once

#include <array>
#include <span>
#include <vector>

namespace mornax {

// One direction's classes: its axis (degrees from x towards y) and the
// classes' mean distance and semivariance (empty classes left out).
struct DirectionClasses {
  double direction = 0.0;
  std::vector<double> distance, semivariance;
};

struct JointFitSpec {
  int model = 2;                    // 2-4
  std::array<double, 3> initial{};  // C, a, C0 (B1-B3 of the one-direction fit)
  std::array<double, 3> minimum{};
  std::array<double, 3> maximum{};
  double minimumRatio = 0.05;
  int iterations = 200;
};

struct JointFitOutcome {
  std::array<double, 3> b{};  // C, a (along the major axis), C0
  double angle = 0.0;         // major axis, degrees in [0, 180)
  double ratio = 1.0;
  double chi2 = 0.0;  // sum of squares of model - observed over every class
  int iterations = 0;
  bool converged = false;
};

// The model at distance h in direction `direction` (degrees).
double JointModelValue(int model, const std::array<double, 3>& b, double angle, double ratio,
                       double direction, double h);

// Fits the model; starts from each direction as the major axis (ratio 0.5)
// and keeps the best. Needs at least five classes in all.
JointFitOutcome JointFit(std::span<const DirectionClasses> directions, const JointFitSpec& spec);

}  // namespace mornax
