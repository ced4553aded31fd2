#include "geo/run_description.h"

#include <cstdio>

#include "api/mornax_arrays.h"

namespace mornax::geo {
namespace {

// k_Rho: the Bayesian estimator writes the exponential of its spread.
constexpr std::int32_t kKRhoModel = 6;
constexpr std::int32_t kTrendSurfaceScheme = 7;

std::string ModelText(std::int32_t model) {
  const std::string name = api::ModelName(model);
  return std::to_string(model) + (name.empty() ? std::string() : " (" + name + ")");
}

std::string Real(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}

}  // namespace

bool TookLogarithms(ResultMethod method, const RunSettings& settings) {
  return settings.known && settings.svar.logTransform == 1 &&
         (method == ResultMethod::kKriging || method == ResultMethod::kBayes);
}

std::vector<std::pair<std::string, std::string>> RunMetadata(ResultMethod method,
                                                             const RunSettings& settings) {
  std::vector<std::pair<std::string, std::string>> items;
  items.emplace_back("MORNAX_METHOD", std::string(MethodName(method)));
  if (!settings.known) return items;
  const IPL& ipl = settings.ipl;
  switch (method) {
    case ResultMethod::kWeighting:
      if (ipl.dwScheme == kTrendSurfaceScheme) {
        items.emplace_back("MORNAX_SCHEME",
                           "7 (trend surface of degree " + std::to_string(ipl.trendDegree) + ")");
      } else {
        items.emplace_back("MORNAX_SCHEME", std::to_string(ipl.dwScheme));
        items.emplace_back("MORNAX_NEIGHBOURS", std::to_string(ipl.dwPoints));
      }
      return items;
    case ResultMethod::kKriging:
      items.emplace_back("MORNAX_MODEL", ModelText(ipl.krigModel));
      items.emplace_back("MORNAX_MODEL_PARAMETERS", "sill=" + Real(ipl.sill) + " a=" + Real(ipl.a) +
                                                        " c=" + Real(ipl.c) +
                                                        " c0=" + Real(ipl.c0));
      items.emplace_back("MORNAX_KRIGING_ORDER", std::to_string(ipl.krigOrder));
      items.emplace_back("MORNAX_NEIGHBOURS", std::to_string(ipl.krigPoints));
      break;
    case ResultMethod::kBayes:
      items.emplace_back("MORNAX_MODEL", ModelText(ipl.bayesModel));
      items.emplace_back("MORNAX_NEIGHBOURS", std::to_string(ipl.bayesPoints));
      break;
    case ResultMethod::kUnknown:
      return items;
  }
  items.emplace_back("MORNAX_LOG_TRANSFORM",
                     TookLogarithms(method, settings)
                         ? "1 (the values' natural logarithms; results back-transformed)"
                         : std::to_string(settings.svar.logTransform));
  return items;
}

StandardErrorMeaning MeaningOfStandardError(ResultMethod method, const RunSettings& settings) {
  if (!TookLogarithms(method, settings)) {
    return {false, "standard error of the estimate, in the values' units"};
  }
  if (method == ResultMethod::kKriging || settings.ipl.bayesModel == kKRhoModel) {
    return {true,
            "a factor, not a spread in the values' units: e^s for the standard error s of the "
            "logarithm (log transform); estimate / factor to estimate * factor spans one "
            "standard error"};
  }
  return {false,
          "standard error of the back-transformed estimate, in the values' units (log "
          "transform)"};
}

}  // namespace mornax::geo
