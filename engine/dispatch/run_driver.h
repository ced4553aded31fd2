// The run driver: computes the array sizes from the loaded records, runs the
// header step, allocates, dispatches to one computation routine and releases
// the arrays.
#pragma once

#include "api/mornax.h"
#include "core/engine_state.h"
#include "core/messages.h"

namespace mornax {

// Computes neighbourCapacity, trendTermCount, lagCapacity and fitWorkSize from
// the loaded values.
void ComputeSizes(EngineState& state);

// Runs one task; returns 1. A failed allocation abandons the run after
// releasing what was allocated.
int RunTask(int task, int method, int mode, EngineState& state, Messages& messages);

}  // namespace mornax
