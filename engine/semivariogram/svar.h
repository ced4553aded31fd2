// Task 1: the experimental semivariogram (BASE.var report and BASE.fit input).
#pragma once

#include <string>

#include "core/engine_state.h"
#include "core/run_env.h"

namespace mornax {

// Reads BASE.dfl into the point arrays, merges coincident points, applies the
// subtract and log options, computes the semivariogram in the direction
// sector and writes BASE.var and BASE.fit. `svar.lagCount` is replaced by the
// reduced number of lags.
void Svar(const RunEnv& env, const std::string& title, PointArrays& points, LagArrays& lags,
          SvarCopy& svar);

}  // namespace mornax
