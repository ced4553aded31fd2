// What a Predictor holds and what each method supplies to it: the loops over
// nodes and over the data points (predictor.cpp) are the same for every
// method; a method prepares its data set and gives its estimators, its error
// term and its closing messages.
#pragma once

#include <cstdint>
#include <vector>

#include "api/mornax_arrays.h"
#include "arrays/api_call.h"
#include "core/work_arrays.h"
#include "estimation/neighbours.h"
#include "estimation/point_stream.h"
#include "estimation/spatial_index.h"

namespace mornax::api {

struct Predictor::Impl {
  virtual ~Impl() = default;

  // The columns the method carries beside the estimate.
  virtual bool HasStandardError() const { return false; }
  virtual bool HasGuess() const { return false; }
  // The nodes carry a guess (Bayesian estimation).
  virtual bool ReadsGuess() const { return false; }

  // Made ready for a network (true) or for the error analysis; false after
  // the message. Called before each loop; the preparation has been made for
  // one of the two.
  virtual bool BeginNetwork(arrays::Call&) { return true; }
  virtual bool BeginAnalysis(arrays::Call&) { return true; }

  // The estimators of the two loops for this call (they may capture the
  // call's environment and this object).
  virtual Estimator NodeEstimator(const RunEnv& env) = 0;
  virtual Estimator PointEstimator(const RunEnv& env) = 0;
  // The error of data point i (0-based, after merging).
  virtual ErrorTerm Term(int i, const PointEstimate& estimate) const = 0;
  // The message of an estimate that failed (Bayesian estimation).
  virtual void ReportFailure(const RunEnv&, const PointEstimate&) const {}
  // The closing message of singular systems (kriging).
  virtual void ReportSingular(const RunEnv&, long long, bool) const {}

  // Sizes the workspace for `neighbours` neighbours and systems of `order`
  // rows with `matrices` square matrices (0-4), and indexes the points.
  void MakeWorkspace(int neighbours, int order, int matrices);

  Report preparation;
  bool ready = false;
  arrays::OwnedPoints points;
  std::unique_ptr<TrendFit> trend;  // Trend() only

  // The workspace of the loops: built once, copied per thread by the loops.
  NeighbourArrays neighbours;
  std::vector<double> distance;
  SpatialIndex index;
};

}  // namespace mornax::api

namespace mornax::arrays {

// Prepare, then estimate, in one call: the report holds the preparation's
// messages and counts followed by the estimation's.
template <typename Estimate>
auto Once(api::Predictor predictor, const Estimate& estimate) {
  auto results = estimate(predictor);
  api::Report report = predictor.preparation();
  if (predictor.ready()) Append(report, results.report);
  results.report = std::move(report);
  return results;
}

}  // namespace mornax::arrays
