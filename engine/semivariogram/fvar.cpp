#include "semivariogram/fvar.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <span>

#include "core/value_bounds.h"
#include "io/format_line.h"
#include "io/record_file.h"
#include "models/model_numbers.h"
#include "models/variogram_models.h"
#include "semivariogram/fit_input.h"
#include "semivariogram/fit_report.h"
#include "semivariogram/marq.h"

namespace mornax {
namespace {

constexpr int kMaximumCalls = 100;
constexpr std::size_t kNormalMatrixSize = 3 * 5;

std::string LagLimitMessage(std::size_t limit) {
  static const io::FortranFormat kLagLimit("(a,i5)");
  return TrimTrailingBlanks(
      FormatLine(kLagLimit, "Maximum number of lags is ", static_cast<long long>(limit)));
}

// Shortest text that reads back as the same double (for messages).
std::string NumberText(double value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

bool AllFinite(std::span<const double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

struct BestFit {
  FitSummary summary;
  bool evaluated = false;  // false: Marq stopped before evaluating the model
  bool stopped = false;    // the user's stop ended the iterations
};

// Calls Marq until it stops iterating, at most 100 times, and reports the
// iteration count, a failure and the parameters.
BestFit ComputeBestFit(const RunEnv& env, FitArrays& fit, FvarCopy& fvar, ModelFunction model,
                       const ModelLabels& labels, std::span<const double> x,
                       std::span<const double> y, std::span<double> f, double scale) {
  static const io::FortranFormat kIterations("(A,i5,A)");
  static const io::FortranFormat kScale("(a,g10.5)");

  MarqState state;
  state.icon = kMarqParameters;
  const MarqWork work{fit.work.data, fit.matrix1.data, fit.matrix2.data};
  env.Progress(kListAppend, " Computing Regression ");
  int counter = 1;
  // One iteration evaluates the model a few dozen times over the classes at
  // most, far below a tenth of a second: the stop request is asked before each.
  BestFit result;
  while (state.icon > 0 && counter <= kMaximumCalls) {
    if (env.Cancelled()) {
      result.stopped = true;
      return result;
    }
    Marq(fvar.initial, x, y, f, state, fvar.minimum, fvar.maximum, model, work);
    if (state.icon > 0) ++counter;
  }
  env.Progress(kListAppend, TrimTrailingBlanks(FormatLine(kIterations, "Number of iterations was ",
                                                          counter - 1, "  (Maximum = 100)")));
  if (state.icon < 0) env.Error(MarqMessage(state.icon));
  env.Progress(kListAppend, ParameterLine(labels, fvar.initial));
  if (fvar.model == kKRhoModel)
    env.Progress(kListAppend, FormatLine(kScale, "Dlag for Bayes Program :", scale));

  result.summary.icon = state.icon;
  result.summary.iterations = counter;
  result.summary.chi2 = state.phi;
  result.evaluated = state.it > 0;
  return result;
}

}  // namespace

void Fvar(const RunEnv& env, LagArrays& lags, FitArrays& fit, FvarCopy& fvar, int lagCount,
          const std::string& modelName, const std::array<std::string, 3>& labels,
          std::string& title) {
  if (lagCount <= 0) {
    env.Error("No Parameters specified");
    return;
  }
  const ModelFunction model = ModelFunctionFor(fvar.model);
  if (model == nullptr) {
    env.Error("No Model specified");
    return;
  }

  // Distance x, observed semivariance y and model semivariance f per class.
  const std::size_t capacity = std::min({lags.lag1.size(), lags.lag2.size(), lags.lag3.size()});
  std::span<double> x(lags.lag1.data.data(), capacity);
  std::span<double> y(lags.lag2.data.data(), capacity);
  std::span<double> f(lags.lag3.data.data(), capacity);
  const int kept = ReadFitInput(env, x, y, title);
  if (kept < 0) return;
  const auto n = static_cast<std::size_t>(lagCount);
  if (n > static_cast<std::size_t>(kept)) {
    env.Error(LagLimitMessage(static_cast<std::size_t>(kept)));
    return;
  }
  if (fit.work.size() < MarqWorkSize(n) || fit.matrix1.size() < kNormalMatrixSize ||
      fit.matrix2.size() < kNormalMatrixSize) {
    env.Error(LagLimitMessage(
        fit.work.size() < MarqWorkSize(0) ? 0 : (fit.work.size() - MarqWorkSize(0)) / 4));
    return;
  }
  x = x.first(n);
  y = y.first(n);
  f = f.first(n);

  for (std::size_t i = 0; i < n; ++i) {
    if (!UsableValue(x[i]) || !UsableValue(y[i])) {
      env.Error(UnusableValueMessage("class", static_cast<long long>(i + 1), env.File(".fit")));
      return;
    }
  }

  // k_Rho works on distances in units of the first class's distance. A
  // first distance so small that the others overflow in its units cannot
  // be used.
  double scale = 1.0;
  if (fvar.model == kKRhoModel) {
    scale = x[0];
    for (double& xi : x) xi /= scale;
    if (!AllFinite(x)) {
      env.Error("Distance of the first class too small for model k_Rho : " + NumberText(scale));
      return;
    }
  }

  const ModelLabels modelLabels{modelName, labels};
  BestFit result;  // without a fit: ICON 0, no iterations
  if (fvar.bestFit == 1) {
    result = ComputeBestFit(env, fit, fvar, model, modelLabels, x, y, f, scale);
    if (result.stopped) {  // the earlier .sol stays as it was
      env.NoteStopped(0);
      return;
    }
  }
  FitSummary& summary = result.summary;

  model(fvar.initial, x, f);
  if (fvar.model == kKRhoModel) {
    for (double& xi : x) xi *= scale;
  }
  if (!AllFinite(f)) {
    // Never report values the model could not compute.
    if (summary.icon != kIconNotEvaluable) env.Error(MarqMessage(kIconNotEvaluable));
    return;
  }
  // What this run knows: the sum of squares of the model as evaluated here
  // when Marq has not evaluated it, or when Marq's overflowed (that is not
  // the sum of the parameters reported).
  if (!result.evaluated || !std::isfinite(summary.chi2)) summary.chi2 = SumOfSquares(f, y);
  if (!std::isfinite(summary.chi2)) env.Error("CHI2 not finite, written as asterisks");

  io::RecordFile sol;
  if (!sol.Create(env.Path(".sol"))) {
    env.Error("Cannot create output file : " + env.File(".sol"));
    return;
  }
  WriteSolution(sol, title, modelLabels, fvar.initial, summary, x, y, f);
  // The report replaces the earlier .sol only once it is complete.
  if (!sol.Commit()) {
    env.Error("Cannot write output file : " + env.File(".sol"));
    return;
  }
  ReportFitStatistics(env, ComputeFitStatistics(y, f));
}

}  // namespace mornax
