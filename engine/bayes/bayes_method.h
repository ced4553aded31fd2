// Bayesian estimation in memory, shared by the file task (bayes_run.cpp) and
// the in-memory interface: the data set made ready (logarithms, merging, the
// neighbour count, the scaling of the guesses), the estimators of the two
// loops, the error term of a data point and the message of a failed estimate.
#pragma once

#include <array>

#include "api/mornax_arrays.h"
#include "bayes/bayes_estimate.h"
#include "bayes/guess_scaling.h"
#include "core/run_env.h"
#include "estimation/data_points.h"
#include "estimation/error_statistics.h"
#include "estimation/point_stream.h"

namespace mornax {

// Values and guesses replaced by their logarithms; false after naming the
// first data point (in file order) where one has none.
bool TakeBayesLogarithms(const RunEnv& env, DataSet& data);

// The nearest-point count of a run on `readCount` points as read: error
// analysis always leaves one point out, so a count equal to the points read
// becomes one less.
int BayesNeighbourCount(int neighbours, bool errorAnalysis, int readCount);

// Each estimate needs `count` distinct neighbours among `points` (after
// merging): in error analysis the point itself is left out, so at least two
// points and count <= points - 1. False after the message.
bool CheckBayesNeighbours(const RunEnv& env, bool errorAnalysis, int count, int points);

// Scales the data guesses once (`option` as scaleGuess) and keeps what the
// network guesses need in `scaling`; `linearScaling` receives the record of
// the linear scaling. False after the message when the linear scaling has no
// slope.
bool ScaleDataGuesses(const RunEnv& env, DataSet& data, int option,
                      std::array<double, 4>& linearScaling, GuessScaling& scaling);

// The estimate's settings for checked `p` (C is Sill - C0 for models 2-4,
// for both sets), `count` neighbours and matrices of leading dimension
// `capacity`.
BayesSettings BayesSettingsOf(const api::BayesParameters& p, int count, bool errorAnalysis,
                              int capacity);

// The estimators of the error analysis (each data point with its own guess,
// the point left out) and of a network (each node's guess as read, scaled as
// the data guesses were, then its logarithm). They capture their arguments,
// which must outlive them. A singular system is a failed estimate.
Estimator BayesPointEstimator(const RunEnv& env, const DataSet& data,
                              const BayesSettings& settings);
Estimator BayesNodeEstimator(const RunEnv& env, const DataSet& data, const BayesSettings& settings,
                             const GuessScaling& scaling);

// The error of data point i: the estimate minus the measured value, both in
// data units, with the estimate's STD as its spread.
ErrorTerm BayesErrorTerm(const DataSet& data, bool logTransform, int i,
                         const PointEstimate& estimate);

// The message of a failed estimate (a network guess without a logarithm has
// been named where it was met).
void ReportBayesFailure(const RunEnv& env, const PointEstimate& estimate);

}  // namespace mornax
