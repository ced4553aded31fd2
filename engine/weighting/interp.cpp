#include "weighting/interp.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "api/mornax.h"
#include "estimation/data_points.h"
#include "estimation/neighbours.h"
#include "estimation/parameter_checks.h"
#include "estimation/point_loops.h"
#include "estimation/run_files.h"
#include "io/fortran_format.h"
#include "weighting/trend_surface.h"
#include "weighting/weighting_method.h"

namespace mornax {
namespace {

// The array checks after the parameter checks: the trend coefficients and
// the neighbour arrays must hold what the run asks; false after the message.
bool CheckCapacity(const RunEnv& env, int nearest, int scheme, int degree,
                   const NeighbourArrays& neighbours, const TrendArrays& trend) {
  if (scheme == kTrendScheme) {
    if (trend.coefficients.size() < static_cast<std::size_t>(TrendTermCount(degree))) {
      env.Error(api::MessageCode::kDegreeNotValid, "Degree of Trendsurface not valid");
      return false;
    }
    return true;
  }
  const std::size_t capacity =
      std::min({neighbours.x.size(), neighbours.y.size(), neighbours.value.size(),
                neighbours.index.size(), neighbours.work1.size()});
  if (static_cast<std::size_t>(nearest) > capacity) {
    env.Error(api::MessageCode::kTooManyNeighbours,
              "Maximum number of nearest points is " + std::to_string(capacity));
    return false;
  }
  return true;
}

void AnalyseErrors(const RunEnv& env, RunFiles& files, const DataSet& data,
                   const Estimator& estimate, EstimateWorkspace& workspace) {
  static const io::FortranFormat kRow("(5X,5F10.2)");
  files.lst.WriteFreeText("     X          Y            Z         Z*      Z-Z*");
  ErrorAnalysisSetup setup;
  setup.counterText = "Error Analysis -  point: ";
  setup.counterInterval = 10;
  setup.statistics = &WeightingStatistics();
  setup.estimate = estimate;
  setup.writeRow = [&](int i, const PointEstimate& result) {
    const ErrorTerm term = WeightingErrorTerm(data, i, result);
    files.lst.Write(kRow, data.x[i], data.y[i], data.z[i], result.value, term.error);
    return term;
  };
  const RunEnd end = RunErrorAnalysis(env, files.lst, data, setup, workspace);
  FinishRun(env, files, end);
}

void Interpolate(const RunEnv& env, RunFiles& files, const DataSet& data, const Estimator& estimate,
                 EstimateWorkspace& workspace) {
  static const io::FortranFormat kDatHeader("(3I5,A)");
  static const io::FortranFormat kDatRecord("(3F15.5,I5)");
  InterpolationSetup setup;
  setup.counterText = "Estimating point ";
  setup.counterInterval = 25;
  setup.estimate = estimate;
  setup.writeDatHeader = [](io::RecordFile& dat, std::int32_t networkCount) {
    dat.Write(kDatHeader, 0, networkCount, 0, " ;");
  };
  setup.writeDatRecord = [](io::RecordFile& dat, const EstimationPoint& point,
                            const PointEstimate& result) {
    dat.Write(kDatRecord, point.x, point.y, result.value, point.number);
  };
  const RunEnd end = RunInterpolation(env, files, data, setup, workspace);
  FinishRun(env, files, end);
}

}  // namespace

void Interp(const RunEnv& env, int mode, const std::string& title, PointArrays& points,
            NeighbourArrays& neighbours, TrendArrays& trend, const IplCopy& ipl) {
  static const io::FortranFormat kDegree("(10X,' Degree = ',I5,/,/)");
  const int nearest = ipl.dwPoints;
  const int scheme = ipl.dwScheme;
  const int degree = ipl.trendDegree;
  if (!CheckWeightingScheme(env, scheme, nearest, degree) ||
      !CheckCapacity(env, nearest, scheme, degree, neighbours, trend)) {
    return;
  }

  RunFiles files;
  if (!files.Open(env, title, mode == MNX_MODE_ERROR_ANALYSIS || scheme == kTrendScheme,
                  mode != MNX_MODE_ERROR_ANALYSIS)) {
    return;
  }
  DataSet data;
  if (!ReadDataPoints(env, files.data, points, DataReadOptions{}, data)) {
    files.Close();
    return;
  }

  TrendSurface surface;
  if (scheme == kTrendScheme) {
    env.Progress(kListAppend, " Perform Trendsurface Analysis ");
    if (!FitTrendSurface(env, files.lst, data, degree, std::span<double>(trend.coefficients.data),
                         std::span<double>(points.fifth.data), surface)) {
      files.Close();
      return;
    }
    files.lst.Write(kDegree, degree);
  }
  env.Progress(kListAppend, "");

  EstimateWorkspace workspace{neighbours, std::span<double>(points.distance.data)};
  const Estimator estimate =
      scheme == kTrendScheme ? TrendEstimator(surface) : WeightingEstimator(data, nearest, scheme);
  if (mode == MNX_MODE_ERROR_ANALYSIS) {
    AnalyseErrors(env, files, data, estimate, workspace);
  } else {
    Interpolate(env, files, data, estimate, workspace);
  }
}

}  // namespace mornax
