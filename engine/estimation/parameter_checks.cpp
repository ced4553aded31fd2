#include "estimation/parameter_checks.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "estimation/method_numbers.h"
#include "models/model_numbers.h"
#include "models/variogram_models.h"

namespace mornax {
namespace {

using api::MessageCode;

constexpr double kLargest = std::numeric_limits<double>::max();

// Accepted values of a real parameter; it must also be finite.
struct Range {
  double lowest;
  double highest;
  bool lowestExcluded;
};

constexpr Range kAnyFinite{-kLargest, kLargest, false};
constexpr Range kPositive{0.0, kLargest, true};
constexpr Range kNonNegative{0.0, kLargest, false};
constexpr Range kCorrelation{0.0, 1.0, true};  // rho: a power of it is a correlation
constexpr Range kTolerance{0.0, 360.0, false};

bool InRange(double value, const Range& range) {
  if (!std::isfinite(value)) return false;
  const bool aboveLowest = range.lowestExcluded ? value > range.lowest : value >= range.lowest;
  return aboveLowest && value <= range.highest;
}

// The value as the user entered it: parameters come from single-precision
// records, so the shortest float text is used when the value is one.
std::string ValueText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  std::array<char, 40> buffer{};
  const auto narrowed = static_cast<float>(value);
  const auto result = static_cast<double>(narrowed) == value
                          ? std::to_chars(buffer.data(), buffer.data() + buffer.size(), narrowed)
                          : std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

std::string RangeText(const Range& range) {
  const bool openBelow = range.lowest <= -kLargest;
  const bool openAbove = range.highest >= kLargest;
  if (openBelow && openAbove) return "a finite number";
  if (openAbove) return (range.lowestExcluded ? "> " : ">= ") + ValueText(range.lowest);
  if (range.lowestExcluded) {
    return "> " + ValueText(range.lowest) + " and <= " + ValueText(range.highest);
  }
  return ValueText(range.lowest) + " to " + ValueText(range.highest);
}

bool Refuse(const RunEnv& env, MessageCode code, std::string_view text) {
  env.Error(code, text);
  return false;
}

bool Real(const RunEnv& env, std::string_view name, double value, const Range& range) {
  if (InRange(value, range)) return true;
  return Refuse(env, MessageCode::kParameterNotValid,
                "Parameter " + std::string(name) + " not valid, must be " + RangeText(range) +
                    " : " + ValueText(value));
}

bool NoParameters(const RunEnv& env) {
  return Refuse(env, MessageCode::kNoParameters, "No Parameters specified");
}
bool ParametersZero(const RunEnv& env) {
  return Refuse(env, MessageCode::kParametersZero, "Interpolation Parameters are zero");
}
bool SchemeNotValid(const RunEnv& env) {
  return Refuse(env, MessageCode::kSchemeNotValid, "Interpolation Scheme not valid");
}

// The names of one semivariogram parameter set in the messages: the
// observations' (sill, a, c, c0) or the guesses' (guessSill, ...).
struct SetNames {
  std::string_view sill, a, c, c0;
};
constexpr SetNames kObservationNames{"sill", "a", "c", "c0"};
constexpr SetNames kGuessNames{"guessSill", "guessA", "guessC", "guessC0"};

// The observations' semivariogram of kriging and of Bayesian estimation
// (models 1-5). Spherical, exponential and Gaussian take C as sill minus
// nugget, so their C is not looked at; the a of models 1 and 5 is an
// exponent or a log factor, and any finite value gives a semivariogram
// (clipped at 0).
bool CheckObservationModel(const RunEnv& env, int model, const api::Variogram& v) {
  const bool range = IsRangeModel(model);
  return Real(env, kObservationNames.sill, v.sill, kPositive) &&
         Real(env, kObservationNames.a, v.a, range ? kPositive : kAnyFinite) &&
         (range || Real(env, kObservationNames.c, v.c, kNonNegative)) &&
         Real(env, kObservationNames.c0, v.c0, kNonNegative);
}

// The guesses' semivariogram may leave its range at 0 (then unused beyond
// the sill); its nugget and C must be usable numbers.
bool CheckGuessModel(const RunEnv& env, int model, const api::Variogram& v) {
  const bool range = IsRangeModel(model);
  return Real(env, kGuessNames.sill, v.sill, kPositive) &&
         Real(env, kGuessNames.a, v.a, range ? kNonNegative : kAnyFinite) &&
         (range || Real(env, kGuessNames.c, v.c, kNonNegative)) &&
         Real(env, kGuessNames.c0, v.c0, kNonNegative);
}

constexpr Range kRatio{0.0, 1.0, true};

// An anisotropy: any finite angle, a ratio in (0, 1].
bool CheckAnisotropy(const RunEnv& env, std::string_view prefix, const api::Anisotropy& a) {
  const std::string p(prefix);
  return Real(env, p.empty() ? "angle" : p + "Angle", a.angle, kAnyFinite) &&
         Real(env, p.empty() ? "ratio" : p + "Ratio", a.ratio, kRatio);
}

// The anisotropy and the further structures of a model; `prefix` names the
// set ("" or "guess"). The structures of a model that does not nest (k_Rho)
// are not read.
bool CheckModelTerms(const RunEnv& env, std::string_view prefix, const api::Variogram& v,
                     bool nests) {
  if (!CheckAnisotropy(env, prefix, v.anisotropy)) return false;
  if (!nests) return true;
  const std::string p = prefix.empty() ? "structure" : std::string(prefix) + "Structure";
  if (v.structures.size() > api::kMaxFurtherStructures) {
    return Refuse(env, MessageCode::kParameterNotValid,
                  "At most " + std::to_string(api::kMaxFurtherStructures + 1) +
                      " structures, given " + std::to_string(v.structures.size() + 1));
  }
  for (std::size_t i = 0; i < v.structures.size(); ++i) {
    const api::Structure& s = v.structures[i];
    const std::string name = p + std::to_string(i + 2);
    if (s.model < kPolynomialModel || s.model > kDeWijsianModel) {
      return Refuse(
          env, MessageCode::kParameterNotValid,
          "Parameter " + name + "Model not valid, must be 1-5 : " + std::to_string(s.model));
    }
    const bool range = IsRangeModel(s.model);
    if (!Real(env, name + "C", s.c, range ? kNonNegative : kAnyFinite) ||
        !Real(env, name + "A", s.a, range ? kPositive : kAnyFinite) ||
        !CheckAnisotropy(env, name, s.anisotropy)) {
      return false;
    }
  }
  return true;
}

}  // namespace

// The class width and the direction sector. A width that is not positive is
// no width at all; any finite direction is an angle.
bool CheckSemivariogram(const RunEnv& env, const api::SemivariogramParameters& p) {
  if (p.lagCount <= 0 || !(p.lagDistance > 0.0)) return NoParameters(env);
  return Real(env, "lagDistance", p.lagDistance, kPositive) &&
         Real(env, "tolerance", p.tolerance, kTolerance) &&
         Real(env, "direction", p.direction, kAnyFinite);
}

// The start values and bounds of the three model parameters.
bool CheckFit(const RunEnv& env, const api::FitParameters& p) {
  if (p.classCount <= 0) return NoParameters(env);
  if (p.model < kPolynomialModel || p.model > kKRhoModel) {
    return Refuse(env, MessageCode::kNoModel, "No Model specified");
  }
  static constexpr std::array<std::string_view, 3> kInitial{"initial1", "initial2", "initial3"};
  static constexpr std::array<std::string_view, 3> kMinimum{"minimum1", "minimum2", "minimum3"};
  static constexpr std::array<std::string_view, 3> kMaximum{"maximum1", "maximum2", "maximum3"};
  for (std::size_t j = 0; j < 3; ++j) {
    if (!Real(env, kInitial[j], p.initial[j], kAnyFinite) ||
        !Real(env, kMinimum[j], p.minimum[j], kAnyFinite) ||
        !Real(env, kMaximum[j], p.maximum[j], kAnyFinite)) {
      return false;
    }
  }
  return true;
}

bool CheckWeighting(const RunEnv& env, const api::WeightingParameters& p) {
  if (p.scheme == 0 || p.neighbours == 0) return NoParameters(env);
  if (p.scheme < kFirstWeightingScheme || p.scheme > kLastWeightingScheme) {
    return SchemeNotValid(env);
  }
  if (p.neighbours < 0) return NoParameters(env);
  return true;
}

bool CheckTrend(const RunEnv& env, const api::TrendParameters& p) {
  if (p.degree < kLowestTrendDegree || p.degree > kHighestTrendDegree) {
    return Refuse(env, MessageCode::kDegreeNotValid, "Degree of Trendsurface not valid");
  }
  return true;
}

bool CheckWeightingScheme(const RunEnv& env, int scheme, int nearest, int degree) {
  if (scheme == 0 || nearest == 0) return NoParameters(env);
  if (scheme == kTrendScheme) return CheckTrend(env, api::TrendParameters{degree});
  return CheckWeighting(env, api::WeightingParameters{scheme, nearest});
}

// A range of 0 is a parameter not given; a negative one is named.
bool CheckKriging(const RunEnv& env, const api::KrigingParameters& p) {
  const api::Variogram& v = p.variogram;
  const int model = v.model;
  if (model == 0 || p.neighbours <= 0) return NoParameters(env);
  constexpr int kLastKrigingModel = kDeWijsianModel;
  if (model <= kLastKrigingModel && (v.sill == 0.0 || (IsRangeModel(model) && v.a == 0.0))) {
    return ParametersZero(env);
  }
  if (model < 0 || model > kLastKrigingModel) return SchemeNotValid(env);
  if (p.order < kLowestKrigingOrder || p.order > kHighestKrigingOrder) {
    return Refuse(env, MessageCode::kOrderNotValid, "Order of Kriging not valid");
  }
  return CheckObservationModel(env, model, v) && CheckModelTerms(env, "", v, true);
}

bool CheckBayes(const RunEnv& env, const api::BayesParameters& p) {
  const int model = p.observation.model;
  if (model == 0 || p.neighbours <= 0) return NoParameters(env);
  const bool kRho = model == kKRhoModel;
  const api::KRho& r = p.kRho;
  if ((!kRho && (p.observation.sill == 0.0 || p.guess.sill == 0.0)) ||
      (kRho && (r.sigma == 0.0 || r.k == 0.0 || r.rho == 0.0 || r.lagD == 0.0))) {
    return ParametersZero(env);
  }
  // Both sets take one model; a guesses' model of 0 means the observations'.
  if (model < kPolynomialModel || model > kKRhoModel ||
      (!kRho && p.guess.model != 0 && p.guess.model != model)) {
    return SchemeNotValid(env);
  }
  if (p.scaleGuess < kNoScaling || p.scaleGuess > kLinearScaling) {
    return Refuse(env, MessageCode::kScalingNotValid, "Scaling of Guesses not valid");
  }
  if (kRho) {
    // The guesses' sill enters the standard error of log-transformed values.
    return Real(env, "sigma", r.sigma, kPositive) && Real(env, "k", r.k, kPositive) &&
           Real(env, "rho", r.rho, kCorrelation) && Real(env, "lagD", r.lagD, kPositive) &&
           (!p.logTransform || Real(env, kGuessNames.sill, p.guess.sill, kNonNegative)) &&
           CheckModelTerms(env, "", p.observation, false);
  }
  return CheckObservationModel(env, model, p.observation) && CheckGuessModel(env, model, p.guess) &&
         CheckModelTerms(env, "", p.observation, true) &&
         CheckModelTerms(env, "guess", p.guess, true);
}

}  // namespace mornax
