// The run command: one computation of a project through the library's entry
// code, with console messages.
#pragma once

#include "arguments.h"

namespace mornax::batch {

// Returns the exit status: 0 no message box shown, 1 one or more, 2 refused
// before the call. The caller turns the stop signals into Cancel requests
// (InterruptAsCancel) before the command begins.
int RunComputation(const Invocation& invocation);

}  // namespace mornax::batch
