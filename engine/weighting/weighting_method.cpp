#include "weighting/weighting_method.h"

#include "weighting/weighting.h"

namespace mornax {

Estimator WeightingEstimator(const DataSet& data, int nearest, int scheme) {
  return [&data, nearest, scheme](const EstimationPoint& point, EstimateWorkspace& workspace) {
    return PointEstimate{
        WeightedEstimate(data, nearest, scheme, point.excluded, point.x, point.y, workspace)};
  };
}

Estimator TrendEstimator(const TrendSurface& surface) {
  return [&surface](const EstimationPoint& point, EstimateWorkspace&) {
    return PointEstimate{EvaluateTrend(surface, point.x, point.y)};
  };
}

ErrorTerm WeightingErrorTerm(const DataSet& data, int i, const PointEstimate& estimate) {
  return ErrorTerm{estimate.value - data.z[i]};
}

}  // namespace mornax
