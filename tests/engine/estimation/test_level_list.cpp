// The level list of wide value ranges: the step grows through 20, 50, 100,
// ... just far enough to keep the list at 1000 levels or fewer, the start and
// the count keep their rule, and narrow ranges keep their steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "estimation/level_list.h"
#include "io/record_file.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

// The steps 1, 2, 5, 10, 20, 50, ... up to 5e15, in order.
std::vector<std::int64_t> Series() {
  std::vector<std::int64_t> steps;
  for (std::int64_t decade = 1; decade <= 1'000'000'000'000'000; decade *= 10) {
    for (std::int64_t m : {1, 2, 5}) steps.push_back(m * decade);
  }
  return steps;
}

std::int64_t LevelCount(double range, std::int64_t step) {
  return static_cast<std::int64_t>(std::trunc(range / static_cast<double>(step))) + 2;
}

TEST(LevelList, WideRangesTakeTheSmallestStepThatKeepsAThousandLevels) {
  const std::vector<std::int64_t> series = Series();
  for (const double zmin : {0.0, 123.4, -5678.9, 2.5e6, -3.0e8}) {
    for (const double range :
         {41.0, 5000.0, 9989.9, 9990.0, 1.0e4, 3.7e4, 1.0e5, 1.0e7, 2.345e9, 1.0e11, 1.0e12}) {
      const double zmax = zmin + range;
      SCOPED_TRACE(std::to_string(zmin) + " .. " + std::to_string(zmax));
      const LevelList levels = MakeLevelList(zmin, zmax);
      ASSERT_LE(levels.count, 1000);
      ASSERT_GE(levels.count, 2);
      // A step of the series, no smaller than the 10 of a range above 40,
      // and the one before it (if it is 10 or more) gives too many levels.
      const auto at = std::find(series.begin(), series.end(), levels.step);
      ASSERT_NE(at, series.end()) << levels.step;
      EXPECT_GE(levels.step, 10);
      if (levels.step > 10) {
        EXPECT_GT(LevelCount(range, *(at - 1)), 1000);
      }
      // Start and count as for any step.
      EXPECT_EQ(levels.start,
                static_cast<std::int64_t>(std::trunc(zmin / levels.step)) * levels.step);
      EXPECT_EQ(levels.count, LevelCount(range, levels.step));
      // The levels reach over the range to within one step at either end.
      const auto last = static_cast<double>(levels.start + (levels.count - 1) * levels.step);
      EXPECT_LT(std::fabs(static_cast<double>(levels.start) - zmin), levels.step);
      EXPECT_GT(last, zmax - levels.step);
      EXPECT_GE(last - static_cast<double>(levels.start), range);
    }
  }
  // Worked by hand: 0 .. 1e7 needs a step of at least 10 020, so 20 000 and
  // 502 levels; 9 990 is one level too many for the step 10.
  const LevelList wide = MakeLevelList(0, 1.0e7);
  EXPECT_EQ(wide.step, 20000);
  EXPECT_EQ(wide.count, 502);
  EXPECT_EQ(MakeLevelList(3, 9992.9).step, 10);
  EXPECT_EQ(MakeLevelList(3, 9992.9).count, 1000);
  EXPECT_EQ(MakeLevelList(3, 9993).step, 20);
  EXPECT_EQ(MakeLevelList(3, 9993).count, 501);
  const LevelList negative = MakeLevelList(-7.5e5, 2.5e5);
  EXPECT_EQ(negative.start, -750000);
  EXPECT_EQ(negative.step, 2000);
  EXPECT_EQ(MakeLevelList(0, 1.0e12).step, 2'000'000'000);
}

TEST(LevelList, NarrowRangesKeepTheirSteps) {
  for (double range = 0; range < 9990; range += 0.37) {
    const std::int64_t step = range <= 5 ? 1 : range <= 10 ? 2 : range <= 40 ? 5 : 10;
    const double zmax = -12.25 + range;
    const LevelList levels = MakeLevelList(-12.25, zmax);
    ASSERT_EQ(levels.step, step) << range;
    ASSERT_EQ(levels.count, LevelCount(zmax + 12.25, step)) << range;
  }
}

TEST(LevelList, RangesBeyondTheIntegersGiveNoLevels) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(MakeLevelList(0, kInf).count, 0);
  EXPECT_EQ(MakeLevelList(-kInf, 0).count, 0);
  EXPECT_EQ(MakeLevelList(std::nan(""), 1).count, 0);
  EXPECT_EQ(MakeLevelList(-1.0e300, 1.0e300).count, 0);
  // Levels past 1e18 would overflow the integers they are written from.
  EXPECT_EQ(MakeLevelList(1.0e19, 1.0e19 + 1.0e12).count, 0);
  // Still within them: 1e17 .. 1e17 + 1e12 in steps of 2e9.
  EXPECT_EQ(MakeLevelList(1.0e17, 1.0e17 + 1.0e12).count, 502);
}

TEST(LevelList, WideRangeWritesAThousandLinesAtMost) {
  testing::ScopedTempDir dir;
  io::RecordFile lev;
  ASSERT_TRUE(lev.Create(dir.path() / "SITE.lev"));
  WriteLevelList(lev, 0, 1.0e7);
  lev.Close();
  ASSERT_TRUE(lev.Commit());
  const std::string text = dir.Read("SITE.lev");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 503);
  EXPECT_EQ(text.substr(0, 34), "  502 ;\n       0\n   20000\n   40000");
  EXPECT_EQ(text.substr(text.size() - 18), "10000000\n10020000\n");
}

}  // namespace
}  // namespace mornax
