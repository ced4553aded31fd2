#include "bayes/bayes_run.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "api/mornax.h"
#include "bayes/bayes_estimate.h"
#include "bayes/bayes_method.h"
#include "bayes/guess_scaling.h"
#include "core/record_parameters.h"
#include "estimation/data_points.h"
#include "estimation/error_statistics.h"
#include "estimation/neighbours.h"
#include "estimation/parameter_checks.h"
#include "estimation/point_loops.h"
#include "estimation/run_files.h"
#include "io/format_line.h"
#include "io/fortran_format.h"
#include "models/variogram_models.h"

namespace mornax {
namespace {

const StatisticsLayout& BayesStatistics() {
  static const io::FortranFormat kBlock(
      "(/,10X,' Average Error = ',1P,E15.5,/,10X,' Standard Error = ',1P,E15.5,/,10X,"
      "' Root Mean Square Error =',1P,E15.5,/,10X,' Greatest Error = ',1P,E15.5,/,10X,"
      "' Mean Absolute Error =',1P,E15.5)");
  static const StatisticsLayout kLayout{kBlock, true, " Root Mean Square Error (RMSE): "};
  return kLayout;
}

// The neighbourhood arrays must hold the run's systems (the matrices have
// the arrays' length as leading dimension); false after the message.
bool CheckCapacity(const RunEnv& env, int nearest, const NeighbourArrays& nb) {
  const std::size_t ld = nb.x.size();
  const std::size_t squares =
      std::min({nb.matrix1.size(), nb.matrix2.size(), nb.matrix3.size(), nb.matrix4.size()});
  std::size_t m = std::min({ld, nb.y.size(), nb.value.size(), nb.index.size(), nb.work1.size(),
                            nb.work3.size(), nb.work4.size(), nb.work5.size(), nb.work6.size()});
  if (squares < ld * ld) m = 0;
  if (static_cast<std::size_t>(nearest) > m) {
    env.Error(api::MessageCode::kTooManyNeighbours,
              "Maximum number of nearest points is " + std::to_string(m));
    return false;
  }
  return true;
}

void AnalyseErrors(const RunEnv& env, RunFiles& files, const DataSet& data,
                   const BayesSettings& settings, EstimateWorkspace& workspace) {
  static const io::FortranFormat kRow("(2F15.1,5F10.2)");
  ErrorAnalysisSetup setup;
  setup.counterText = " Error Analysis -  point: ";
  setup.counterInterval = 25;
  setup.statistics = &BayesStatistics();
  setup.estimate = BayesPointEstimator(env, data, settings);
  setup.writeRow = [&](int i, const PointEstimate& result) {
    const double measured = settings.logTransform ? std::exp(data.z[i]) : data.z[i];
    const ErrorTerm term = BayesErrorTerm(data, settings.logTransform, i, result);
    files.lst.Write(kRow, data.x[i], data.y[i], measured, result.guess, result.value, term.error,
                    result.standardError);
    return term;
  };
  setup.reportFailure = [&](const PointEstimate& result) { ReportBayesFailure(env, result); };
  const RunEnd end = RunErrorAnalysis(env, files.lst, data, setup, workspace);
  // An end of file inside the points has been reported while reading.
  FinishRun(env, files, end);
}

void Interpolate(const RunEnv& env, RunFiles& files, const DataSet& data,
                 const BayesSettings& settings, const GuessScaling& scaling,
                 EstimateWorkspace& workspace) {
  static const io::FortranFormat kDatHeader("(3I5,A,33X,A,12X,A)");
  static const io::FortranFormat kDatRecord("(2F15.1,3F15.5)");
  InterpolationSetup setup;
  setup.counterText = "Interpolate to point ";
  setup.counterInterval = 25;
  setup.networkValues = 3;
  // The second empty line precedes the read of the network count.
  setup.progressLineFirst = true;
  setup.estimate = BayesNodeEstimator(env, data, settings, scaling);
  setup.writeDatHeader = [](io::RecordFile& dat, std::int32_t networkCount) {
    dat.Write(kDatHeader, 0, networkCount, 0, " ;", "GUESS ", "STD");
  };
  setup.writeDatRecord = [](io::RecordFile& dat, const EstimationPoint& point,
                            const PointEstimate& result) {
    dat.Write(kDatRecord, point.x, point.y, result.value, result.guess, result.standardError);
  };
  setup.reportFailure = [&](const PointEstimate& result) { ReportBayesFailure(env, result); };
  const RunEnd end = RunInterpolation(env, files, data, setup, workspace);
  FinishRun(env, files, end);
}

}  // namespace

void BayesRun(const RunEnv& env, int mode, const std::string& title, PointArrays& points,
              NeighbourArrays& neighbours, std::array<double, 4>& linearScaling,
              IplCopy& parameters, int logTransform) {
  // The run's own changes (C as sill minus nugget, one point fewer in error
  // analysis) are made on its settings; the engine state keeps the values
  // loaded from the records.
  const api::BayesParameters checked = BayesOf(parameters, logTransform);
  if (!CheckBayes(env, checked) || !CheckCapacity(env, checked.neighbours, neighbours)) return;
  const bool errorAnalysis = mode == MNX_MODE_ERROR_ANALYSIS;
  RunFiles files;
  if (!files.Open(env, title, errorAnalysis, !errorAnalysis)) return;

  DataSet data;
  DataReadOptions options;
  options.readGuess = true;
  if (!ReadDataPoints(env, files.data, points, options, data)) {
    files.Close();
    return;
  }
  const int nearest = BayesNeighbourCount(checked.neighbours, errorAnalysis, data.count);
  if (checked.logTransform && !TakeBayesLogarithms(env, data)) {
    files.Close();
    return;
  }
  MergeCoincidentPoints(env, data);

  GuessScaling scaling;
  if (!CheckBayesNeighbours(env, errorAnalysis, nearest, data.count) ||
      !ScaleDataGuesses(env, data, checked.scaleGuess, linearScaling, scaling)) {
    files.Close();
    return;
  }
  if (errorAnalysis) {
    static const io::FortranFormat kHeader(
        "(1X,'        X              Y            Z      GUESS       Z*         Z-Z*      "
        "STD')");
    files.lst.Write(kHeader);
  }
  env.Progress(kListAppend, "");

  const BayesSettings settings =
      BayesSettingsOf(checked, nearest, errorAnalysis, static_cast<int>(neighbours.x.size()));
  EstimateWorkspace workspace{neighbours, std::span<double>(points.distance.data)};
  if (errorAnalysis) {
    AnalyseErrors(env, files, data, settings, workspace);
  } else {
    Interpolate(env, files, data, settings, scaling, workspace);
  }
}

}  // namespace mornax
