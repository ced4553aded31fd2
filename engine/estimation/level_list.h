// The contour level list at the head of the .lev file.
#pragma once

#include <cstdint>

#include "io/record_file.h"

namespace mornax {

struct LevelList {
  std::int64_t start = 0;
  std::int64_t step = 0;
  std::int64_t count = 0;  // levels start, start + step, ...
};

// Levels over [zmin, zmax]: the step is 10, 5, 2 or 1 for ranges above 40,
// up to 40, up to 10, up to 5, and grows on through 20, 50, 100, 200, 500,
// 1000, ... while that would give more than 1000 levels; the start is
// zmin / step cut toward zero times the step; there are range / step (cut)
// + 2 levels. A range that is not finite, or levels beyond the integers,
// give no levels.
LevelList MakeLevelList(double zmin, double zmax);

// Writes the count with " ;", then one level per line.
void WriteLevelList(io::RecordFile& lev, double zmin, double zmax);

}  // namespace mornax
