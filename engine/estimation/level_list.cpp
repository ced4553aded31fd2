#include "estimation/level_list.h"

#include <cmath>

#include "io/fortran_format.h"

namespace mornax {
namespace {

// A level list longer than this would be no use for contouring and, for
// values spread over millions, would write millions of lines before the first
// estimate.
constexpr std::int64_t kMostLevels = 1000;
// Quotients beyond this are not whole numbers a level can be written from;
// the step grows no further than this either.
constexpr double kLargestQuotient = 1.0e15;
// Levels beyond this would not fit the 64-bit integers they are written from.
constexpr double kLargestLevel = 1.0e18;

// The step after `step` in 1, 2, 5, 10, 20, 50, 100, ...
std::int64_t NextStep(std::int64_t step) {
  std::int64_t decade = 1;
  while (decade * 10 <= step) decade *= 10;
  return step / decade == 2 ? decade * 5 : step * 2;
}

}  // namespace

LevelList MakeLevelList(double zmin, double zmax) {
  const double range = zmax - zmin;
  std::int64_t step = 10;
  if (range <= 40.0) step = 5;
  if (range <= 10.0) step = 2;
  if (range <= 5.0) step = 1;
  while (std::trunc(range / static_cast<double>(step)) + 2 > kMostLevels &&
         static_cast<double>(step) < kLargestQuotient) {
    step = NextStep(step);
  }

  const auto size = static_cast<double>(step);
  const double first = std::trunc(zmin / size);
  const double spans = std::trunc(range / size);
  if (!std::isfinite(first) || !std::isfinite(spans) || std::fabs(first) > kLargestQuotient ||
      std::fabs(spans) > kLargestQuotient || spans + 2 > kMostLevels ||
      (std::fabs(first) + spans + 2) * size > kLargestLevel) {
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
