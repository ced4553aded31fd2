#include "geo/levels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "support/temp_dir.h"

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

TEST(NiceLevels, RangesTooNarrowForTheirValuesEndTheSearch) {
  // Each of these once searched forever: the step underflowed, or the level
  // counter stopped moving past 2^53.
  for (const auto& [low, high] :
       std::vector<std::pair<double, double>>{{1e-310, 3e-310},
                                              {0, 1e-300},
                                              {1e17, 1e17 + 64},
                                              {1, 1 + 4e-16},
                                              {-1e300, -1e300 * (1 - 1e-15)}}) {
    const std::vector<double> levels = NiceLevels(low, high);
    EXPECT_TRUE(levels.empty()) << low << " " << high << ": " << levels.size();
  }
  // Narrow but still countable: distinct levels.
  const std::vector<double> fine = NiceLevels(1e15, 1e15 + 3);
  ASSERT_GE(fine.size(), 10u);
  EXPECT_LT(fine[0], fine[1]);
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

namespace mornax::geo {
namespace {

TEST(ResolveLevels, OneRuleForTheLevelListOfEachRun) {
  testing::ScopedTempDir dir;
  dir.Write("P.lev", "    3 ;\n       2\n       3\n       4\n");
  struct Case {
    const char* choice;
    bool given, estimate, logarithms;
    double low, high;
    const char* result;  // levels "a..b (n)", or the words of the note / error
  };
  const Case cases[] = {
      {"lev", false, true, false, 1.5, 4.5, "2..4 (3)"},
      // Other layers default to round levels.
      {"lev", false, false, false, 10, 20, "10..20 (11)"},
      // The run took logarithms: the list is of ln z.
      {"lev", false, true, true, 7, 55, "note: are natural logarithms"},
      {"lev", true, true, true, 7, 55, "error: use round levels (auto)"},
      {"lev", true, false, false, 10, 20, "error: none of the 3 levels of P.lev"},
      {"auto", true, true, false, 5, 5, "error: flat (5 everywhere)"},
      {"auto", true, true, false, 1, 1 + 4e-16, "error: too narrow"},
      {"7,8", true, true, false, 1, 2, "error: none of the levels given"},
  };
  for (const Case& c : cases) {
    LevelChoice choice;
    std::string note, error;
    ASSERT_TRUE(ParseLevelChoice(c.choice, choice, error));
    LevelContext context{dir.path() / "P.lev", "estimate", c.estimate, c.logarithms, c.given};
    std::vector<double> levels;
    const bool resolved = ResolveLevels(choice, context, c.low, c.high, levels, note, error);
    const std::string expected = c.result;
    const std::string where = std::string(c.choice) + " " + std::to_string(c.low);
    if (expected.starts_with("error: ")) {
      EXPECT_FALSE(resolved) << where;
      EXPECT_NE(error.find(expected.substr(7)), std::string::npos) << where << ": " << error;
    } else if (expected.starts_with("note: ")) {
      EXPECT_TRUE(resolved) << where << ": " << error;
      EXPECT_NE(note.find(expected.substr(6)), std::string::npos) << where << ": " << note;
      EXPECT_EQ(levels, NiceLevels(c.low, c.high)) << where;
    } else {
      ASSERT_TRUE(resolved) << where << ": " << error;
      char text[64];
      std::snprintf(text, sizeof text, "%g..%g (%zu)", levels.front(), levels.back(),
                    levels.size());
      EXPECT_EQ(text, expected) << where;
    }
  }
}

}  // namespace
}  // namespace mornax::geo
