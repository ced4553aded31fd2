// The models' formulas, names and the parameters a fit gives, for callers
// that draw a model or carry a fit on to the estimators.
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "api/mornax_arrays.h"
#include "io/format_line.h"
#include "models/model_numbers.h"
#include "models/nested_model.h"
#include "models/variogram_models.h"
#include "semivariogram/fvar.h"

namespace mornax::api {

std::vector<double> FitModelValues(int model, const std::array<double, 3>& b,
                                   std::span<const double> h, double lagScale) {
  std::vector<double> gamma(h.size(), std::numeric_limits<double>::quiet_NaN());
  const ModelFunction function = ModelFunctionFor(model);
  if (function == nullptr) return gamma;
  if (model != kKRhoModel) {
    function(b, h, gamma);
    return gamma;
  }
  // The fit measures k_Rho's distances in units of its first class.
  std::vector<double> units(h.begin(), h.end());
  for (double& d : units) d /= lagScale;
  function(b, units, gamma);
  return gamma;
}

std::vector<double> VariogramValues(const Variogram& variogram, std::span<const double> h) {
  const double c =
      IsRangeModel(variogram.model) ? CFromSill(variogram.sill, variogram.c0) : variogram.c;
  const VariogramModel model{variogram.model, variogram.sill, c, variogram.c0, variogram.a};
  std::vector<double> gamma(h.size());
  // The distance between (h, 0) and (0, 0) is h itself.
  for (std::size_t i = 0; i < h.size(); ++i)
    gamma[i] = KrigingVariogram(h[i], 0.0, 0.0, 0.0, model);
  return gamma;
}

std::vector<double> VariogramValues(const Variogram& variogram, std::span<const double> h,
                                    double direction) {
  const double c =
      IsRangeModel(variogram.model) ? CFromSill(variogram.sill, variogram.c0) : variogram.c;
  const VariogramModel model{variogram.model, variogram.sill, c, variogram.c0, variogram.a};
  const LinearMap search = SearchMap(variogram);
  const auto geometry = GeometryOf(variogram, search);
  const double t = direction * std::numbers::pi / 180.0;
  std::vector<double> gamma(h.size());
  for (std::size_t i = 0; i < h.size(); ++i) {
    double u = 0.0;
    double v = 0.0;
    search.Apply(h[i] * std::cos(t), h[i] * std::sin(t), u, v);
    gamma[i] = geometry == nullptr ? KrigingVariogram(u, 0.0, v, 0.0, model)
                                   : NestedKrigingGamma(*geometry, model, u, v);
  }
  return gamma;
}

std::vector<double> KRhoCorrelation(const KRho& kRho, std::span<const double> h) {
  BayesModel model;
  model.model = kKRhoModel;
  model.k = kRho.k;
  model.rho = kRho.rho;
  model.lagD = kRho.lagD;
  std::vector<double> correlation(h.size());
  for (std::size_t i = 0; i < h.size(); ++i) {
    correlation[i] = BayesGamma(h[i], 0.0, 0.0, 0.0, model);
  }
  return correlation;
}

std::string ModelName(int model) {
  if (model < kPolynomialModel || model > kKRhoModel) return {};
  std::string name;
  std::array<std::string, 3> labels;
  model_names(model, name, labels);
  const auto first = name.find_first_not_of(' ');
  return TrimTrailingBlanks(name.substr(first));
}

std::array<std::string, 3> ModelParameterLabels(int model) {
  std::string name;
  std::array<std::string, 3> labels;
  model_names(model, name, labels);
  for (std::string& label : labels) {
    label = TrimTrailingBlanks(label.substr(label.find_first_not_of(' ')));
  }
  return labels;
}

Variogram VariogramFromFit(int model, const std::array<double, 3>& b, const Variogram& keep) {
  Variogram v = keep;
  switch (model) {
    case kPolynomialModel:  // C h^a + C0, capped at the sill: the cap is no fit result
      v.c = b[0];
      v.a = b[1];
      v.c0 = b[2];
      break;
    case kSphericalModel:
    case kExponentialModel:
    case kGaussianModel:
      v.sill = b[0] + b[2];
      v.c = b[0];
      v.a = b[1];
      v.c0 = b[2];
      break;
    case kDeWijsianModel:  // a ln h + C0
      v.a = b[1];
      v.c0 = b[2];
      break;
    default:  // k_Rho is no model of kriging
      return keep;
  }
  v.model = model;
  return v;
}

KRho KRhoFromFit(const std::array<double, 3>& b, double lagScale) {
  return KRho{b[0], b[1], b[2], lagScale};
}

}  // namespace mornax::api
