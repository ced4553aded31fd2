#include "kriging/krig.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>

#include "api/mornax.h"
#include "estimation/data_points.h"
#include "estimation/neighbours.h"
#include "estimation/point_loops.h"
#include "estimation/run_files.h"
#include "io/format_line.h"
#include "io/fortran_format.h"
#include "kriging/kriging_drift.h"
#include "kriging/kriging_estimate.h"
#include "models/variogram_models.h"

namespace mornax {
namespace {

constexpr int kLastKrigingModel = kDeWijsianModel;

// Written for the estimate and standard error of a point whose system is
// singular: too wide for every field, so the records show asterisks.
constexpr double kUnprintable = std::numeric_limits<double>::max();

bool IsUnprintable(const PointEstimate& estimate) {
  return estimate.value == kUnprintable;
}

// Checks the parameters before any file is touched; false after the message.
bool CheckParameters(const RunEnv& env, const IplCopy& ipl) {
  const int model = ipl.krigModel;
  if (model == 0 || ipl.krigPoints <= 0) {
    env.Error("No Parameters specified");
    return false;
  }
  if (model <= kLastKrigingModel && (ipl.sill == 0.0 || (IsRangeModel(model) && !(ipl.a > 0.0)))) {
    env.Error("Interpolation Parameters are zero");
    return false;
  }
  if (model < 0 || model > kLastKrigingModel) {
    env.Error("Interpolation Scheme not valid");
    return false;
  }
  if (DriftTermCount(ipl.krigOrder) == 0) {
    env.Error("Order of Kriging not valid");
    return false;
  }
  return true;
}

// The order of the largest system the neighbourhood arrays hold, and the
// leading dimension of its matrix (the arrays' common length).
struct SystemRoom {
  int capacity = 0;
  int leadingDimension = 0;
};

SystemRoom Room(const NeighbourArrays& nb) {
  const std::size_t ld = nb.x.size();
  std::size_t capacity = std::min({ld, nb.y.size(), nb.value.size(), nb.index.size(),
                                   nb.work3.size(), nb.work4.size(), nb.work5.size()});
  if (ld > 0) capacity = std::min(capacity, nb.matrix4.size() / ld);
  constexpr auto kLargest = static_cast<std::size_t>(std::numeric_limits<int>::max());
  return SystemRoom{static_cast<int>(std::min(capacity, kLargest)),
                    static_cast<int>(std::min(ld, kLargest))};
}

void ReportSingularPoints(const RunEnv& env, int count, bool errorAnalysis) {
  if (count == 0) return;
  std::string text = "Kriging system singular at " + std::to_string(count) +
                     (count == 1 ? " point: " : " points: ");
  text += errorAnalysis ? "rows written as asterisks and left out of the statistics"
                        : "estimates written as asterisks";
  env.Error(text);
}

void AnalyseErrors(const RunEnv& env, RunFiles& files, const DataSet& data, bool logTransform,
                   const Estimator& estimate, EstimateWorkspace& workspace) {
  static const io::FortranFormat kRow("(5X,5F11.2)");
  int singular = 0;
  ErrorAnalysisSetup setup;
  setup.counterText = " Error Analysis - point:";
  setup.counterInterval = 25;
  setup.statistics = &KrigingStatistics();
  setup.estimate = estimate;
  setup.writeRow = [&](int i, const PointEstimate& result) {
    const auto at = static_cast<std::size_t>(i);
    const double measured = logTransform ? std::exp(data.z[at]) : data.z[at];
    if (IsUnprintable(result)) {
      ++singular;
      files.lst.Write(kRow, data.x[at], data.y[at], measured, kUnprintable, kUnprintable);
      return ErrorTerm{0.0, 1.0, false};
    }
    const double error = result.value - measured;
    files.lst.Write(kRow, data.x[at], data.y[at], measured, result.value, error);
    // A zero standard error belongs to an estimate that reproduces its value
    // exactly: its standardised error counts as 0 rather than 0/0.
    const double spread = result.standardError == 0.0 ? std::numeric_limits<double>::infinity()
                                                      : result.standardError;
    return ErrorTerm{error, spread};
  };
  const RunEnd end = RunErrorAnalysis(env, files.lst, data, setup, workspace);
  ReportSingularPoints(env, singular, true);
  FinishRun(env, files, end);
}

void Interpolate(const RunEnv& env, RunFiles& files, const DataSet& data, const Estimator& estimate,
                 EstimateWorkspace& workspace) {
  static const io::FortranFormat kDatHeader("(3I5,A,40X,A)");
  static const io::FortranFormat kDatRecord("(2X,2F15.1,2F15.5)");
  int singular = 0;
  InterpolationSetup setup;
  setup.counterText = "Estimate point ";
  setup.counterInterval = 25;
  setup.estimate = estimate;
  setup.writeDatHeader = [](io::RecordFile& dat, std::int32_t networkCount) {
    dat.Write(kDatHeader, 0, networkCount, 0, " ;", "STD");
  };
  setup.writeDatRecord = [&singular](io::RecordFile& dat, const EstimationPoint& point,
                                     const PointEstimate& result) {
    if (IsUnprintable(result)) ++singular;
    dat.Write(kDatRecord, point.x, point.y, result.value, result.standardError);
  };
  const RunEnd end = RunInterpolation(env, files, data, setup, workspace);
  ReportSingularPoints(env, singular, false);
  FinishRun(env, files, end);
}

}  // namespace

void Krig(const RunEnv& env, int mode, const std::string& title, PointArrays& points,
          NeighbourArrays& neighbours, IplCopy& ipl, int logTransform) {
  static const io::FortranFormat kTableHeader(
      "(5X,'         X        Y         Z          Z*        Z-Z*')");
  static const io::FortranFormat kCapacity("(1x,a,i2)");
  if (!CheckParameters(env, ipl)) return;

  const bool errorAnalysis = mode == MNX_MODE_ERROR_ANALYSIS;
  RunFiles files;
  if (!files.Open(env, title, errorAnalysis, !errorAnalysis)) return;

  const int model = ipl.krigModel;
  if (IsRangeModel(model)) ipl.c = CFromSill(ipl.sill, ipl.c0);
  if (errorAnalysis) files.lst.Write(kTableHeader);

  const int nearest = ipl.krigPoints;
  const int driftTerms = DriftTermCount(ipl.krigOrder);
  const SystemRoom room = Room(neighbours);
  if (room.capacity - driftTerms < nearest) {
    env.Error(
        FormatLine(kCapacity, "Maximum number of nearest points is ", room.capacity - driftTerms));
    files.Close();
    return;
  }

  // Any nonzero flag means logarithms, both when reading and in the estimate.
  const bool logValues = logTransform != 0;
  DataSet data;
  if (!ReadDataPoints(env, files.data, points, DataReadOptions{false, logValues}, data)) {
    files.Close();
    return;
  }
  if (logValues) {
    if (const int point = data.firstWithoutLogarithm; point != 0) {
      env.Error("Log transform: the value of data point " + std::to_string(point) +
                " is not positive");
      files.Close();
      return;
    }
  }
  MergeCoincidentPoints(env, data);
  env.Progress(kListAppend, "");

  KrigingParameters parameters;
  parameters.variogram = VariogramModel{model, ipl.sill, ipl.c, ipl.c0, ipl.a};
  parameters.nearest = nearest;
  parameters.driftTerms = driftTerms;
  parameters.logTransform = logValues;
  parameters.leadingDimension = room.leadingDimension;

  const Estimator estimate = [&env, &data, &parameters](const EstimationPoint& point,
                                                        EstimateWorkspace& workspace) {
    // The workspace's messages: estimates made on other threads report in point order.
    const KrigingResult result =
        KrigingEstimate(workspace.MessagesOr(env.messages()), data, parameters, point.x, point.y,
                        point.excluded, workspace);
    if (result.singular) return PointEstimate{kUnprintable, kUnprintable};
    return PointEstimate{result.estimate, result.standardError};
  };
  EstimateWorkspace workspace{neighbours, std::span<double>(points.distance.data)};
  if (errorAnalysis) {
    AnalyseErrors(env, files, data, logValues, estimate, workspace);
  } else {
    Interpolate(env, files, data, estimate, workspace);
  }
}

}  // namespace mornax
