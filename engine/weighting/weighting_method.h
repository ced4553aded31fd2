// Distance weighting and the trend surface in memory, shared by the file task
// (interp.cpp) and the in-memory interface: the estimators of a run and the
// error term of a data point.
#pragma once

#include "estimation/data_points.h"
#include "estimation/error_statistics.h"
#include "estimation/point_stream.h"
#include "weighting/trend_surface.h"

namespace mornax {

// The weighted mean of the `nearest` nearest points under `scheme` (1-6).
// Captures `data`, which must outlive it.
Estimator WeightingEstimator(const DataSet& data, int nearest, int scheme);

// The surface's value (the point itself stays in the fit). Captures
// `surface`, which must outlive it.
Estimator TrendEstimator(const TrendSurface& surface);

// The error of data point i: the estimate minus the measured value.
ErrorTerm WeightingErrorTerm(const DataSet& data, int i, const PointEstimate& estimate);

}  // namespace mornax
