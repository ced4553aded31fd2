// The data-set reader's options for the semivariogram and the estimators
// (subtracting a fourth number, logarithms, the wording of a negative count),
// and a merge that reports through the caller.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "estimation/data_points.h"
#include "io/free_reader.h"
#include "support/recorder_messages.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::RecorderMessages;
using testing::ScopedTempDir;

class DataSetReader : public ::testing::Test {
 protected:
  bool Read(const std::string& text, const DataReadOptions& options) {
    dir.Write("SITE.dfl", text);
    for (auto* array : {&points.x, &points.y, &points.value, &points.fifth}) {
      array->data.assign(4, -1.0);
    }
    io::FreeFormReader reader;
    reader.Open(dir.path() / "SITE.dfl");
    return ReadDataPoints(env, reader, points, options, data);
  }
  ScopedTempDir dir;
  RecorderMessages messages;
  RunEnv env{messages, "SITE", 4, {}, nullptr, dir.path()};
  PointArrays points;
  DataSet data;
};

TEST_F(DataSetReader, SubtractKeepsTheAbsoluteDifferenceAndNotTheFourthNumber) {
  ASSERT_TRUE(Read("T\n3\n0 0 5 7\n1 1 7 5\n2 2 -1.5 1\n", DataReadOptions{.subtract = true}));
  EXPECT_EQ(std::vector<double>(data.z.begin(), data.z.begin() + 3),
            (std::vector<double>{2, 2, 2.5}));
  EXPECT_TRUE(data.guess.empty());
  EXPECT_EQ(points.fifth[0], -1.0);  // the fifth array is not touched
  EXPECT_EQ(data.zmin, 2);
  EXPECT_EQ(data.zmax, 2.5);

  // A missing fourth number is named for what it is.
  EXPECT_FALSE(Read("T\n1\n0 0 5 x\n", DataReadOptions{.subtract = true}));
  EXPECT_EQ(messages.boxes.back(),
            "Data format error in input file : SITE.dfl, line 3: value to subtract expected");
}

TEST_F(DataSetReader, LogarithmsMarkTheFirstValueThatHasNone) {
  ASSERT_TRUE(Read("T\n4\n0 0 1\n1 1 -2\n2 2 0\n3 3 4\n", DataReadOptions{.logValues = true}));
  EXPECT_EQ(data.firstWithoutLogarithm, 2);
  EXPECT_EQ(data.z[0], 0.0);
  EXPECT_TRUE(std::isnan(data.z[1]));
  EXPECT_EQ(data.z[2], -HUGE_VAL);
  ASSERT_TRUE(Read("T\n2\n0 0 1\n1 1 2\n", DataReadOptions{.logValues = true}));
  EXPECT_EQ(data.firstWithoutLogarithm, 0);
  // Logarithms of the difference when both options are set.
  ASSERT_TRUE(Read("T\n1\n0 0 3 3\n", DataReadOptions{.logValues = true, .subtract = true}));
  EXPECT_EQ(data.firstWithoutLogarithm, 1);
}

TEST_F(DataSetReader, ANegativeCountIsMalformedOrEmptyAsTheTaskWordsIt) {
  EXPECT_FALSE(Read("T\n-2\n0 0 1\n", DataReadOptions{}));
  EXPECT_FALSE(Read("T\n-2\n0 0 1\n", DataReadOptions{.negativeCountIsEmpty = true}));
  EXPECT_EQ(messages.boxes,
            (std::vector<std::string>{
                "Data format error in input file : SITE.dfl, line 2: count expected",
                "No Data Points in input file : SITE.dfl"}));
}

TEST(LogarithmCheck, FirstPlaceWithoutALogarithm) {
  EXPECT_EQ(FirstWithoutLogarithm(std::vector<double>{}), 0);
  EXPECT_EQ(FirstWithoutLogarithm(std::vector<double>{1e-300, 2, 3}), 0);
  EXPECT_EQ(FirstWithoutLogarithm(std::vector<double>{1, 2, 0, -1}), 3);
  EXPECT_EQ(FirstWithoutLogarithm(std::vector<double>{NAN, 1}), 1);
  std::vector<double> values{1, std::exp(2.0)};
  TakeLogarithms(values);
  EXPECT_EQ(values, (std::vector<double>{0, std::log(std::exp(2.0))}));
}

TEST(MergeCoincidentPoints, ReportsThroughTheCallerWithPlacesAsTheyStand) {
  std::vector<double> x{3, 1, 3, 1, 3}, y{0, 0, 0, 0, 0}, z{1, 2, 3, 4, 5};
  DataSet data;
  data.x = x;
  data.y = y;
  data.z = z;
  data.count = 5;
  std::vector<std::pair<int, int>> pairs;
  MergeCoincidentPoints(data,
                        [&pairs](int kept, int removed) { pairs.emplace_back(kept, removed); });
  // (1,3) removes the third point, so the fourth is then the third, the
  // fifth the fourth.
  EXPECT_EQ(pairs, (std::vector<std::pair<int, int>>{{1, 3}, {1, 4}, {2, 3}}));
  EXPECT_EQ(data.count, 2);
  EXPECT_EQ(z[0], ((1.0 + 3.0) / 2 + 5.0) / 2);
  EXPECT_EQ(z[1], (2.0 + 4.0) / 2);
}

}  // namespace
}  // namespace mornax
