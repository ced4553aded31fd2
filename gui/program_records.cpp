#include "gui/program_records.h"

namespace mornax::gui {

project::Records& ProgramRecords() {
  static project::Records records = [] {
    project::Records fresh;
    project::SetDefaults(fresh);
    return fresh;
  }();
  return records;
}

project::FileSet& ProgramFiles() {
  static project::FileSet files;
  return files;
}

}  // namespace mornax::gui
