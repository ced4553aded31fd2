#include "dispatch/parameter_checks.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "api/mornax.h"
#include "models/variogram_models.h"

namespace mornax {
namespace {

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
constexpr Range kDirection{-360.0, 360.0, false};

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

std::string BoundText(double bound) {
  return ValueText(bound);
}

std::string RangeText(const Range& range) {
  const bool openBelow = range.lowest <= -kLargest;
  const bool openAbove = range.highest >= kLargest;
  if (openBelow && openAbove) return "a finite number";
  if (openAbove) return (range.lowestExcluded ? "> " : ">= ") + BoundText(range.lowest);
  if (range.lowestExcluded) {
    return "> " + BoundText(range.lowest) + " and <= " + BoundText(range.highest);
  }
  return BoundText(range.lowest) + " to " + BoundText(range.highest);
}

// Shows the messages of one run's checks; every check returns false after its
// message so that the checks chain with &&.
class Checker {
 public:
  Checker(Messages& messages, int nameLength) : messages_(messages), nameLength_(nameLength) {}

  bool Refuse(std::string_view text) const {
    ErrorMessage(messages_, static_cast<int>(text.size()), text, 0, nameLength_);
    return false;
  }
  bool Real(std::string_view name, double value, const Range& range) const {
    if (InRange(value, range)) return true;
    return Refuse("Parameter " + std::string(name) + " not valid, must be " + RangeText(range) +
                  " : " + ValueText(value));
  }

 private:
  Messages& messages_;
  int nameLength_;
};

// The experimental semivariogram: the class width and the direction sector.
bool CheckSemivariogram(const Checker& check, const SvarCopy& s) {
  if (s.lagCount <= 0 || s.lagDistance == 0.0) return check.Refuse("No Parameters specified");
  return check.Real("lagDistance", s.lagDistance, kPositive) &&
         check.Real("tolerance", s.tolerance, kTolerance) &&
         check.Real("direction", s.direction, kDirection);
}

// The fit: the start values and bounds of the three model parameters.
bool CheckFit(const Checker& check, const FvarCopy& f, int lagCount) {
  if (lagCount <= 0) return check.Refuse("No Parameters specified");
  if (f.model < kPolynomialModel || f.model > kKRhoModel) {
    return check.Refuse("No Model specified");
  }
  static constexpr std::array<std::string_view, 3> kInitial{"initial1", "initial2", "initial3"};
  static constexpr std::array<std::string_view, 3> kMinimum{"minimum1", "minimum2", "minimum3"};
  static constexpr std::array<std::string_view, 3> kMaximum{"maximum1", "maximum2", "maximum3"};
  for (std::size_t j = 0; j < 3; ++j) {
    if (!check.Real(kInitial[j], f.initial[j], kAnyFinite) ||
        !check.Real(kMinimum[j], f.minimum[j], kAnyFinite) ||
        !check.Real(kMaximum[j], f.maximum[j], kAnyFinite)) {
      return false;
    }
  }
  return true;
}

// The observations' semivariogram of kriging and of Bayesian estimation
// (models 1-5). Spherical, exponential and Gaussian take C as sill minus
// nugget, so their C is not looked at; the a of models 1 and 5 is an
// exponent or a log factor, and any finite value gives a semivariogram
// (clipped at 0).
bool CheckObservationModel(const Checker& check, int model, const IplCopy& p) {
  return check.Real("sill", p.sill, kPositive) &&
         check.Real("a", p.a, IsRangeModel(model) ? kPositive : kAnyFinite) &&
         (IsRangeModel(model) || check.Real("c", p.c, kNonNegative)) &&
         check.Real("c0", p.c0, kNonNegative);
}

bool CheckKriging(const Checker& check, const IplCopy& p) {
  const int model = p.krigModel;
  if (model == 0 || p.krigPoints <= 0) return check.Refuse("No Parameters specified");
  constexpr int kLastKrigingModel = kDeWijsianModel;
  if (model <= kLastKrigingModel && (p.sill == 0.0 || (IsRangeModel(model) && p.a <= 0.0))) {
    return check.Refuse("Interpolation Parameters are zero");
  }
  if (model < 0 || model > kLastKrigingModel) return check.Refuse("Interpolation Scheme not valid");
  if (p.krigOrder < 0 || p.krigOrder > 2) return check.Refuse("Order of Kriging not valid");
  return CheckObservationModel(check, model, p);
}

bool CheckBayes(const Checker& check, const IplCopy& p, int logTransform) {
  const int model = p.bayesModel;
  if (model == 0 || p.bayesPoints <= 0) return check.Refuse("No Parameters specified");
  const bool kRho = model == kKRhoModel;
  if ((!kRho && (p.sill == 0.0 || p.guessSill == 0.0)) ||
      (kRho && (p.sigma == 0.0 || p.k == 0.0 || p.rho == 0.0 || p.lagD == 0.0))) {
    return check.Refuse("Interpolation Parameters are zero");
  }
  if (model < kPolynomialModel || model > kKRhoModel) {
    return check.Refuse("Interpolation Scheme not valid");
  }
  if (p.scaleGuess < 0 || p.scaleGuess > 3) return check.Refuse("Scaling of Guesses not valid");
  if (kRho) {
    // The guesses' sill enters the standard error of log-transformed values.
    return check.Real("sigma", p.sigma, kPositive) && check.Real("k", p.k, kPositive) &&
           check.Real("rho", p.rho, kCorrelation) && check.Real("lagD", p.lagD, kPositive) &&
           (logTransform != 1 || check.Real("guessSill", p.guessSill, kNonNegative));
  }
  // The guesses' semivariogram may leave its range at 0 (then unused beyond
  // the sill); its nugget and C must be usable numbers.
  return CheckObservationModel(check, model, p) &&
         check.Real("guessSill", p.guessSill, kPositive) &&
         check.Real("guessA", p.guessA, IsRangeModel(model) ? kNonNegative : kAnyFinite) &&
         (IsRangeModel(model) || check.Real("guessC", p.guessC, kNonNegative)) &&
         check.Real("guessC0", p.guessC0, kNonNegative);
}

}  // namespace

bool CheckRunParameters(int task, int method, const EngineState& state, Messages& messages) {
  const Checker check(messages, state.baseLength);
  if (task == MNX_TASK_SEMIVARIOGRAM) return CheckSemivariogram(check, state.svar);
  if (task == MNX_TASK_FIT) return CheckFit(check, state.fvar, state.svar.lagCount);
  // Distance weighting and the trend surface take integers only, which
  // their run checks.
  if (method == MNX_METHOD_WEIGHTING) return true;
  if (method == MNX_METHOD_KRIGING) return CheckKriging(check, state.ipl);
  return CheckBayes(check, state.ipl, state.svar.logTransform);
}

}  // namespace mornax
