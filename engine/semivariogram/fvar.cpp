#include "semivariogram/fvar.h"

#include <algorithm>
#include <cstddef>
#include <span>

#include "core/record_parameters.h"
#include "estimation/parameter_checks.h"
#include "io/format_line.h"
#include "io/record_file.h"
#include "semivariogram/fit_input.h"
#include "semivariogram/fit_method.h"
#include "semivariogram/fit_report.h"
#include "semivariogram/marq.h"

namespace mornax {
namespace {

constexpr std::size_t kNormalMatrixSize = 3 * 5;

}  // namespace

void Fvar(const RunEnv& env, LagArrays& lags, FitArrays& fit, FvarCopy& fvar, int lagCount,
          const std::string& modelName, const std::array<std::string, 3>& labels,
          std::string& title) {
  const api::FitParameters parameters = FitOf(fvar, lagCount);
  if (!CheckFit(env, parameters)) return;

  // Distance x, observed semivariance y and model semivariance f per class.
  const std::size_t capacity = std::min({lags.lag1.size(), lags.lag2.size(), lags.lag3.size()});
  std::span<double> x(lags.lag1.data.data(), capacity);
  std::span<double> y(lags.lag2.data.data(), capacity);
  std::span<double> f(lags.lag3.data.data(), capacity);
  const int kept = ReadFitInput(env, x, y, title);
  if (kept < 0) return;
  const auto n = static_cast<std::size_t>(lagCount);
  if (n > static_cast<std::size_t>(kept)) {
    env.Error(api::MessageCode::kLagLimit, LagLimitMessage(static_cast<std::size_t>(kept)));
    return;
  }
  if (fit.work.size() < MarqWorkSize(n) || fit.matrix1.size() < kNormalMatrixSize ||
      fit.matrix2.size() < kNormalMatrixSize) {
    env.Error(api::MessageCode::kLagLimit,
              LagLimitMessage(
                  fit.work.size() < MarqWorkSize(0) ? 0 : (fit.work.size() - MarqWorkSize(0)) / 4));
    return;
  }
  x = x.first(n);
  y = y.first(n);
  f = f.first(n);

  // The fit works on the engine's copy of the initial values.
  const ModelLabels modelLabels{modelName, labels};
  const MarqWork work{fit.work.data, fit.matrix1.data, fit.matrix2.data};
  FitRun run;
  if (!FitModel(env, x, y, f, parameters, fvar.initial, work, modelLabels, env.File(".fit"), run)) {
    // A stop leaves the earlier .sol as it was.
    if (run.stopped) env.NoteStopped(0);
    return;
  }

  io::RecordFile sol;
  if (!sol.Create(env.Path(".sol"))) {
    env.Error(api::MessageCode::kCannotOpenOutput,
              "Cannot create output file : " + env.File(".sol"));
    return;
  }
  WriteSolution(sol, title, modelLabels, fvar.initial, run.summary, x, y, f);
  // The report replaces the earlier .sol only once it is complete.
  if (!sol.Commit()) {
    env.Error(api::MessageCode::kCannotWriteOutput,
              "Cannot write output file : " + env.File(".sol"));
    return;
  }
  ReportFitStatistics(env, ComputeFitStatistics(y, f));
}

}  // namespace mornax
