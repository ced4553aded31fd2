// The experimental semivariogram and the model fit in memory.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "arrays/api_call.h"
#include "core/progress_counter.h"
#include "estimation/parameter_checks.h"
#include "semivariogram/fit_method.h"
#include "semivariogram/fvar.h"
#include "semivariogram/marq.h"
#include "semivariogram/semivariogram_method.h"

namespace mornax::api {
namespace {

// A class is empty when its distance is 0 (as the fitting input has it).
bool EmptyClass(double distance) {
  return distance == 0.0;
}

}  // namespace

SemivariogramResult Semivariogram(const Points& points, const SemivariogramParameters& parameters,
                                  const Hooks& hooks) {
  SemivariogramResult result;
  arrays::Call call(hooks, result.report);
  const RunEnv& env = call.env();
  arrays::OwnedPoints owned;
  if (!arrays::Accepted(call, CheckSemivariogram(env, parameters)) ||
      !arrays::CopyPoints(call, points, {.subtract = parameters.subtract}, owned)) {
    return result;
  }
  LagArrays lags;
  const auto classes = static_cast<std::size_t>(parameters.lagCount);
  for (auto* array : {&lags.lag1, &lags.lag2, &lags.lag3}) array->data.assign(classes, 0.0);
  SemivariogramRun run;
  const bool computed = ComputeSemivariogram(env, owned.data, parameters, lags, run);
  result.report.counts.mergedPairs = owned.given - owned.data.count;
  if (!computed) {
    call.End(run.stopped ? Outcome::kStopped : Outcome::kRefused);
    return result;
  }
  ReportSemivariogram(env, owned.data, lags, run.classCount);
  const auto n = static_cast<std::size_t>(run.classCount);
  result.classCount = run.classCount;
  result.pairs.resize(n);
  for (std::size_t k = 0; k < n; ++k) result.pairs[k] = static_cast<std::int64_t>(lags.lag1[k]);
  result.semivariance.assign(lags.lag2.begin(), lags.lag2.begin() + n);
  result.distance.assign(lags.lag3.begin(), lags.lag3.begin() + n);
  result.average = run.statistics.average;
  result.variance = run.statistics.variance;
  result.pointsUsed = run.statistics.pointsUsed;
  return result;
}

FitResult Fit(const Classes& classes, const FitParameters& parameters, const Hooks& hooks) {
  FitResult result;
  result.b = parameters.initial;
  arrays::Call call(hooks, result.report);
  const RunEnv& env = call.env();
  if (!arrays::Accepted(call, CheckFit(env, parameters))) return result;
  if (classes.semivariance.size() != classes.distance.size()) {
    env.Error(MessageCode::kInputMismatch,
              "Classes: distance and semivariance differ in length (distance " +
                  std::to_string(classes.distance.size()) + ", semivariance " +
                  std::to_string(classes.semivariance.size()) + ")");
    call.End(Outcome::kRefused);
    return result;
  }
  // The non-empty classes, in order; the first classCount are fitted.
  std::vector<double> x, y;
  for (std::size_t k = 0; k < classes.distance.size(); ++k) {
    if (EmptyClass(classes.distance[k])) continue;
    x.push_back(classes.distance[k]);
    y.push_back(classes.semivariance[k]);
  }
  const auto n = static_cast<std::size_t>(parameters.classCount);
  if (n > x.size()) {
    env.Error(MessageCode::kLagLimit, LagLimitMessage(x.size()));
    call.End(Outcome::kRefused);
    return result;
  }
  x.resize(n);
  y.resize(n);
  std::vector<double> f(n, 0.0);
  std::vector<double> vector(MarqWorkSize(n), 0.0);
  std::vector<double> normal(3 * 5, 0.0), solve(3 * 5, 0.0);
  const MarqWork work{vector, normal, solve};
  std::string name = std::string(11, ' ');
  std::array<std::string, 3> labels;
  model_names(parameters.model, name, labels);
  FitRun run;
  ModelParameters b = parameters.initial;
  const bool fitted =
      FitModel(env, x, y, f, parameters, b, work, ModelLabels{name, labels}, std::string(), run);
  result.b = b;
  result.icon = run.summary.icon;
  result.iterations = run.summary.iterations;
  result.lagScale = run.scale;
  if (!fitted) {
    call.End(run.stopped ? Outcome::kStopped : run.refused ? Outcome::kRefused : Outcome::kFailed);
    return result;
  }
  result.chi2 = run.summary.chi2;
  result.distance = std::move(x);
  result.observed = std::move(y);
  result.model = std::move(f);
  const FitStatistics statistics = ComputeFitStatistics(result.observed, result.model);
  result.meanDeviation = statistics.meanDeviation;
  result.rootMeanSquare = statistics.rootMeanSquare;
  result.correlation = statistics.correlation;
  return result;
}

}  // namespace mornax::api
