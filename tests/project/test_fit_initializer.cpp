// Initial guesses and bounds that the fit dialog's "Initialize" proposes from
// the .fit file. Expected values are float32 results worked out by hand
// (products rounded to the nearest float).
#include "project/fit_initializer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "project/project.h"
#include "support/temp_dir.h"

namespace mornax::project {
namespace {

// Five classes, two of them empty: distances 100, 200, 400 and
// semivariances 10, 30, 50 remain.
constexpr char kFitWithEmptyClasses[] =
    "  Semi-Variogram: test data                                             \n"
    "    5\n"
    "         0.0000         0.0000\n"
    "       100.0000        10.0000\n"
    "       200.0000        30.0000\n"
    "         0.0000         0.0000\n"
    "       400.0000        50.0000\n";

struct Expected {
  float initial[3], minimum[3], maximum[3];
};

class FitInitializerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    project::SetDefaults(records);
    folder.Write("T.fit", kFitWithEmptyClasses);
  }

  FitInitStatus Run(int model, const char* file = "T.fit") {
    records.fvar.model = model;
    return InitializeFitGuesses((folder.path() / file).string(), records.svar, records.fvar,
                                classes);
  }

  void ExpectGuesses(const Expected& e) {
    for (int j = 0; j < 3; ++j) {
      EXPECT_EQ(records.fvar.initial[j], e.initial[j]) << "B" << j + 1;
      EXPECT_EQ(records.fvar.minimum[j], e.minimum[j]) << "B" << j + 1;
      EXPECT_EQ(records.fvar.maximum[j], e.maximum[j]) << "B" << j + 1;
    }
  }

  testing::ScopedTempDir folder;
  project::Records records;
  FitClasses classes;
};

TEST_F(FitInitializerTest, EmptyClassesAreDroppedAndCountTheLags) {
  ASSERT_EQ(Run(2), FitInitStatus::kOk);
  EXPECT_EQ(records.svar.lagCount, 3);
  // The fit's lag table must hold all five classes of the file.
  EXPECT_EQ(records.fvar.fitPointCount, 5);
  EXPECT_EQ(classes.distance, (std::vector<float>{100.0f, 200.0f, 400.0f}));
  EXPECT_EQ(classes.semivariance, (std::vector<float>{10.0f, 30.0f, 50.0f}));
}

TEST_F(FitInitializerTest, PolynomialSlopePowerAndBounds) {
  ASSERT_EQ(Run(1), FitInitStatus::kOk);
  // slope (50 - 10) / (400 - 100); the power bounds are fixed below 2
  ExpectGuesses({{0.13333334f, 1.0f, 10.0f},
                 {0.0013333333190530539f, 0.5f, 0.0f},
                 {1.3333334f, 1.9999f, 100.0f}});
}

TEST_F(FitInitializerTest, SphericalTakesTheLargestValuesAndTheSmallestSemivariance) {
  ASSERT_EQ(Run(2), FitInitStatus::kOk);
  // 0.01 in single precision times 50 and 400 rounds to 0.5 and 4
  ExpectGuesses({{50.0f, 400.0f, 10.0f}, {0.5f, 4.0f, 0.0f}, {500.0f, 4000.0f, 100.0f}});
}

TEST_F(FitInitializerTest, KRhoDependsOnTheSmallestSemivarianceOnly) {
  ASSERT_EQ(Run(6), FitInitStatus::kOk);
  ExpectGuesses({{10.0f, 20.0f, 0.95f},
                 {0.09999999403953552f, 0.19999998807907104f, 0.0f},
                 {100.0f, 200.0f, 9.5f}});
  folder.Write("T.fit", "t\n 2\n 1.0 10.0\n 9000.0 10.0\n");
  ASSERT_EQ(Run(6), FitInitStatus::kOk);
  EXPECT_EQ(records.fvar.initial[0], 10.0f);
  EXPECT_EQ(records.fvar.initial[1], 20.0f);
}

TEST_F(FitInitializerTest, OneClassGivesAFiniteSlope) {
  folder.Write("T.fit", "t\n 1\n 250.0 12.0\n");
  ASSERT_EQ(Run(1), FitInitStatus::kOk);
  EXPECT_EQ(records.fvar.initial[0], 0.048f);  // the line through the origin
  EXPECT_EQ(records.fvar.maximum[0], 0.48000001907348633f);
}

TEST_F(FitInitializerTest, FailuresLeaveTheRecordsAsTheyWere) {
  records.fvar.initial[0] = 7.0f;
  const project::Records before = records;
  EXPECT_EQ(Run(2, "NONE.fit"), FitInitStatus::kNotFound);
  folder.Write("T.fit", "title\n five\n");
  EXPECT_EQ(Run(2), FitInitStatus::kBadFile);
  folder.Write("T.fit", "title\n 4\n 100 10\n 200 20\n");  // two pairs missing
  EXPECT_EQ(Run(2), FitInitStatus::kBadFile);
  folder.Write("T.fit", "title\n 2\n 100 10\n 200 ****\n");
  EXPECT_EQ(Run(2), FitInitStatus::kBadFile);
  EXPECT_EQ(std::memcmp(&before, &records, sizeof before), 0);

  folder.Write("T.fit", "title\n -3\n");
  EXPECT_EQ(Run(2), FitInitStatus::kNoMemory);
  EXPECT_EQ(records.fvar.fitPointCount, -3);  // the count read stays
  EXPECT_EQ(records.fvar.initial[0], 7.0f);
  EXPECT_STREQ(FitInitMessage(FitInitStatus::kNoMemory), "Not Enough Memory for Arrays!");
}

TEST_F(FitInitializerTest, ALongTitleLineIsSkippedWhole) {
  folder.Write("T.fit", std::string(75, 'x') + " 99 99\n 1\n 10.0 2.0\n");
  ASSERT_EQ(Run(2), FitInitStatus::kOk);
  EXPECT_EQ(records.fvar.fitPointCount, 1);
  EXPECT_EQ(records.fvar.initial[0], 2.0f);
}

TEST_F(FitInitializerTest, OnlyEmptyClassesSetTheCountsAndKeepTheParameters) {
  folder.Write("T.fit", "t\n 1\n 0.0 0.0\n");
  records.fvar.initial[1] = 3.0f;
  ASSERT_EQ(Run(2), FitInitStatus::kOk);
  EXPECT_EQ(records.fvar.fitPointCount, 1);
  EXPECT_EQ(records.svar.lagCount, 0);
  EXPECT_EQ(records.fvar.initial[1], 3.0f);
}

}  // namespace
}  // namespace mornax::project
