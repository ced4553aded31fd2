#include "geo/levels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace mornax::geo {
namespace {

TEST(NiceLevels, RoundStepsAndTenToTwentyLines) {
  // The largest round step with at least ten levels.
  EXPECT_EQ(NiceLevels(58.3, 87.1),
            (std::vector<double>{60, 62.5, 65, 67.5, 70, 72.5, 75, 77.5, 80, 82.5, 85}));
  EXPECT_EQ(NiceLevels(0, 9), (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  const std::vector<double> small = NiceLevels(0.012, 0.049);
  ASSERT_FALSE(small.empty());
  EXPECT_EQ(small.front(), 0.0125);
  EXPECT_EQ(small[1], 0.015);  // the decimal number, not 0.015000000000000001
  EXPECT_EQ(small[4], 0.0225);
  for (const auto& [low, high] : std::vector<std::pair<double, double>>{
           {-1e6, 3e6}, {1e-9, 3.3e-9}, {-7.5, -7.4}, {1e15, 1e15 + 3}, {0, 1}, {-5, 5}}) {
    const std::vector<double> levels = NiceLevels(low, high);
    EXPECT_GE(levels.size(), 10u) << low << " " << high;
    EXPECT_LE(levels.size(), 22u) << low << " " << high;
    EXPECT_GE(levels.front(), low);
    EXPECT_LE(levels.back(), high);
    for (double level : levels) EXPECT_FALSE(std::signbit(level) && level == 0.0);
  }
  EXPECT_TRUE(NiceLevels(4, 4).empty());
  EXPECT_TRUE(NiceLevels(5, 4).empty());
  EXPECT_TRUE(NiceLevels(0, std::numeric_limits<double>::infinity()).empty());
  EXPECT_TRUE(NiceLevels(std::numeric_limits<double>::quiet_NaN(), 1).empty());
  EXPECT_TRUE(NiceLevels(-1e308, 1e308).empty());
}

TEST(LevelChoice, ParsesEachForm) {
  LevelChoice choice;
  std::string error;
  ASSERT_TRUE(ParseLevelChoice("lev", choice, error));
  EXPECT_EQ(choice.source, LevelSource::kLevFile);
  ASSERT_TRUE(ParseLevelChoice("auto", choice, error));
  EXPECT_EQ(choice.source, LevelSource::kAuto);
  ASSERT_TRUE(ParseLevelChoice("70,60.5,-1e2,60.5", choice, error));
  EXPECT_EQ(choice.source, LevelSource::kValues);
  EXPECT_EQ(choice.values, (std::vector<double>{-100, 60.5, 70}));
  for (const char* bad : {"", "70,", ",70", "70,,80", "seventy", "nan", "inf", "1e999", "7 0"}) {
    EXPECT_FALSE(ParseLevelChoice(bad, choice, error)) << bad;
    EXPECT_NE(error.find("--levels"), std::string::npos);
  }
}

}  // namespace
}  // namespace mornax::geo
