// Kriging in memory, shared by the file task (krig.cpp) and the in-memory
// interface: the data set made ready, the estimator of a run, the error term
// of a data point and the report of singular systems.
#pragma once

#include <cstdint>
#include <span>

#include "api/mornax_arrays.h"
#include "core/run_env.h"
#include "estimation/data_points.h"
#include "estimation/error_statistics.h"
#include "estimation/point_stream.h"
#include "kriging/kriging_estimate.h"

namespace mornax {

// The data set read (values as logarithms when `logValues`): a value without
// a logarithm is refused, then coincident points are merged (one message box
// each; `origin`, when given, follows the merge as MergeCoincidentPoints
// says). False after the message.
bool PrepareKrigingData(const RunEnv& env, DataSet& data, bool logValues,
                        std::span<std::int32_t> origin = {});

// The estimate's parameters for checked `p` and a system matrix of leading
// dimension `leadingDimension` (C is Sill - C0 for models 2-4).
KrigingParameters KrigingSettings(const api::KrigingParameters& p, int leadingDimension);

// The rows of the largest system a run needs: the neighbours and the drift.
int KrigingSystemOrder(const api::KrigingParameters& p);

// The run's estimator (captures `env`, `data` and `parameters`, which must
// outlive it). A singular system gives an estimate marked singular.
Estimator KrigingEstimator(const RunEnv& env, const DataSet& data,
                           const KrigingParameters& parameters);

// The error of data point i: the estimate minus the measured value (in data
// units); a singular estimate is not counted, and a zero standard error
// counts as an exact estimate (standardised error 0).
ErrorTerm KrigingErrorTerm(const DataSet& data, bool logTransform, int i,
                           const PointEstimate& estimate);

// The closing message of a run with singular systems (nothing for none).
void ReportSingularPoints(const RunEnv& env, long long count, bool errorAnalysis);

}  // namespace mornax
