// The two messages of the dense linear-algebra routines: the abnormal exit of
// a factorisation or inversion, and an invalid argument passed to a routine.
#pragma once

#include <string_view>

#include "core/messages.h"

namespace mornax {

// Returns `status`; when it is not 0, first shows "Abnormal Exit from Routine "
// followed by the four-character routine `name`.
int ErrorExit(Messages& messages, int status, std::string_view name);

// Shows " Illegal value in parameter NN on entry to NAME" (the argument number
// in two columns). The detecting routine then returns a failure status
// without computing, so the caller's run ends while the program goes on.
void ArgumentError(Messages& messages, std::string_view name, int argument);

}  // namespace mornax
