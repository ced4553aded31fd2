// The experimental semivariogram in memory, shared by the file task (svar.cpp)
// and the in-memory interface: the points made ready and the pairs sorted
// into classes, then the closing messages.
#pragma once

#include "api/mornax_arrays.h"
#include "core/run_env.h"
#include "core/work_arrays.h"
#include "estimation/data_points.h"
#include "semivariogram/gama3.h"

namespace mornax {

struct SemivariogramRun {
  ValueStatistics statistics;
  int classCount = 0;    // the highest class that received a pair (at least 1)
  bool stopped = false;  // the user's stop ended the pair loop
};

// Merges coincident points (a progress line each) and takes the logarithms
// of the values when asked; false after the message when a value has none.
bool PrepareSemivariogramData(const RunEnv& env, DataSet& data, bool logTransform);

// Merges coincident points (a progress line each), takes the logarithms of
// the values when asked and sorts the pairs into the classes of `lags`
// (which hold p.lagCount entries each). False after the message when a value
// has no logarithm, or when the user stopped the pair loop (run.stopped).
bool ComputeSemivariogram(const RunEnv& env, DataSet& data, const api::SemivariogramParameters& p,
                          LagArrays& lags, SemivariogramRun& run);

// The closing messages: an empty semivariogram is said, with its cause (fewer
// than two distinct points, or no pair in the sector), then the progress line
// of the number of lags.
void ReportSemivariogram(const RunEnv& env, const DataSet& data, const LagArrays& lags,
                         int classCount);

}  // namespace mornax
