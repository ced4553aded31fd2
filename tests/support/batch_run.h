// The batch tool run as a program from a test, as a user's shell in the
// project's folder would run it.
#pragma once

#include <string>

#include "support/temp_dir.h"

namespace mornax::testing {

struct BatchResult {
  int status = -1;  // the exit status; -1 when the tool did not exit normally
  std::string out;
  std::string err;
};

// Runs mornax-batch in `dir` with `args` (already shell-safe) and no input,
// `env` (e.g. "env -u DISPLAY" or "MORNAX_THREADS=1") in front of it, and
// collects its exit status and both streams (the capture files are removed).
BatchResult RunBatch(const ScopedTempDir& dir, const std::string& args,
                     const std::string& env = "");

}  // namespace mornax::testing
