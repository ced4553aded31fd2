// The record copies: the caller's records, as the public header lays them
// out, copied into the engine state before a run.
#pragma once

#include "api/mornax.h"
#include "core/engine_state.h"

namespace mornax {

// Copies the base name: baseName := 12 blanks, then the first baseLength
// characters of `name` (blank padded where `name` is shorter).
void LoadFileName(const FILENAME& fileName, EngineState& state);

// Copies SVAR, FVAR and IPL into the engine state, widening every real.
void LoadParameters(const SVAR& svar, const FVAR& fvar, const IPL& ipl, EngineState& state);

}  // namespace mornax
