// Header pre-read of the data file: the run title and the point count.
#pragma once

#include <cstdint>
#include <string>

#include "driver/run_env.h"

namespace mornax {

// Reads line 1 of BASE.DFL into `title` and the point count from the next
// record, then replaces the title by the method's prefix (method 0 semivariogram,
// 1 weighting, 2 kriging, 3 Bayes) and the first 50 characters of the line,
// blank padded to 72. A failed read is reported with the input-file message
// naming BASE.dfl; `pointCount` then keeps what the failed read left.
void read_title(const RunEnv& env, int method, std::string& title, std::int32_t& pointCount);

}  // namespace mornax
