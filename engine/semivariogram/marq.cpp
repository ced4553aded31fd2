#include "semivariogram/marq.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace mornax {
namespace {

constexpr int K = kMarqParameters;
constexpr std::size_t kColumns = K + 2;  // the normal matrix, g and the scales

// Defaults and limits; most are single-precision constants widened to double.
constexpr double kDefaultNu = 10.0;
constexpr double kDefaultLambda = static_cast<double>(0.01f);
constexpr double kDefaultTau = static_cast<double>(0.001f);
constexpr double kDefaultEps = static_cast<double>(2e-5f);
constexpr double kExactFit = static_cast<double>(1e-7f);
constexpr double kNoInfluence = static_cast<double>(1e-20f);
constexpr double kLambdaLimit = 1e8;
constexpr double kStepBaseOffset = static_cast<double>(0.01f);
constexpr double kDerivativeStep = static_cast<double>(0.001f);
constexpr double kDegreesPerRadian = 57.29577791868204;

// Element (row, column) of a column-major K x (K + 2) matrix.
double& At(std::span<double> matrix, int row, int column) {
  return matrix[static_cast<std::size_t>(column * K + row)];
}

void ApplyDefaults(MarqState& state) {
  // A factor of 1 or less would never let lambda grow out of a failed step.
  if (state.nu <= 1.0) state.nu = kDefaultNu;
  if (state.lambda <= 0.0) state.lambda = kDefaultLambda;
  if (state.tau <= 0.0) state.tau = kDefaultTau;
  if (state.eps <= 0.0) state.eps = kDefaultEps;
}

struct Gradient {
  bool evaluated = false;  // false: the model failed at a derivative point
  std::array<double, K> g{};
  double squared = 0.0;  // |g|^2
};

// A parameter whose bounds are equal is pinned: held at that value, it is a
// parameter without influence.
bool Pinned(const ModelParameters& lower, const ModelParameters& upper, std::size_t j) {
  return lower[j] == upper[j];
}

// Derivative matrix by forward differences (backwards at the upper bound),
// then the scaled normal equations: columns 0..K-1 of `normal` hold A*, column
// K holds g* and column K+1 the scales. A pinned parameter's column is zero.
Gradient BuildNormalEquations(const ModelParameters& b, std::span<const double> x,
                              std::span<const double> y, std::span<const double> f,
                              const ModelParameters& lower, const ModelParameters& upper,
                              ModelFunction model, std::span<const double> stepBase,
                              std::span<double> derivatives, std::span<double> normal) {
  const std::size_t n = x.size();
  for (int j = 0; j < K; ++j) {
    const auto uj = static_cast<std::size_t>(j);
    if (Pinned(lower, upper, uj)) {
      std::fill_n(derivatives.begin() + static_cast<std::ptrdiff_t>(uj * n), n, 0.0);
      continue;
    }
    double delta = kDerivativeStep * std::max(std::fabs(b[uj]), stepBase[uj]);
    if (b[uj] + delta > upper[uj]) delta = -delta;
    ModelParameters shifted = b;
    shifted[uj] = b[uj] + delta;
    const auto column = derivatives.subspan(uj * n, n);
    model(shifted, x, column);
    for (std::size_t i = 0; i < n; ++i) column[i] = (column[i] - f[i]) / delta;
  }

  Gradient gradient;
  auto& g = gradient.g;
  std::array<std::array<double, K>, K> a{};
  for (int j = 0; j < K; ++j) {
    const auto dj = derivatives.subspan(static_cast<std::size_t>(j) * n, n);
    double gj = 0.0;
    for (std::size_t i = 0; i < n; ++i) gj += (y[i] - f[i]) * dj[i];
    g[static_cast<std::size_t>(j)] = gj;
    for (int l = 0; l < K; ++l) {
      const auto dl = derivatives.subspan(static_cast<std::size_t>(l) * n, n);
      double ajl = 0.0;
      for (std::size_t i = 0; i < n; ++i) ajl += dj[i] * dl[i];
      a[static_cast<std::size_t>(j)][static_cast<std::size_t>(l)] = ajl;
    }
  }
  for (int j = 0; j < K; ++j) {
    const auto uj = static_cast<std::size_t>(j);
    if (!std::isfinite(g[uj])) return gradient;
    for (const double value : a[uj]) {
      if (!std::isfinite(value)) return gradient;
    }
  }

  // A parameter without influence keeps its value: its equation becomes z = 0.
  for (std::size_t j = 0; j < K; ++j) {
    if (a[j][j] <= kNoInfluence) {
      a[j].fill(0.0);
      g[j] = 0.0;
      a[j][j] = 1.0;
    }
  }
  for (const double gj : g) gradient.squared += gj * gj;

  std::array<double, K> s{};
  for (std::size_t j = 0; j < K; ++j) s[j] = std::sqrt(a[j][j]);
  for (int j = 0; j < K; ++j) {
    const auto uj = static_cast<std::size_t>(j);
    for (int l = 0; l < K; ++l) {
      const auto ul = static_cast<std::size_t>(l);
      At(normal, j, l) = a[uj][ul] / (s[uj] * s[ul]);
    }
    At(normal, j, K) = g[uj] / s[uj];
    At(normal, j, K + 1) = s[uj];
  }
  gradient.evaluated = true;
  return gradient;
}

// Solves (A* + lambda I) z = g* by Gauss-Jordan elimination with the pivots
// taken on the diagonal in natural order. False when a pivot is zero or the
// solution is not finite (the caller then damps harder).
bool SolveDamped(std::span<double> normal, std::span<double> solve, double lambda,
                 std::array<double, K>& z) {
  std::copy_n(normal.begin(), static_cast<std::size_t>(K) * kColumns, solve.begin());
  for (int j = 0; j < K; ++j) At(solve, j, j) += lambda;
  for (int p = 0; p < K; ++p) {
    const double pivot = At(solve, p, p);
    if (pivot == 0.0 || !std::isfinite(pivot)) return false;
    for (int c = p; c <= K; ++c) At(solve, p, c) /= pivot;
    for (int r = 0; r < K; ++r) {
      if (r == p) continue;
      const double factor = At(solve, r, p);
      for (int c = p; c <= K; ++c) At(solve, r, c) -= factor * At(solve, p, c);
    }
  }
  for (int j = 0; j < K; ++j) {
    z[static_cast<std::size_t>(j)] = At(solve, j, K);
    if (!std::isfinite(z[static_cast<std::size_t>(j)])) return false;
  }
  return true;
}

// Angle in degrees between the step and the gradient.
double StepAngle(const std::array<double, K>& step, const Gradient& gradient) {
  double stepGradient = 0.0;
  double stepSquared = 0.0;
  for (std::size_t j = 0; j < K; ++j) {
    stepGradient += step[j] * gradient.g[j];
    stepSquared += step[j] * step[j];
  }
  // A zero step or gradient has no direction; 0 makes the angle neutral.
  double c = stepGradient / std::sqrt(stepSquared * gradient.squared);
  if (!std::isfinite(c)) c = 0.0;
  const bool mirrored = c < 0.0;
  if (mirrored) c = -c;
  c = std::min(c, 1.0);
  const double angle = std::acos(c) * kDegreesPerRadian;
  return mirrored ? 180.0 - angle : angle;
}

}  // namespace

void Marq(ModelParameters& b, std::span<const double> x, std::span<const double> y,
          std::span<double> f, MarqState& state, const ModelParameters& lower,
          const ModelParameters& upper, ModelFunction model, const MarqWork& work) {
  ApplyDefaults(state);
  const std::size_t n = x.size();
  if (n < static_cast<std::size_t>(K)) {
    state.icon = kIconTooFewObservations;
    return;
  }
  const auto derivatives = work.vector.subspan(0, K * n);
  const auto trialValues = work.vector.subspan(K * n, n);
  const auto stepBase = work.vector.subspan((K + 1) * n, K);

  if (state.it <= 0) {
    for (std::size_t j = 0; j < K; ++j) {
      if (Pinned(lower, upper, j)) b[j] = lower[j];
      stepBase[j] = std::fabs(b[j]) + kStepBaseOffset;
    }
    model(b, x, trialValues);
    const double phi = SumOfSquares(trialValues, y);
    if (!std::isfinite(phi)) {
      state.icon = kIconNotEvaluable;
      return;
    }
    state.icon = phi <= kExactFit ? kIconConverged : K;
    std::copy(trialValues.begin(), trialValues.end(), f.begin());
    state.phi = phi;
    ++state.it;
    return;
  }

  const Gradient gradient = BuildNormalEquations(b, x, y, f.first(n), lower, upper, model, stepBase,
                                                 derivatives, work.normal);
  if (!gradient.evaluated) {
    state.icon = kIconNotEvaluable;
    return;
  }

  double lambda = state.lambda / state.nu;
  bool increased = false;
  ModelParameters trial = b;
  double trialPhi = 0.0;
  for (;;) {
    std::array<double, K> z{};
    const bool solved = SolveDamped(work.normal, work.solve, lambda, z);
    if (solved) {
      std::array<double, K> step{};
      for (int j = 0; j < K; ++j) {
        const auto uj = static_cast<std::size_t>(j);
        step[uj] = z[uj] / At(work.normal, j, K + 1);
        trial[uj] = std::max(std::min(b[uj] + step[uj], upper[uj]), lower[uj]);
      }
      const double angle = StepAngle(step, gradient);
      model(trial, x, trialValues);
      trialPhi = SumOfSquares(trialValues, y);

      if (trialPhi <= kExactFit) {
        state.icon = kIconConverged;
        break;
      }
      if (trialPhi < state.phi) {
        int changed = 0;
        for (std::size_t j = 0; j < K; ++j) {
          const double change = std::fabs(trial[j] - b[j]) / (std::fabs(trial[j]) + state.tau);
          if (change > state.eps) ++changed;
        }
        state.icon = changed;
        if (changed == 0 && lambda > 1.0 && angle <= 45.0) state.icon = kIconLambdaLarge;
        if (changed > 0 && lambda > 1.0 && angle > 90.0) state.icon = kIconNoImprovement;
        break;
      }
    }
    // The step failed: damp harder, unless lambda has reached its limit.
    if (increased && !(lambda < kLambdaLimit)) {
      state.icon = kIconNoImprovement;
      // The last trial point is taken although it did not lower the sum of
      // squares, but never one that the model could not evaluate.
      if (solved && std::isfinite(trialPhi)) break;
      state.lambda = lambda;
      ++state.it;
      return;
    }
    lambda *= state.nu;
    increased = true;
  }

  state.lambda = lambda;
  b = trial;
  std::copy(trialValues.begin(), trialValues.end(), f.begin());
  state.phi = trialPhi;
  ++state.it;
}

double SumOfSquares(std::span<const double> f, std::span<const double> y) {
  double sum = 0.0;
  for (std::size_t i = 0; i < f.size(); ++i) {
    const double d = f[i] - y[i];
    sum += d * d;
  }
  return sum;
}

std::string_view MarqMessage(int icon) {
  switch (icon) {
    case kIconNoImprovement:
      return " NO FUNCTION IMPROVEMENT POSSIBLE ";
    case kIconTooFewObservations:
      return " MORE UNKNOWNS THAN FUNCTIONS ";
    case kIconNotEvaluable:
      return " MODEL CANNOT BE EVALUATED FOR THESE PARAMETERS ";
    case kIconLambdaLarge:
      return " CONVERGENCE Complete, LAMBDA still LARGE ";
    default:
      return "";
  }
}

}  // namespace mornax
