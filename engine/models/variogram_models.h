// The six semivariogram models: gamma(h) with the parameters B1, B2, B3.
// All share one shape so that the fit can take any of them by number.
#pragma once

#include <array>
#include <span>

namespace mornax {

// B1, B2, B3 in this order.
using ModelParameters = std::array<double, 3>;

// Fills gamma[i] with the model value at the lag distance h[i]; gamma holds at
// least h.size() values. No state and no failure report: parameter values the
// arithmetic cannot handle give non-finite values, which the callers check.
using ModelFunction = void (*)(const ModelParameters& b, std::span<const double> h,
                               std::span<double> gamma);

// B1 * h^B2 + B3.
void PolynomialModel(const ModelParameters& b, std::span<const double> h, std::span<double> gamma);
// B3 + B1 * r * (1.5 - 0.5 r^2) with r = |h| / B2, for every distance (no sill
// plateau beyond the range).
void SphericalModel(const ModelParameters& b, std::span<const double> h, std::span<double> gamma);
// B3 + B1 * (1 - exp(-r)).
void ExponentialModel(const ModelParameters& b, std::span<const double> h, std::span<double> gamma);
// B3 + B1 * (1 - exp(-r^2)).
void GaussianModel(const ModelParameters& b, std::span<const double> h, std::span<double> gamma);
// B3 + B2 * ln h; B1 does not enter.
void DeWijsianModel(const ModelParameters& b, std::span<const double> h, std::span<double> gamma);
// B1 * (1 + B2 * (1 - B3^h)).
void KRhoModel(const ModelParameters& b, std::span<const double> h, std::span<double> gamma);

// The model function of a model number 1-6; nullptr for any other number.
ModelFunction ModelFunctionFor(int model);

}  // namespace mornax
