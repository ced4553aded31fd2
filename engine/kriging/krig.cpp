#include "kriging/krig.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>

#include "api/mornax.h"
#include "core/record_parameters.h"
#include "estimation/data_points.h"
#include "estimation/neighbours.h"
#include "estimation/parameter_checks.h"
#include "estimation/point_loops.h"
#include "estimation/run_files.h"
#include "io/format_line.h"
#include "io/fortran_format.h"
#include "kriging/kriging_method.h"
#include "models/variogram_models.h"

namespace mornax {
namespace {

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

void AnalyseErrors(const RunEnv& env, RunFiles& files, const DataSet& data, bool logTransform,
                   const Estimator& estimate, EstimateWorkspace& workspace) {
  static const io::FortranFormat kRow("(5X,5F11.2)");
  long long singular = 0;
  ErrorAnalysisSetup setup;
  setup.counterText = " Error Analysis - point:";
  setup.counterInterval = 25;
  setup.statistics = &KrigingStatistics();
  setup.estimate = estimate;
  setup.writeRow = [&](int i, const PointEstimate& result) {
    const auto at = static_cast<std::size_t>(i);
    const double measured = logTransform ? std::exp(data.z[at]) : data.z[at];
    const ErrorTerm term = KrigingErrorTerm(data, logTransform, i, result);
    if (result.singular) {
      ++singular;
      files.lst.Write(kRow, data.x[at], data.y[at], measured, kUnprintableValue, kUnprintableValue);
    } else {
      files.lst.Write(kRow, data.x[at], data.y[at], measured, result.value, term.error);
    }
    return term;
  };
  const RunEnd end = RunErrorAnalysis(env, files.lst, data, setup, workspace);
  ReportSingularPoints(env, singular, true);
  FinishRun(env, files, end);
}

void Interpolate(const RunEnv& env, RunFiles& files, const DataSet& data, const Estimator& estimate,
                 EstimateWorkspace& workspace) {
  static const io::FortranFormat kDatHeader("(3I5,A,40X,A)");
  static const io::FortranFormat kDatRecord("(2X,2F15.1,2F15.5)");
  long long singular = 0;
  InterpolationSetup setup;
  setup.counterText = "Estimate point ";
  setup.counterInterval = 25;
  setup.estimate = estimate;
  setup.writeDatHeader = [](io::RecordFile& dat, std::int32_t networkCount) {
    dat.Write(kDatHeader, 0, networkCount, 0, " ;", "STD");
  };
  setup.writeDatRecord = [&singular](io::RecordFile& dat, const EstimationPoint& point,
                                     const PointEstimate& result) {
    if (result.singular) {
      ++singular;
      dat.Write(kDatRecord, point.x, point.y, kUnprintableValue, kUnprintableValue);
    } else {
      dat.Write(kDatRecord, point.x, point.y, result.value, result.standardError);
    }
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
  const api::KrigingParameters checked = KrigingOf(ipl, logTransform);
  if (!CheckKriging(env, checked)) return;

  const bool errorAnalysis = mode == MNX_MODE_ERROR_ANALYSIS;
  RunFiles files;
  if (!files.Open(env, title, errorAnalysis, !errorAnalysis)) return;

  // The run's C, for the record copies as well.
  if (IsRangeModel(ipl.krigModel)) ipl.c = CFromSill(ipl.sill, ipl.c0);
  if (errorAnalysis) files.lst.Write(kTableHeader);

  const SystemRoom room = Room(neighbours);
  const int driftTerms = KrigingSystemOrder(checked) - checked.neighbours;
  if (room.capacity - driftTerms < checked.neighbours) {
    env.Error(
        api::MessageCode::kTooManyNeighbours,
        FormatLine(kCapacity, "Maximum number of nearest points is ", room.capacity - driftTerms));
    files.Close();
    return;
  }

  DataSet data;
  DataReadOptions options;
  options.logValues = checked.logTransform;
  if (!ReadDataPoints(env, files.data, points, options, data) ||
      !PrepareKrigingData(env, data, checked.logTransform)) {
    files.Close();
    return;
  }
  env.Progress(kListAppend, "");

  const KrigingParameters parameters = KrigingSettings(checked, room.leadingDimension);
  const Estimator estimate = KrigingEstimator(env, data, parameters);
  EstimateWorkspace workspace{neighbours, std::span<double>(points.distance.data)};
  if (errorAnalysis) {
    AnalyseErrors(env, files, data, checked.logTransform, estimate, workspace);
  } else {
    Interpolate(env, files, data, estimate, workspace);
  }
}

}  // namespace mornax
