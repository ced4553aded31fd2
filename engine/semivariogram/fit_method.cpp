#include "semivariogram/fit_method.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>

#include "core/value_bounds.h"
#include "io/format_line.h"
#include "io/fortran_format.h"
#include "models/model_numbers.h"
#include "models/variogram_models.h"

namespace mornax {
namespace {

using api::MessageCode;

constexpr int kMaximumCalls = 100;

// Shortest text that reads back as the same double (for messages).
std::string NumberText(double value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

bool AllFinite(std::span<const double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

MessageCode MarqCode(int icon) {
  switch (icon) {
    case kIconNoImprovement:
      return MessageCode::kNoImprovement;
    case kIconTooFewObservations:
      return MessageCode::kMoreUnknownsThanFunctions;
    case kIconNotEvaluable:
      return MessageCode::kModelNotEvaluable;
    case kIconLambdaLarge:
      return MessageCode::kLambdaLarge;
    default:
      return MessageCode::kUnclassified;
  }
}

struct BestFit {
  bool evaluated = false;  // false: Marq stopped before evaluating the model
};

// Calls Marq until it stops iterating, at most 100 times, and reports the
// iteration count, a failure and the parameters.
BestFit ComputeBestFit(const RunEnv& env, const api::FitParameters& p, ModelParameters& b,
                       ModelFunction model, const ModelLabels& labels, std::span<const double> x,
                       std::span<const double> y, std::span<double> f, const MarqWork& work,
                       FitRun& run) {
  static const io::FortranFormat kIterations("(A,i5,A)");
  static const io::FortranFormat kScale("(a,g10.5)");

  MarqState state;
  state.icon = kMarqParameters;
  const ModelParameters lower = p.minimum;
  const ModelParameters upper = p.maximum;
  env.Progress(kListAppend, " Computing Regression ");
  int counter = 1;
  // One iteration evaluates the model a few dozen times over the classes at
  // most, far below a tenth of a second: the stop request is asked before each.
  BestFit result;
  while (state.icon > 0 && counter <= kMaximumCalls) {
    if (env.Cancelled()) {
      run.stopped = true;
      return result;
    }
    Marq(b, x, y, f, state, lower, upper, model, work);
    if (state.icon > 0) ++counter;
    env.Count(counter - 1, kMaximumCalls);
  }
  env.Progress(kListAppend, TrimTrailingBlanks(FormatLine(kIterations, "Number of iterations was ",
                                                          counter - 1, "  (Maximum = 100)")));
  if (state.icon < 0) env.Error(MarqCode(state.icon), MarqMessage(state.icon));
  env.Progress(kListAppend, ParameterLine(labels, b));
  if (p.model == kKRhoModel) {
    env.Progress(kListAppend, FormatLine(kScale, "Dlag for Bayes Program :", run.scale));
  }

  run.summary.icon = state.icon;
  run.summary.iterations = counter;
  run.summary.chi2 = state.phi;
  result.evaluated = state.it > 0;
  return result;
}

}  // namespace

std::string LagLimitMessage(std::size_t limit) {
  static const io::FortranFormat kLagLimit("(a,i5)");
  return TrimTrailingBlanks(
      FormatLine(kLagLimit, "Maximum number of lags is ", static_cast<long long>(limit)));
}

bool FitModel(const RunEnv& env, std::span<double> x, std::span<const double> y,
              std::span<double> f, const api::FitParameters& p, ModelParameters& b,
              const MarqWork& work, const ModelLabels& labels, const std::string& inputName,
              FitRun& run) {
  const ModelFunction model = ModelFunctionFor(p.model);
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (!UsableValue(x[i]) || !UsableValue(y[i])) {
      env.Error(MessageCode::kValueOutOfRange,
                UnusableValueMessage("class", static_cast<long long>(i + 1), inputName));
      run.refused = true;
      return false;
    }
  }

  // k_Rho works on distances in units of the first class's distance. A
  // first distance so small that the others overflow in its units cannot
  // be used.
  run.scale = 1.0;
  if (p.model == kKRhoModel) {
    run.scale = x[0];
    for (double& xi : x) xi /= run.scale;
    if (!AllFinite(x)) {
      env.Error(MessageCode::kFirstClassTooSmall,
                "Distance of the first class too small for model k_Rho : " + NumberText(run.scale));
      run.refused = true;
      return false;
    }
  }

  BestFit best;  // without a fit: ICON 0, no iterations
  if (p.bestFit) {
    best = ComputeBestFit(env, p, b, model, labels, x, y, f, work, run);
    if (run.stopped) return false;
  }
  FitSummary& summary = run.summary;
  // The iteration could not evaluate the model at its start: there is no
  // fitted model, and the start's values (overflowing, or far beyond the
  // bounds) are no report.
  if (p.bestFit && !best.evaluated && summary.icon == kIconNotEvaluable) {
    if (p.model == kKRhoModel) {
      for (double& xi : x) xi *= run.scale;
    }
    return false;
  }

  model(b, x, f);
  if (p.model == kKRhoModel) {
    for (double& xi : x) xi *= run.scale;
  }
  if (!AllFinite(f)) {
    // Never report values the model could not compute.
    if (summary.icon != kIconNotEvaluable) {
      env.Error(MessageCode::kModelNotEvaluable, MarqMessage(kIconNotEvaluable));
    }
    return false;
  }
  // What this run knows: the sum of squares of the model as evaluated here
  // when Marq has not evaluated it, or when Marq's overflowed (that is not
  // the sum of the parameters reported).
  if (!best.evaluated || !std::isfinite(summary.chi2)) summary.chi2 = SumOfSquares(f, y);
  if (!std::isfinite(summary.chi2)) {
    env.Error(MessageCode::kChi2NotFinite, "CHI2 not finite, written as asterisks");
  }
  return true;
}

}  // namespace mornax
