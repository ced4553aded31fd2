// The run driver: loads the records into the engine state, computes the array
// sizes, runs the header step, allocates, dispatches to one computation routine
// and releases the arrays.
#pragma once

#include "core/engine_state.h"
#include "core/messages.h"
#include "front/mornax.h"

namespace mornax {

// Copies the base name: baseName := 12 blanks, then the first baseLength
// characters of `name` (blank padded where `name` is shorter).
void LoadFileName(const FILENAME& fileName, EngineState& state);

// Copies SVAR, FVAR and IPL into the engine state, widening every real.
void LoadParameters(const SVAR& svar, const FVAR& fvar, const IPL& ipl, EngineState& state);

// Computes neighbourCapacity, trendTermCount, lagCapacity and fitWorkSize from
// the loaded values.
void ComputeSizes(EngineState& state);

// Runs one task; returns 1. A failed allocation abandons the run after
// releasing what was allocated.
int RunTask(int task, int method, int mode, EngineState& state, Messages& messages);

}  // namespace mornax
