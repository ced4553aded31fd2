#include "bayes/bayes_gamma.h"

#include <cmath>

namespace mornax {
namespace {

// Models 3 and 4 reach their sill where the exponential no longer matters.
constexpr double kSillReached = 50.0;

double ModelValue(double h, const BayesModel& m) {
  switch (m.model) {
    case kSphericalModel: {
      if (h > m.a) return m.sill;
      const double r = std::fabs(h) / m.a;
      return m.c0 + m.c * (1.5 * r - 0.5 * (r * r * r));
    }
    case kExponentialModel: {
      const double r = std::fabs(h) / m.a;
      if (r >= kSillReached) return m.sill;
      return m.c0 + m.c * (1.0 - std::exp(-r));
    }
    case kGaussianModel: {
      const double r = std::fabs(h) / m.a;
      const double r2 = r * r;
      if (r2 >= kSillReached) return m.sill;
      return m.c0 + m.c * (1.0 - std::exp(-r2));
    }
    case kDeWijsianModel:
      if (h <= 0.0) return 0.0;
      return m.a * std::log(h) + m.c0;
    case kKRhoModel:
      return m.k / (1.0 + m.k) * std::pow(m.rho, h / m.lagD);
    default: {
      const double value = m.c * std::pow(h, m.a) + m.c0;
      return value > m.sill ? m.sill : value;
    }
  }
}

}  // namespace

double BayesGamma(double x1, double x2, double y1, double y2, const BayesModel& model) {
  const double dx = x1 - x2;
  const double dy = y1 - y2;
  const double h = std::sqrt(dx * dx + dy * dy);
  double value = ModelValue(h, model);
  if (value < 0.0) value = 0.0;
  // The semivariogram vanishes at distance 0 whatever its nugget; the k_Rho
  // correlation keeps its value k / (1 + k) there.
  if (model.model != kKRhoModel && h == 0.0) value = 0.0;
  return value;
}

}  // namespace mornax
