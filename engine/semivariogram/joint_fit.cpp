#include "semivariogram/joint_fit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

#include "models/model_numbers.h"
#include "models/variogram_models.h"

namespace mornax {
namespace {

constexpr std::size_t kParameters = 5;  // C, a, C0, angle, ratio
using Vector = std::array<double, kParameters>;

double Shape(int model, double r) {
  switch (model) {
    case kSphericalModel:
      return r >= 1.0 ? 1.0 : 1.5 * r - 0.5 * r * r * r;
    case kExponentialModel:
      return 1.0 - std::exp(-r);
    default:
      return 1.0 - std::exp(-(r * r));
  }
}

struct Problem {
  std::span<const DirectionClasses> directions;
  const JointFitSpec& spec;
  Vector lower, upper;

  double Value(const Vector& p, double direction, double h) const {
    return JointModelValue(spec.model, {p[0], p[1], p[2]}, p[3], p[4], direction, h);
  }
  std::size_t Count() const {
    std::size_t n = 0;
    for (const DirectionClasses& d : directions) n += d.distance.size();
    return n;
  }
  // Residuals model - observed, direction by direction.
  void Residuals(const Vector& p, std::vector<double>& r) const {
    r.clear();
    for (const DirectionClasses& d : directions) {
      for (std::size_t k = 0; k < d.distance.size(); ++k) {
        r.push_back(Value(p, d.direction, d.distance[k]) - d.semivariance[k]);
      }
    }
  }
  void Clip(Vector& p) const {
    for (std::size_t j = 0; j < kParameters; ++j) p[j] = std::clamp(p[j], lower[j], upper[j]);
  }
};

double Squares(const std::vector<double>& r) {
  double s = 0.0;
  for (const double v : r) s += v * v;
  return s;
}

// Solves the 5 x 5 system a x = b (Gaussian elimination, partial pivoting);
// false when it is singular.
bool Solve(std::array<Vector, kParameters> a, Vector b, Vector& x) {
  for (std::size_t k = 0; k < kParameters; ++k) {
    std::size_t pivot = k;
    for (std::size_t i = k + 1; i < kParameters; ++i) {
      if (std::fabs(a[i][k]) > std::fabs(a[pivot][k])) pivot = i;
    }
    if (!(std::fabs(a[pivot][k]) > 0.0)) return false;
    std::swap(a[k], a[pivot]);
    std::swap(b[k], b[pivot]);
    for (std::size_t i = k + 1; i < kParameters; ++i) {
      const double f = a[i][k] / a[k][k];
      for (std::size_t j = k; j < kParameters; ++j) a[i][j] -= f * a[k][j];
      b[i] -= f * b[k];
    }
  }
  for (std::size_t k = kParameters; k-- > 0;) {
    double s = b[k];
    for (std::size_t j = k + 1; j < kParameters; ++j) s -= a[k][j] * x[j];
    x[k] = s / a[k][k];
  }
  return true;
}

JointFitOutcome Iterate(const Problem& problem, Vector p) {
  problem.Clip(p);
  const std::size_t n = problem.Count();
  std::vector<double> r, trial;
  std::vector<Vector> jacobian(n);
  problem.Residuals(p, r);
  double phi = Squares(r);
  double lambda = 1e-3;
  JointFitOutcome out;
  for (int it = 1; it <= problem.spec.iterations; ++it) {
    out.iterations = it;
    // Forward differences; a pinned parameter has no column.
    for (std::size_t j = 0; j < kParameters; ++j) {
      const bool pinned = problem.lower[j] == problem.upper[j];
      Vector q = p;
      const double step = 1e-6 * std::max(std::fabs(p[j]), j == 3 ? 1.0 : 1e-3);
      q[j] += step;
      problem.Residuals(q, trial);
      for (std::size_t i = 0; i < n; ++i) jacobian[i][j] = pinned ? 0.0 : (trial[i] - r[i]) / step;
    }
    std::array<Vector, kParameters> normal{};
    Vector gradient{};
    for (std::size_t i = 0; i < n; ++i) {
      for (std::size_t a = 0; a < kParameters; ++a) {
        gradient[a] -= jacobian[i][a] * r[i];
        for (std::size_t b = 0; b < kParameters; ++b)
          normal[a][b] += jacobian[i][a] * jacobian[i][b];
      }
    }
    bool improved = false;
    while (lambda < 1e12) {
      std::array<Vector, kParameters> damped = normal;
      for (std::size_t a = 0; a < kParameters; ++a) {
        damped[a][a] = damped[a][a] * (1.0 + lambda) + (damped[a][a] == 0.0 ? 1.0 : 0.0);
      }
      Vector delta{};
      if (Solve(damped, gradient, delta)) {
        Vector q = p;
        for (std::size_t j = 0; j < kParameters; ++j) q[j] += delta[j];
        problem.Clip(q);
        problem.Residuals(q, trial);
        const double next = Squares(trial);
        if (std::isfinite(next) && next < phi) {
          const double change = (phi - next) / std::max(phi, 1e-300);
          p = q;
          r.swap(trial);
          phi = next;
          lambda = std::max(lambda / 10.0, 1e-12);
          improved = true;
          if (change < 1e-10) out.converged = true;
          break;
        }
      }
      lambda *= 10.0;
    }
    if (!improved) {
      out.converged = true;  // no step lowers the sum: a minimum within the bounds
      break;
    }
    if (out.converged) break;
  }
  out.b = {p[0], p[1], p[2]};
  out.angle = std::fmod(std::fmod(p[3], 180.0) + 180.0, 180.0);
  out.ratio = p[4];
  out.chi2 = phi;
  return out;
}

}  // namespace

double JointModelValue(int model, const std::array<double, 3>& b, double angle, double ratio,
                       double direction, double h) {
  const double t = (direction - angle) * std::numbers::pi / 180.0;
  const double c = std::cos(t);
  const double s = std::sin(t) / ratio;
  const double r = h * std::sqrt(c * c + s * s) / b[1];
  return b[2] + b[0] * Shape(model, r);
}

JointFitOutcome JointFit(std::span<const DirectionClasses> directions, const JointFitSpec& spec) {
  Problem problem{directions, spec, {}, {}};
  // C, a, C0 bounded as given; the angle free (read modulo 180 at the end);
  // the ratio in [minimumRatio, 1].
  for (std::size_t j = 0; j < 3; ++j) {
    problem.lower[j] = spec.minimum[j];
    problem.upper[j] = spec.maximum[j];
  }
  problem.lower[3] = -1e6;
  problem.upper[3] = 1e6;
  problem.lower[4] = spec.minimumRatio;
  problem.upper[4] = 1.0;
  JointFitOutcome best;
  best.chi2 = HUGE_VAL;
  for (const DirectionClasses& d : directions) {
    const Vector start{spec.initial[0], spec.initial[1], spec.initial[2], d.direction, 0.5};
    const JointFitOutcome fit = Iterate(problem, start);
    if (fit.chi2 < best.chi2) best = fit;
  }
  return best;
}

}  // namespace mornax
