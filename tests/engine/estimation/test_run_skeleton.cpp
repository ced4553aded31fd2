// The pieces every interpolation run shares: reading the data points, the
// merging of coincident points, the level list and the error statistics.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "estimation/data_points.h"
#include "estimation/error_statistics.h"
#include "estimation/level_list.h"
#include "estimation/point_loops.h"
#include "io/free_reader.h"
#include "io/record_file.h"
#include "support/recorder_messages.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::RecorderMessages;
using testing::ScopedTempDir;

PointArrays MakePoints(std::size_t capacity) {
  PointArrays points;
  for (auto* array : {&points.x, &points.y, &points.value, &points.distance, &points.fifth}) {
    array->data.assign(capacity, 0.0);
  }
  return points;
}

class DataFile : public ::testing::Test {
 protected:
  bool Read(const std::string& text, std::size_t capacity, DataReadOptions options = {}) {
    dir.Write("SITE.dfl", text);
    points = MakePoints(capacity);
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

TEST_F(DataFile, ReadsPointsAndTheirRange) {
  ASSERT_TRUE(Read("Title\n4\n1 2 5.5\n3,4,-2 7\n5 6\n 9.25\n7 8 3\n", 10));
  EXPECT_EQ(data.count, 4);
  EXPECT_EQ(std::vector<double>(data.z.begin(), data.z.begin() + 4),
            (std::vector<double>{5.5, -2, 9.25, 3}));
  EXPECT_EQ(data.x[1], 3);
  EXPECT_EQ(data.y[2], 6);
  EXPECT_EQ(data.zmin, -2);
  EXPECT_EQ(data.zmax, 9.25);
  EXPECT_TRUE(data.guess.empty());
}

TEST_F(DataFile, GuessesAndLogarithms) {
  ASSERT_TRUE(Read("T\n2\n0 0 1 4\n1 1 2.718281828459045 5\n", 2,
                   DataReadOptions{.readGuess = true, .logValues = true}));
  EXPECT_EQ(data.guess[0], 4);
  EXPECT_EQ(data.guess[1], 5);
  EXPECT_EQ(data.z[0], 0);
  EXPECT_NEAR(data.z[1], 1, 1e-15);
  EXPECT_EQ(data.zmin, 0);  // the range of the logarithms
}

TEST_F(DataFile, FailuresAreShownAndRefused) {
  struct Case {
    const char* text;
    std::size_t capacity;
    const char* message;
    bool guess = false;  // the lines carry a guess
  };
  for (const Case& c : {
           Case{"T\n3\n0 0 1\n1 1 2\n2 2 3\n", 2, " Maximum of        2 points exceeded "},
           // A read error names the line and the item the read wanted.
           Case{"T\n3\n0 0 1\n1 1 2\n", 3,
                "End of File reached in input file : SITE.dfl, after line 4: x expected"},
           Case{"T\n3\n0 0 1\n1 1 2\n5 6\n", 3,
                "End of File reached in input file : SITE.dfl, after line 5: value expected"},
           Case{"T\n2\n0 0 1\n1 a 2\n", 3,
                "Data format error in input file : SITE.dfl, line 4: y expected"},
           Case{"T\n2\n0 0 1\n1 2\nz\n", 3,
                "Data format error in input file : SITE.dfl, line 5: value expected"},
           Case{"T\n2\n0 0 1 x\n1 1 2 4\n", 3,
                "Data format error in input file : SITE.dfl, line 3: guess expected", true},
           Case{"T\n-2\n0 0 1\n", 3,
                "Data format error in input file : SITE.dfl, line 2: count expected"},
           Case{"T\n\nfour\n", 3,
                "Data format error in input file : SITE.dfl, line 3: count expected"},
           Case{"T\n0\n", 3, "No Data Points in input file : SITE.dfl"},
           Case{"", 3,
                "End of File reached in input file : SITE.dfl, the file is empty: title expected"},
       }) {
    messages.boxes.clear();
    EXPECT_FALSE(Read(c.text, c.capacity, DataReadOptions{.readGuess = c.guess})) << c.text;
    EXPECT_EQ(messages.boxes, std::vector<std::string>{c.message}) << c.text;
  }
}

// Merging as a pairwise scan that removes as it goes.
struct Merged {
  std::vector<double> x, y, z, g;
  std::vector<std::string> messages;
};
Merged MergeByScan(Merged m) {
  for (std::size_t i = 0; i < m.x.size(); ++i) {
    std::size_t j = i + 1;
    while (j < m.x.size()) {
      if (m.x[j] == m.x[i] && m.y[j] == m.y[i]) {
        char text[64];
        std::snprintf(text, sizeof text, "  Duplicate points : %4zu,%4zu", i + 1, j + 1);
        m.messages.push_back(text);
        m.z[i] = (m.z[i] + m.z[j]) * 0.5;
        for (auto* v : {&m.x, &m.y, &m.z, &m.g}) v->erase(v->begin() + static_cast<long>(j));
      } else {
        ++j;
      }
    }
  }
  return m;
}

TEST(MergeCoincidentPoints, ThreePointsCollapseIntoTheFirst) {
  RecorderMessages messages;
  RunEnv env(messages, "SITE", 4);
  std::vector<double> x{1, 5, 1, 1, 2}, y{1, 5, 1, 1, 2}, z{2, 7, 4, 8, 9}, g{1, 2, 3, 4, 5};
  DataSet data;
  data.x = x;
  data.y = y;
  data.z = z;
  data.guess = g;
  data.count = 5;
  data.zmin = 2;
  data.zmax = 9;
  MergeCoincidentPoints(env, data);
  EXPECT_EQ(data.count, 3);
  EXPECT_EQ(messages.boxes, (std::vector<std::string>{"  Duplicate points :    1,   3",
                                                      "  Duplicate points :    1,   3"}));
  EXPECT_EQ(z[0], ((2.0 + 4.0) / 2 + 8.0) / 2);
  EXPECT_EQ((std::vector<double>{x[1], x[2]}), (std::vector<double>{5, 2}));
  EXPECT_EQ((std::vector<double>{g[0], g[1], g[2]}), (std::vector<double>{1, 2, 5}));
  EXPECT_EQ(data.zmin, 2);
  EXPECT_EQ(data.zmax, 9);
}

TEST(MergeCoincidentPoints, AgreesWithThePairwiseScan) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> coordinate(0, 3);
  for (int trial = 0; trial < 200; ++trial) {
    Merged start;
    const int n = 1 + trial % 30;
    for (int i = 0; i < n; ++i) {
      start.x.push_back(coordinate(random));
      start.y.push_back(coordinate(random) * 0.5);
      start.z.push_back(static_cast<double>(random() % 100));
      start.g.push_back(i);
    }
    const Merged expected = MergeByScan(start);

    RecorderMessages messages;
    RunEnv env(messages, "SITE", 4);
    Merged actual = start;
    DataSet data;
    data.x = actual.x;
    data.y = actual.y;
    data.z = actual.z;
    data.guess = actual.g;
    data.count = n;
    MergeCoincidentPoints(env, data);
    const auto kept = static_cast<std::size_t>(data.count);
    ASSERT_EQ(kept, expected.x.size()) << trial;
    for (auto* v : {&actual.x, &actual.y, &actual.z, &actual.g}) v->resize(kept);
    EXPECT_EQ(actual.x, expected.x) << trial;
    EXPECT_EQ(actual.y, expected.y) << trial;
    EXPECT_EQ(actual.z, expected.z) << trial;
    EXPECT_EQ(actual.g, expected.g) << trial;
    EXPECT_EQ(messages.boxes, expected.messages) << trial;
  }
}

TEST(LevelList, StepStartAndCount) {
  struct Case {
    double zmin, zmax;
    std::int64_t start, step, count;
  };
  for (const Case& c :
       {Case{0.5, 4.5, 0, 1, 6}, Case{12, 95, 10, 10, 10}, Case{-7.5, 1.0, -6, 2, 6},
        Case{3, 43, 0, 5, 10}, Case{3, 13, 2, 2, 7}, Case{-0.4, -0.2, 0, 1, 2}}) {
    const LevelList levels = MakeLevelList(c.zmin, c.zmax);
    EXPECT_EQ(levels.start, c.start) << c.zmin << " " << c.zmax;
    EXPECT_EQ(levels.step, c.step) << c.zmin << " " << c.zmax;
    EXPECT_EQ(levels.count, c.count) << c.zmin << " " << c.zmax;
  }
  EXPECT_EQ(MakeLevelList(-INFINITY, 3).count, 0);
}

TEST(LevelList, WrittenCountThenOneLevelPerLine) {
  ScopedTempDir dir;
  io::RecordFile lev;
  ASSERT_TRUE(lev.Create(dir.path() / "SITE.lev"));
  WriteLevelList(lev, -7.5, 1.0);
  ASSERT_TRUE(lev.Commit());
  EXPECT_EQ(dir.Read("SITE.lev"),
            "    6 ;\n      -6\n      -4\n      -2\n       0\n       2\n       4\n");
}

TEST(ErrorStatistics, SumsAndTheGreatestErrorTieRule) {
  ErrorStatistics s;
  s.Add({2.0});
  s.Add({-1.0});
  s.Add({-2.0});  // as large as 2: the later one wins
  s.Add({1.0});
  EXPECT_EQ(s.GreatestError(), -2.0);
  EXPECT_EQ(s.AverageError(), 0.0);
  EXPECT_EQ(s.RootMeanSquareError(), std::sqrt(2.5));
  EXPECT_EQ(s.MeanAbsoluteError(), 1.5);

  ErrorStatistics t;
  t.Add({-3.0, 2.0});
  t.Add({3.0, 0.5});
  EXPECT_EQ(t.GreatestError(), 3.0);
  // (e / s)^2: 2.25 and 36.
  EXPECT_EQ(t.StandardError(), std::sqrt((2.25 + 36.0) / 2));
}

TEST(ErrorStatistics, KrigingBlockAndProgressLine) {
  ScopedTempDir dir;
  RecorderMessages messages;
  RunEnv env(messages, "SITE", 4);
  io::RecordFile lst;
  ASSERT_TRUE(lst.Create(dir.path() / "SITE.lst"));
  ErrorStatistics s;
  s.Add({1.5, 0.5});
  s.Add({-0.5, 0.5});
  s.Report(env, lst, KrigingStatistics());
  ASSERT_TRUE(lst.Commit());
  // Average 0.5, standard sqrt((9 + 1) / 2), RMS sqrt(1.25), greatest 1.5.
  EXPECT_EQ(dir.Read("SITE.lst"),
            "\n"
            "           Average Error =  5.000E-01\n"
            "           Standard Error =  2.236E+00\n"
            "           Root Mean Square Error = 1.118E+00\n"
            "           Greatest Error =  1.500E+00\n"
            "           Mean Absolute Error = 1.000E+00\n");
  ASSERT_EQ(messages.lines.size(), 1u);
  EXPECT_EQ(messages.lines[0].mode, 2);
  EXPECT_EQ(messages.lines[0].text, "  Root Mean Square Error (RMSE):  1.118E+00");
}

// Point counters keep their four columns and widen beyond them.
TEST(PointCounter, NeverPrintsAsterisks) {
  EXPECT_EQ(CounterLine("Estimate point ", 25), " Estimate point   25");
  EXPECT_EQ(CounterLine("Estimate point ", 9999), " Estimate point 9999");
  EXPECT_EQ(CounterLine("Estimate point ", 10000), " Estimate point 10000");
  EXPECT_EQ(CounterLine(" Error Analysis - point:", 12345678), "  Error Analysis - point:12345678");
}

}  // namespace
}  // namespace mornax
