// Header pre-read of the data file: the run title and the point count.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/run_env.h"

namespace mornax {

// Reads line 1 of BASE.DFL into `title` and the point count from the next
// record, then replaces the title by the method's prefix (method 0 semivariogram,
// 1 weighting, 2 kriging, 3 Bayes) and the first 50 characters of the line,
// blank padded to 72. `pointCount` keeps what a failed read left in it. A
// failed read is reported with the input-file message naming BASE.dfl, the
// line and the item expected; a file that cannot be opened is left to the
// computation routine to report.
void read_title(const RunEnv& env, int method, std::string& title, std::int32_t& pointCount);

// Replaces every control character (NUL, tab, escape and the like) by a blank,
// so that a title never carries them into a result file.
void BlankControlCharacters(std::string& text);

// The title as a result file's title line carries it: its first 72
// characters, blank padded to 72.
std::string PaddedTitle(std::string_view title);

}  // namespace mornax
