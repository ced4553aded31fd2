// The refusals made before a task computes anything: every parameter the task
// will use must be a finite number in the range its formulas can work with.
// One home for the rules, their texts and their order, used by the file tasks
// (through the run driver and again by each computation routine, which may be
// called alone) and by the in-memory interface.
//
// Each check shows at most one message (through the run's messages) and
// returns false after it: the computation routine's own wording where it has
// one ("No Parameters specified", "Interpolation Parameters are zero", ...),
// else one naming the parameter, its accepted range and the value.
#pragma once

#include "api/mornax_arrays.h"
#include "core/run_env.h"

namespace mornax {

bool CheckSemivariogram(const RunEnv& env, const api::SemivariogramParameters& p);
bool CheckFit(const RunEnv& env, const api::FitParameters& p);
// Schemes 1-6.
bool CheckWeighting(const RunEnv& env, const api::WeightingParameters& p);
bool CheckTrend(const RunEnv& env, const api::TrendParameters& p);
// The record's form of the two: scheme 7 is the trend surface of `degree`.
bool CheckWeightingScheme(const RunEnv& env, int scheme, int nearest, int degree);
bool CheckKriging(const RunEnv& env, const api::KrigingParameters& p);
bool CheckBayes(const RunEnv& env, const api::BayesParameters& p);

}  // namespace mornax
