// The program's four parameter records and the project file set. They exist
// once for the whole process: the computation library keeps a pointer to the
// FILENAME record between calls, so the objects never move.
#pragma once

#include "project/project.h"

namespace mornax::gui {

project::Records& ProgramRecords();
project::FileSet& ProgramFiles();

}  // namespace mornax::gui
