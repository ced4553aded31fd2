// Bounded Marquardt iteration: one call is one iteration of a damped, scaled
// Gauss-Newton fit of the three model parameters to observed values, with
// numerical derivatives and the trial point clipped into the bounds.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "models/variogram_models.h"

namespace mornax {

constexpr int kMarqParameters = 3;

// Status codes left in MarqState::icon.
constexpr int kIconConverged = 0;
constexpr int kIconNoImprovement = -1;
constexpr int kIconTooFewObservations = -2;
// The model gave a non-finite value at the current point or at one of its
// derivative points, so no step can be computed.
constexpr int kIconNotEvaluable = -3;
constexpr int kIconLambdaLarge = -4;

// Caller-owned state of one fit, kept between the calls. Start with it = 0;
// values of nu, lambda, tau and eps that are <= 0 are replaced by their
// defaults (10, 0.01, 0.001, 2e-5) at every call.
struct MarqState {
  double nu = 0.0;      // factor by which lambda shrinks and grows
  double lambda = 0.0;  // damping factor
  double tau = 0.0;     // offset in the relative-change test
  double eps = 0.0;     // convergence limit of the relative change
  double phi = 0.0;     // sum of squares at the current parameters
  int it = 0;           // number of completed calls
  int icon = 0;         // positive: iterate again
};

// Work areas, owned by the caller and kept between the calls of one fit.
struct MarqWork {
  std::span<double> vector;  // at least MarqWorkSize(N) values
  std::span<double> normal;  // 3 x 5, column-major
  std::span<double> solve;   // 3 x 5, column-major
};

// Length of MarqWork::vector for N observations: the derivative matrix N x 3,
// the trial values N and the derivative step bases (fixed by the first call).
constexpr std::size_t MarqWorkSize(std::size_t observations) {
  return 4 * observations + kMarqParameters;
}

// One iteration. x, y and f hold N values each: abscissae passed to the model,
// observations, and the model values at b (set by the first call). A
// parameter whose lower and upper bounds are equal is pinned: the first call
// sets it to that value, and it never moves (a parameter without influence).
void Marq(ModelParameters& b, std::span<const double> x, std::span<const double> y,
          std::span<double> f, MarqState& state, const ModelParameters& lower,
          const ModelParameters& upper, ModelFunction model, const MarqWork& work);

// Sum of (f - y)^2 over the observations.
double SumOfSquares(std::span<const double> f, std::span<const double> y);

// The message shown for a negative status ("" for others).
std::string_view MarqMessage(int icon);

}  // namespace mornax
