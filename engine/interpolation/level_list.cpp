#include "interpolation/level_list.h"

#include <cmath>

#include "io/fortran_format.h"

namespace mornax {
namespace {

// Quotients beyond this are not whole numbers a level can be written from.
constexpr double kLargestQuotient = 1.0e15;

}  // namespace

LevelList MakeLevelList(double zmin, double zmax) {
  const double range = zmax - zmin;
  int step = 10;
  if (range <= 40.0) step = 5;
  if (range <= 10.0) step = 2;
  if (range <= 5.0) step = 1;

  const double first = std::trunc(zmin / step);
  const double spans = std::trunc(range / step);
  if (!std::isfinite(first) || !std::isfinite(spans) || std::fabs(first) > kLargestQuotient ||
      std::fabs(spans) > kLargestQuotient) {
    return LevelList{0, step, 0};
  }
  return LevelList{static_cast<std::int64_t>(first) * step, step,
                   static_cast<std::int64_t>(spans) + 2};
}

void WriteLevelList(io::RecordFile& lev, double zmin, double zmax) {
  static const io::FortranFormat kCount("(I5,A)");
  static const io::FortranFormat kLevel("(I8)");
  const LevelList levels = MakeLevelList(zmin, zmax);
  lev.Write(kCount, levels.count, " ;");
  for (std::int64_t k = 0; k < levels.count; ++k) {
    lev.Write(kLevel, levels.start + k * levels.step);
  }
}

}  // namespace mornax
