// Semivariogram model numbers as the records carry them (1-based).
#pragma once

namespace mornax {

inline constexpr int kPolynomialModel = 1;
inline constexpr int kSphericalModel = 2;
inline constexpr int kExponentialModel = 3;
inline constexpr int kGaussianModel = 4;
inline constexpr int kDeWijsianModel = 5;
inline constexpr int kKRhoModel = 6;

}  // namespace mornax
