// The refusals made before a task opens or writes anything: every parameter
// the task will use must be a finite number in the range its formulas can
// work with. One place for all of them, so that the computation routines can
// rely on sane values.
#pragma once

#include "core/engine_state.h"
#include "core/messages.h"

namespace mornax {

// True when task/method may run with the parameters of `state`; otherwise
// one message box has been shown (with the computation routine's own wording
// where it has one, such as "No Parameters specified", else naming the
// parameter, its accepted range and the value) and false is returned.
bool CheckRunParameters(int task, int method, const EngineState& state, Messages& messages);

}  // namespace mornax
