#include "kriging/kriging_method.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <string>

#include "estimation/search_space.h"
#include "kriging/kriging_drift.h"
#include "models/nested_model.h"
#include "models/variogram_models.h"

namespace mornax {

bool PrepareKrigingData(const RunEnv& env, DataSet& data, bool logValues,
                        std::span<std::int32_t> origin) {
  if (logValues) {
    if (const int point = data.firstWithoutLogarithm; point != 0) {
      env.Error(api::MessageCode::kNoLogarithm, "Log transform: the value of data point " +
                                                    std::to_string(point) + " is not positive");
      return false;
    }
  }
  MergeCoincidentPoints(env, data, origin);
  return true;
}

KrigingParameters KrigingSettings(const api::KrigingParameters& p, int leadingDimension) {
  const api::Variogram& v = p.variogram;
  const double c = IsRangeModel(v.model) ? CFromSill(v.sill, v.c0) : v.c;
  KrigingParameters parameters;
  parameters.variogram = VariogramModel{v.model, v.sill, c, v.c0, v.a};
  parameters.nearest = p.neighbours;
  parameters.driftTerms = DriftTermCount(p.order);
  parameters.logTransform = p.logTransform;
  parameters.leadingDimension = leadingDimension;
  parameters.search = SearchMap(v);
  parameters.geometry = GeometryOf(v, parameters.search);
  return parameters;
}

int KrigingSystemOrder(const api::KrigingParameters& p) {
  return p.neighbours + DriftTermCount(p.order);
}

Estimator KrigingEstimator(const RunEnv& env, const DataSet& data,
                           const KrigingParameters& parameters) {
  if (auto space = MakeSearchSpace(data, parameters.search)) {
    // Anisotropic: the same estimate on coordinates mapped into the search
    // metric.
    return [&env, &parameters, space](const EstimationPoint& point, EstimateWorkspace& workspace) {
      const KrigingResult result =
          space->Run(workspace, point.x, point.y, [&](const DataSet& mapped, double u, double v) {
            return KrigingEstimate(workspace.MessagesOr(env.messages()), mapped, parameters, u, v,
                                   point.excluded, workspace);
          });
      PointEstimate estimate{result.estimate, result.standardError};
      estimate.singular = result.singular;
      return estimate;
    };
  }
  return [&env, &data, &parameters](const EstimationPoint& point, EstimateWorkspace& workspace) {
    // The workspace's messages: estimates made on other threads report in
    // point order.
    const KrigingResult result =
        KrigingEstimate(workspace.MessagesOr(env.messages()), data, parameters, point.x, point.y,
                        point.excluded, workspace);
    PointEstimate estimate{result.estimate, result.standardError};
    estimate.singular = result.singular;
    return estimate;
  };
}

ErrorTerm KrigingErrorTerm(const DataSet& data, bool logTransform, int i,
                           const PointEstimate& estimate) {
  if (estimate.singular) return ErrorTerm{0.0, 1.0, false};
  const auto at = static_cast<std::size_t>(i);
  const double measured = logTransform ? std::exp(data.z[at]) : data.z[at];
  // A zero standard error belongs to an estimate that reproduces its value
  // exactly: its standardised error counts as 0 rather than 0/0.
  const double spread = estimate.standardError == 0.0 ? std::numeric_limits<double>::infinity()
                                                      : estimate.standardError;
  return ErrorTerm{estimate.value - measured, spread};
}

void ReportSingularPoints(const RunEnv& env, long long count, bool errorAnalysis) {
  if (count == 0) return;
  std::string text = "Kriging system singular at " + std::to_string(count) +
                     (count == 1 ? " point: " : " points: ");
  text += errorAnalysis ? "rows written as asterisks and left out of the statistics"
                        : "estimates written as asterisks";
  env.Error(api::MessageCode::kSingularPoints, text);
}

}  // namespace mornax
