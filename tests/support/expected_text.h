// Pieces of expected result files shared by the run tests.
#pragma once

#include <string>

namespace mornax::testing {

// The title record of a result file: a blank, then the method's prefix and
// the data file's title as the 72-character run title.
inline std::string RunTitleLine(const std::string& prefix, const std::string& title) {
  std::string line = prefix + title;
  line.resize(72, ' ');
  return " " + line + "\n";
}

}  // namespace mornax::testing
