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
// Shell words that wait (10 s at most) until out.txt shows a semivariogram
// computing its pairs, then a moment more: a signal sent next reaches the run
// inside its pair loop, however slow the machine.
inline constexpr char kWhenComputing[] =
    "i=0; until grep -q 'Computing Semi-variogram' out.txt 2>/dev/null || [ $i -ge 200 ]; "
    "do sleep 0.05; i=$((i+1)); done; sleep 0.2; ";

BatchResult RunBatch(const ScopedTempDir& dir, const std::string& args,
                     const std::string& env = "");

}  // namespace mornax::testing
