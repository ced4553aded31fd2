// The program reads project files with the project room's scanner.
#pragma once

#include "project/text_scanner.h"

namespace mornax::gui {

using project::ReadTextFile;
using project::TextScanner;

}  // namespace mornax::gui
