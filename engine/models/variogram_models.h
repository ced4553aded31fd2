// The semivariogram models in the three forms the tasks evaluate, side by
// side: the fit's (parameters B1, B2, B3 over a list of lag distances), the
// kriging's and the Bayesian estimation's (C, a, C0 and the sill between two
// points). Each form keeps its own order of operations, because the result
// files are compared byte for byte; where two forms agree, they agree in the
// value of the formula, not necessarily in its last bit.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <span>

#include "models/model_numbers.h"

namespace mornax {

struct ModelGeometry;

// The spherical, exponential and Gaussian models rise to a sill over a range.
constexpr bool IsRangeModel(int model) {
  return model == kSphericalModel || model == kExponentialModel || model == kGaussianModel;
}

// The structured part C of a range model: the sill less the nugget.
constexpr double CFromSill(double sill, double c0) {
  return sill - c0;
}

// The fit's form: gamma(h) for B1, B2, B3 over many distances.

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

// The kriging's form: gamma between two points, cut to the sill.

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
// the diagonal of the system). Inline: a kriging system evaluates it for
// every pair of neighbours. The cubic is taken left to right, C0 added last.
//
// KrigingModelValue is the formula at a distance h > 0 before the cut at 0.
inline double KrigingModelValue(double h, const VariogramModel& m) {
  const double r = std::fabs(h) / m.a;

  double gamma = 0.0;
  switch (m.model) {
    case kSphericalModel:
      gamma = h > m.a ? m.sill : m.c * (1.5 * r - 0.5 * r * r * r) + m.c0;
      break;
    case kExponentialModel:
      gamma = r >= kVariogramCutOff ? m.sill : m.c * (1.0 - std::exp(-r)) + m.c0;
      break;
    case kGaussianModel:
      gamma = r * r >= kVariogramCutOff ? m.sill : m.c * (1.0 - std::exp(-(r * r))) + m.c0;
      break;
    case kDeWijsianModel:
      gamma = m.a * std::log(h) + m.c0;
      break;
    default:
      gamma = std::min(m.c * std::pow(h, m.a) + m.c0, m.sill);
      break;
  }
  return gamma;
}

inline double KrigingVariogram(double x1, double x2, double y1, double y2,
                               const VariogramModel& m) {
  const double dx = x1 - x2;
  const double dy = y1 - y2;
  const double h = std::sqrt(dx * dx + dy * dy);
  if (h == 0.0) return 0.0;
  const double gamma = KrigingModelValue(h, m);
  return gamma < 0.0 ? 0.0 : gamma;
}

// The Bayesian form: models 1-5 as kriging has them, and model 6.

// Every model number outside 2 to 6 is evaluated as the polynomial model.

// One model with one parameter set: c, a, c0 and the sill for models 1-5;
// k, rho and lagD for the k_Rho model.
struct BayesModel {
  int model = 0;
  double c = 0.0;
  double a = 0.0;
  double c0 = 0.0;
  double sill = 0.0;
  double k = 0.0;
  double rho = 0.0;
  double lagD = 0.0;
  // Further structures or a metric of the first structure's own (see
  // models/nested_model.h); null: the formula above on the coordinates given.
  std::shared_ptr<const ModelGeometry> geometry{};
};

// The model's value between two points, through its geometry when it has one.
double BayesGammaOf(double x1, double x2, double y1, double y2, const BayesModel& model);

// The covariance at no separation (models 1-5): the sill, and the sills of
// further structures of models 2-4.
double CovarianceSill(const BayesModel& model);

// The model's value for the distance between (x1, y1) and (x2, y2): the
// semivariogram (0 at distance 0) for models 1-5, the correlation
// k / (1 + k) * rho^(h / lagD) for model 6. A negative value becomes 0.
double BayesGamma(double x1, double x2, double y1, double y2, const BayesModel& model);

// The Bayesian form's formula at a distance h, before the cut at 0 and the
// rule at distance 0.
double BayesModelValue(double h, const BayesModel& m);

}  // namespace mornax
