// The program parses numbers with the project room's rule.
#pragma once

#include "project/number_parse.h"

namespace mornax::gui {

using project::ParseNumber;

}  // namespace mornax::gui
