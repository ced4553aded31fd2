// The entry code that mornaxDLL and the batch tool share; only the message
// implementation differs between them.
#pragma once

#include "api/mornax.h"
#include "core/engine_state.h"
#include "core/messages.h"

namespace mornax {

// Runs one computation: the start line, the record copies, the driver and the
// completion line. A base name length outside 1-12 is refused with a message
// box and nothing runs; the completion line is added in every case. The
// project's files are found and written in state.projectFolder, which the
// caller sets.
void RunEntry(int task, int method, int mode, const FILENAME* fileName, const SVAR* svar,
              const FVAR* fvar, const IPL* ipl, Messages& messages, EngineState& state);

// RunEntry for callers across which no exception may pass (the library's
// export, the program's own runs): one that escapes the engine is shown like
// any other failure and the run still ends with its completion line.
void RunEntryGuarded(int task, int method, int mode, const FILENAME* fileName, const SVAR* svar,
                     const FVAR* fvar, const IPL* ipl, Messages& messages,
                     EngineState& state) noexcept;

// The engine state of the process (the library keeps its copies between calls).
EngineState& ProcessEngineState();

}  // namespace mornax
