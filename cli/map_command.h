// The map command: the result map of a project as a PNG, SVG or PDF picture,
// drawn without a display.
#pragma once

#include "arguments.h"

namespace mornax::batch {

// Returns the exit status: 0 written, 1 nothing to map or the picture could
// not be written (message on standard error), 2 bad usage.
int MapPicture(const Invocation& invocation);

}  // namespace mornax::batch
