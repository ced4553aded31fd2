#include "models/variogram_models.h"

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

}  // namespace mornax
