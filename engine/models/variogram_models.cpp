#include "models/variogram_models.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace mornax {
namespace {

// Applies `gammaOf(h)` to every distance.
template <typename Gamma>
void Fill(std::span<const double> h, std::span<double> gamma, Gamma gammaOf) {
  for (std::size_t i = 0; i < h.size(); ++i) gamma[i] = gammaOf(h[i]);
}

}  // namespace

// The fit's form. Each model keeps the order of operations of the fitted
// values the fit reports: the spherical cubic is B1 * r * (1.5 - 0.5 r^2).

void PolynomialModel(const ModelParameters& b, std::span<const double> h, std::span<double> gamma) {
  Fill(h, gamma, [&b](double d) { return b[0] * std::pow(d, b[1]) + b[2]; });
}

void SphericalModel(const ModelParameters& b, std::span<const double> h, std::span<double> gamma) {
  Fill(h, gamma, [&b](double d) {
    const double r = std::fabs(d) / b[1];
    return b[2] + b[0] * r * (1.5 - 0.5 * (r * r));
  });
}

void ExponentialModel(const ModelParameters& b, std::span<const double> h,
                      std::span<double> gamma) {
  Fill(h, gamma, [&b](double d) {
    const double r = std::fabs(d) / b[1];
    return b[2] + b[0] * (1.0 - std::exp(-r));
  });
}

void GaussianModel(const ModelParameters& b, std::span<const double> h, std::span<double> gamma) {
  Fill(h, gamma, [&b](double d) {
    const double r = std::fabs(d) / b[1];
    return b[2] + b[0] * (1.0 - std::exp(-(r * r)));
  });
}

void DeWijsianModel(const ModelParameters& b, std::span<const double> h, std::span<double> gamma) {
  Fill(h, gamma, [&b](double d) { return b[2] + b[1] * std::log(d); });
}

void KRhoModel(const ModelParameters& b, std::span<const double> h, std::span<double> gamma) {
  Fill(h, gamma, [&b](double d) { return b[0] * (1.0 + b[1] * (1.0 - std::pow(b[2], d))); });
}

ModelFunction ModelFunctionFor(int model) {
  switch (model) {
    case 1:
      return PolynomialModel;
    case 2:
      return SphericalModel;
    case 3:
      return ExponentialModel;
    case 4:
      return GaussianModel;
    case 5:
      return DeWijsianModel;
    case 6:
      return KRhoModel;
    default:
      return nullptr;
  }
}

// The Bayesian form: C0 + C * (...), the cubic as 0.5 * (r * r * r). Halving
// is exact and addition commutes, so models 1-5 give the kriging's values bit
// for bit; the two are kept apart because model 6 and the distance-0 rule
// differ.

// The Bayesian form's models 3 and 4 reach their sill where the exponential
// no longer matters (the same cut-off as kriging's).
constexpr double kSillReached = kVariogramCutOff;

double BayesModelValue(double h, const BayesModel& m) {
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

double BayesGamma(double x1, double x2, double y1, double y2, const BayesModel& model) {
  const double dx = x1 - x2;
  const double dy = y1 - y2;
  const double h = std::sqrt(dx * dx + dy * dy);
  double value = BayesModelValue(h, model);
  if (value < 0.0) value = 0.0;
  // The semivariogram vanishes at distance 0 whatever its nugget; the k_Rho
  // correlation keeps its value k / (1 + k) there.
  if (model.model != kKRhoModel && h == 0.0) value = 0.0;
  return value;
}

}  // namespace mornax
