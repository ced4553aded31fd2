// The experimental semivariogram: sector and class rules of the pair loop, and
// whole runs from a data file to BASE.var and BASE.fit. Expected files were
// worked out by hand or by a separate program that applies the same rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "api/mornax.h"
#include "semivariogram/gama3.h"
#include "semivariogram/svar.h"
#include "support/recorder_messages.h"
#include "support/run_fixture.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::RecorderMessages;
using testing::ScopedTempDir;

constexpr const char* kTooFewPointsMessage =
    "No pair of points: fewer than 2 distinct data points (one point, or all points at one "
    "place)";
constexpr const char* kNoPairMessage =
    "No pair of points fell in any lag class (check direction, tolerance and lag)";

void Allocate(DoubleArray& array, std::size_t n) {
  array.data.assign(n, 0.0);
  array.allocated = true;
}

LagArrays MakeLags(std::size_t n) {
  LagArrays lags;
  Allocate(lags.lag1, n);
  Allocate(lags.lag2, n);
  Allocate(lags.lag3, n);
  return lags;
}

// Gama3 over the pairs of a few points with values 0.
struct SectorCase {
  std::vector<double> x, y, z;
  int nlags = 1;
  LagArrays lags = MakeLags(8);

  ValueStatistics Run(double lag, double direction, double tolerance) {
    if (z.empty()) z.assign(x.size(), 0.0);
    return Gama3(z, x, y, nlags, lag, direction, tolerance, lags);
  }
  double Count(int k) const { return lags.lag1[static_cast<std::size_t>(k - 1)]; }
};

// A pair from the origin to the point at `degrees` and distance `d`.
SectorCase PairAt(double degrees, double d, int nlags) {
  const double radians = degrees * std::acos(-1.0) / 180.0;
  SectorCase pair;
  pair.x = {0.0, d * std::cos(radians)};
  pair.y = {0.0, d * std::sin(radians)};
  pair.nlags = nlags;
  return pair;
}

TEST(Gama3Classes, UpperBoundBelongsToTheClassRaisedByTheSinglePrecisionOffset) {
  // Class k holds (k-1, k] lags, both bounds raised by 1.0133e-6 of a lag;
  // 1.000001007 lags would be class 2 with the offset 0.999999 in double.
  const struct {
    double d;
    int expectedClass;
  } cases[] = {{100.0, 1}, {100.0001007, 1}, {100.000103, 2}, {200.0, 2}, {200.0002, 3}};
  for (const auto& c : cases) {
    SectorCase pair = PairAt(0.0, c.d, 4);
    pair.Run(100.0, 0.0, 360.0);
    for (int k = 1; k <= 4; ++k) {
      EXPECT_EQ(pair.Count(k), k == c.expectedClass ? 1.0 : 0.0) << "d=" << c.d << " k=" << k;
    }
    EXPECT_EQ(pair.nlags, c.expectedClass);
  }
}

TEST(Gama3Classes, PairsBeyondTheLastClassOrBelowTheFirstAreLeftOut) {
  SectorCase far = PairAt(0.0, 300.0002, 3);  // class 4 of 3
  far.Run(100.0, 0.0, 360.0);
  EXPECT_EQ(far.Count(1) + far.Count(2) + far.Count(3), 0.0);
  EXPECT_EQ(far.nlags, 1);

  // Closer than about 1e-6 of a lag: class 0, which has no slot.
  SectorCase near = PairAt(0.0, 1e-5, 3);
  near.Run(100.0, 0.0, 360.0);
  EXPECT_EQ(near.Count(1), 0.0);
  EXPECT_EQ(near.nlags, 1);
}

TEST(Gama3Classes, MeansPerClassAndTheHighestClassReached) {
  SectorCase points;
  points.x = {0.0, 30.0, 250.0, 0.0};
  points.y = {0.0, 40.0, 0.0, 0.0};
  points.z = {1.0, 2.0, 3.0, 4.0};
  points.nlags = 5;
  // Points 1 and 4 coincide (the run merges such points before): their pair
  // falls into class 0 and is left out.
  const ValueStatistics stats = points.Run(100.0, 0.0, 360.0);
  EXPECT_DOUBLE_EQ(stats.average, 2.5);
  EXPECT_DOUBLE_EQ(stats.variance, 1.25);  // divisor n, not n - 1
  EXPECT_EQ(stats.pointsUsed, 4);
  EXPECT_EQ(points.nlags, 3);
  // Class 1: (1,2) d=50 dz=1 and (2,4) d=50 dz=2.
  EXPECT_EQ(points.Count(1), 2.0);
  EXPECT_DOUBLE_EQ(points.lags.lag3[0], 50.0);
  EXPECT_DOUBLE_EQ(points.lags.lag2[0], (0.5 + 2.0) / 2.0);
  // Class 2 is empty: mean distance and semivariance 0.
  EXPECT_EQ(points.Count(2), 0.0);
  EXPECT_EQ(points.lags.lag3[1], 0.0);
  // Class 3: (1,3) d=250 dz=2, (3,4) d=250 dz=1, (2,3) d=sqrt(220^2+40^2).
  EXPECT_EQ(points.Count(3), 3.0);
  EXPECT_DOUBLE_EQ(points.lags.lag3[2], (500.0 + std::sqrt(220.0 * 220.0 + 1600.0)) / 3.0);
  EXPECT_DOUBLE_EQ(points.lags.lag2[2], (2.0 + 0.5 + 0.5) / 3.0);
}

TEST(Gama3Sector, HalfAngleIsMeasuredWithPiTakenAs3145) {
  // Tolerance 90 around direction 0: the half angle 90 * 3.145 / 360 rad is
  // 45.0485 true degrees, either sense of the axis.
  const struct {
    double degrees;
    bool inside;
  } cases[] = {{0.0, true},     {45.03, true}, {45.07, false}, {90.0, false},  {134.97, true},
               {134.93, false}, {180.0, true}, {225.03, true}, {-45.03, true}, {-45.07, false}};
  for (const auto& c : cases) {
    SectorCase pair = PairAt(c.degrees, 50.0, 1);
    pair.Run(100.0, 0.0, 90.0);
    EXPECT_EQ(pair.Count(1), c.inside ? 1.0 : 0.0) << c.degrees << " degrees";
  }
}

TEST(Gama3Sector, Tolerance180TakesPerpendicularPairs) {
  // cos of the half angle with pi = 3.145 is slightly below zero.
  for (const double direction : {0.0, 90.0, 30.0}) {
    SectorCase pair = PairAt(direction + 90.0, 50.0, 1);
    pair.Run(100.0, direction, 180.0);
    EXPECT_EQ(pair.Count(1), 1.0) << direction;
  }
  SectorCase narrower = PairAt(90.0, 50.0, 1);
  narrower.Run(100.0, 0.0, 179.8);
  EXPECT_EQ(narrower.Count(1), 0.0);
}

TEST(Gama3Sector, DirectionIsMeasuredFromXTowardsY) {
  SectorCase along = PairAt(60.0, 50.0, 1);
  along.Run(100.0, 60.0, 10.0);
  EXPECT_EQ(along.Count(1), 1.0);
  SectorCase across = PairAt(-60.0, 50.0, 1);
  across.Run(100.0, 60.0, 10.0);
  EXPECT_EQ(across.Count(1), 0.0);
}

// A whole semivariogram run on SITE1.dfl in a fresh folder.
class SemivariogramRun : public testing::ProjectRun {
 protected:
  SemivariogramRun() : ProjectRun("SITE1") {}

  void Run(const std::string& dfl, std::size_t pointCapacity) {
    dir.Write("SITE1.dfl", dfl);
    Allocate(points.x, pointCapacity);
    Allocate(points.y, pointCapacity);
    Allocate(points.value, pointCapacity);
    lags = MakeLags(static_cast<std::size_t>(std::max(svar.lagCount, 0)) + 1);
    Svar(Env(), title, points, lags, svar);
  }
  static std::string Title(const std::string& text) {
    std::string title = " Semi-Variogram: " + text;
    title.resize(72, ' ');
    return title;
  }
  // The first line of both files: a blank and the title.
  static std::string TitleLine(const std::string& text) {
    std::string line(1, ' ');
    line.append(Title(text));
    line.push_back('\n');
    return line;
  }

  // The names in the project folder, sorted (temporaries would show here).
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  PointArrays points;
  LagArrays lags;
  SvarCopy svar{0, 0, 10, 50.0, 60.0, 30.0};
  std::string title;
};

const char kSite1[] =
    "Borehole levels, spring survey 1996 - a title line that is longer than fifty characters\n"
    "9\n"
    "   0.0    0.0  12.5\n"
    " 100.0    0.0  14.0\n"
    "  50.0   86.6  13.1\n"
    " 150.0   40.0  17.25\n"
    " 100.0    0.0  15.0\n"
    " 210.0  130.0  20.4\n"
    "  30.0  170.0  11.9\n"
    " 260.0   10.0  16.0\n"
    " 120.0  200.0  18.3\n";

TEST_F(SemivariogramRun, SectorRunWritesBothFilesWithTheReducedNumberOfLags) {
  title = Title("Borehole levels, spring survey 1996 - a title line");
  Run(kSite1, 9);
  const std::string titleLine =
      "  Semi-Variogram: Borehole levels, spring survey 1996 - a title line     \n";
  EXPECT_EQ(dir.Read("SITE1.var"), titleLine +
                                       "     AVERAGE =   15.49375\n"
                                       "     VARIANCE = 0.79853E+01\n"
                                       "     NUMBER OF DATA POINTS =     8\n"
                                       "\n"
                                       "     DIRECTION TOLERANCE =     60.0 degrees\n"
                                       "     STEP SIZE =     50.0 meters\n"
                                       "     DIRECTION =      30. degrees\n"
                                       "\n"
                                       "   LAG    #points     DISTANCE          1/2 VARIO\n"
                                       "     1       0            0.00             0.0000\n"
                                       "     2       4           89.72             6.6103\n"
                                       "     3       2          120.72             9.2406\n"
                                       "     4       4          162.91            14.1141\n"
                                       "     5       2          240.11            24.0125\n"
                                       "     6       1          260.19             6.1250\n");
  EXPECT_EQ(dir.Read("SITE1.fit"), titleLine +
                                       "     6\n"
                                       "         0.0000         0.0000\n"
                                       "        89.7243         6.6103\n"
                                       "       120.7158         9.2406\n"
                                       "       162.9074        14.1141\n"
                                       "       240.1099        24.0125\n"
                                       "       260.1922         6.1250\n");
  EXPECT_EQ(svar.lagCount, 6);
  ASSERT_EQ(messages.lines.size(), 4u);
  EXPECT_EQ(messages.lines[0].mode, 2);
  EXPECT_EQ(messages.lines[0].text, "");
  EXPECT_EQ(messages.lines[1].mode, 1);
  EXPECT_EQ(messages.lines[1].text, "Value     2 coincides value     5");
  EXPECT_EQ(messages.lines[2].mode, 1);
  EXPECT_EQ(messages.lines[2].text, " Computing Semi-variogram ");
  EXPECT_EQ(messages.lines[3].mode, 2);
  EXPECT_EQ(messages.lines[3].text, " Number of lags :     6");
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(SemivariogramRun, LogTransformOverAllDirections) {
  title = Title("Borehole levels, spring survey 1996 - a title line");
  svar = {0, 1, 3, 100.0, 360.0, 0.0};
  Run(kSite1, 12);
  EXPECT_EQ(dir.Read("SITE1.var"),
            "  Semi-Variogram: Borehole levels, spring survey 1996 - a title line     \n"
            "     AVERAGE =    2.72398\n"
            "     VARIANCE = 0.32761E-01\n"
            "     NUMBER OF DATA POINTS =     8\n"
            "\n"
            "     DIRECTION TOLERANCE =    360.0 degrees\n"
            "     STEP SIZE =    100.0 meters\n"
            "     DIRECTION =       0. degrees\n"
            "\n"
            "   LAG    #points     DISTANCE          1/2 VARIO\n"
            "     1       6           90.78             0.0216\n"
            "     2      15          149.47             0.0397\n"
            "     3       7          240.16             0.0461\n");
  EXPECT_EQ(svar.lagCount, 3);
}

TEST_F(SemivariogramRun, SubtractTakesAShortRecordsFourthNumberFromTheNextLine) {
  title = Title("Subtract test");
  svar = {1, 0, 3, 100.0, 360.0, 0.0};
  // Record 2 continues onto the next line for its fourth number (7); the
  // rest of that line is ignored and record 3 is read from the line after.
  Run("Subtract test\n3\n0 0 10 4\n100 0 20\n7 200 0 30 1\n300 0 5 2\n", 3);
  const std::string titleLine = TitleLine("Subtract test");
  EXPECT_EQ(dir.Read("SITE1.var"), titleLine +
                                       "     AVERAGE =    7.33333\n"
                                       "     VARIANCE = 0.17556E+02\n"
                                       "     NUMBER OF DATA POINTS =     3\n"
                                       "\n"
                                       "     DIRECTION TOLERANCE =    360.0 degrees\n"
                                       "     STEP SIZE =    100.0 meters\n"
                                       "     DIRECTION =       0. degrees\n"
                                       "\n"
                                       "   LAG    #points     DISTANCE          1/2 VARIO\n"
                                       "     1       1          100.00            24.5000\n"
                                       "     2       1          200.00            50.0000\n"
                                       "     3       1          300.00             4.5000\n");
  EXPECT_EQ(dir.Read("SITE1.fit"), titleLine +
                                       "     3\n"
                                       "       100.0000        24.5000\n"
                                       "       200.0000        50.0000\n"
                                       "       300.0000         4.5000\n");
}

TEST_F(SemivariogramRun, SinglePointGivesOneEmptyClass) {
  title = Title("One point");
  svar = {0, 0, 5, 100.0, 360.0, 0.0};
  Run("One point\n1\n5 5 42.5\n", 1);
  const std::string titleLine = TitleLine("One point");
  EXPECT_EQ(dir.Read("SITE1.var"), titleLine +
                                       "     AVERAGE =   42.50000\n"
                                       "     VARIANCE = 0.00000E+00\n"
                                       "     NUMBER OF DATA POINTS =     1\n"
                                       "\n"
                                       "     DIRECTION TOLERANCE =    360.0 degrees\n"
                                       "     STEP SIZE =    100.0 meters\n"
                                       "     DIRECTION =       0. degrees\n"
                                       "\n"
                                       "   LAG    #points     DISTANCE          1/2 VARIO\n"
                                       "     1       0            0.00             0.0000\n");
  EXPECT_EQ(dir.Read("SITE1.fit"), titleLine + "     1\n         0.0000         0.0000\n");
  EXPECT_EQ(messages.lines.back().text, " Number of lags :     1");
  // An empty semivariogram is written, but said to be empty, with its cause.
  EXPECT_EQ(messages.boxes, std::vector<std::string>{kTooFewPointsMessage});
}

// Points all at one place leave no pair either, and that cause is named; a
// direction beyond 360 degrees is an angle like any other.
TEST_F(SemivariogramRun, FewerThanTwoDistinctPointsAndAnyFiniteDirection) {
  state.svar = {0, 0, 5, 100.0, 360.0, 0.0};
  dir.Write("SITE1.dfl", "One place\n3\n5 5 1\n5 5 2\n5 5 3\n");
  RunProject(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{kTooFewPointsMessage});
  EXPECT_TRUE(dir.Exists("SITE1.var"));

  messages = RecorderMessages();
  state.svar = {0, 0, 10, 50.0, 60.0, 400.0};
  dir.Write("SITE1.dfl", kSite1);
  RunProject(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE);
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_NE(dir.Read("SITE1.var").find("     DIRECTION =     400. degrees\n"), std::string::npos);
}

TEST_F(SemivariogramRun, NoPairInTheSectorIsSaid) {
  for (const double tolerance : {0.0, 10.0}) {
    // Tolerance 0 takes no pair; a narrow sector across the points none either.
    svar = {0, 0, 10, 50.0, tolerance, 90.0};
    messages = RecorderMessages();
    Run("row along x\n3\n0 0 1\n10 0 2\n20 0 4\n", 3);
    EXPECT_EQ(messages.boxes, std::vector<std::string>{kNoPairMessage}) << tolerance;
    EXPECT_EQ(messages.lines.back().text, " Number of lags :     1");
  }
  svar = {0, 0, 10, 50.0, 10.0, 0.0};  // along the row: pairs, no message
  messages = RecorderMessages();
  Run("row along x\n3\n0 0 1\n10 0 2\n20 0 4\n", 3);
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(SemivariogramRun, ThreeCoincidentPointsMergeIntoTheFirst) {
  title = Title("Coincident");
  svar = {0, 0, 2, 10.0, 360.0, 0.0};
  Run("Coincident\n4\n10 10 1\n10 10 3\n10 10 8\n20 10 4\n", 4);
  // (1 + 3) / 2 = 2, then (2 + 8) / 2 = 5; the third point moved into place 2.
  const std::vector<std::string> expectedLines = {
      "", "Value     1 coincides value     2", "Value     1 coincides value     2",
      " Computing Semi-variogram ", " Number of lags :     1"};
  EXPECT_EQ(messages.Texts(), expectedLines);
  EXPECT_EQ(messages.lines[2].mode, 1);
  const std::string var = dir.Read("SITE1.var");
  EXPECT_NE(var.find("     AVERAGE =    4.50000\n"
                     "     VARIANCE = 0.25000E+00\n"
                     "     NUMBER OF DATA POINTS =     2\n"),
            std::string::npos);
  EXPECT_NE(var.find("\n     1       1           10.00             0.5000\n"), std::string::npos);
}

// Refused runs: a message box, and no result written.
TEST_F(SemivariogramRun, MissingParametersTouchNoFile) {
  for (const auto& [lagCount, lagDistance] :
       {std::pair{0, 50.0}, std::pair{-3, 50.0}, std::pair{10, 0.0}, std::pair{10, -50.0}}) {
    svar.lagCount = lagCount;
    svar.lagDistance = lagDistance;
    messages.boxes.clear();
    Run(kSite1, 9);
    EXPECT_EQ(messages.boxes, std::vector<std::string>{"No Parameters specified"});
    EXPECT_FALSE(dir.Exists("SITE1.var"));
    EXPECT_FALSE(dir.Exists("SITE1.fit"));
  }
}

TEST_F(SemivariogramRun, AFailedRunLeavesTheEarlierResultsAsTheyWere) {
  const struct {
    const char* dfl;
    std::size_t capacity;
    const char* box;
  } cases[] = {
      {"t\n3\n0 0 1\n1 1 2\n2 2 3\n", 2, " Maximum of        2 points exceeded "},
      {"t\n3\n0 0 1\n1 1 2\n", 3,
       "End of File reached in input file : SITE1.dfl, after line 4: x expected"},
      {"t\n3\n0 0 1\n1 x 2\n2 2 3\n", 3,
       "Data format error in input file : SITE1.dfl, line 4: y expected"},
      {"t\n", 3, "End of File reached in input file : SITE1.dfl, after line 1: count expected"},
      {"t\n0\n", 3, "No Data Points in input file : SITE1.dfl"},
      {"t\n-2\n0 0 1\n", 3, "No Data Points in input file : SITE1.dfl"},
  };
  for (const auto& c : cases) {
    dir.Write("SITE1.var", "old var\n");
    dir.Write("SITE1.fit", "old fit\n");
    messages = RecorderMessages();
    Run(c.dfl, c.capacity);
    EXPECT_EQ(messages.boxes, std::vector<std::string>{c.box}) << c.dfl;
    EXPECT_EQ(dir.Read("SITE1.var"), "old var\n") << c.dfl;
    EXPECT_EQ(dir.Read("SITE1.fit"), "old fit\n") << c.dfl;
    EXPECT_EQ(Listing(), (std::vector<std::string>{"SITE1.dfl", "SITE1.fit", "SITE1.var"}));
    EXPECT_TRUE(messages.lines.empty());
  }
}

TEST_F(SemivariogramRun, MissingDataFileCannotBeOpened) {
  dir.Write("SITE1.var", "old var\n");
  lags = MakeLags(11);
  Svar(Env(), title, points, lags, svar);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{"Cannot open input file : SITE1.dfl"});
  EXPECT_EQ(dir.Read("SITE1.var"), "old var\n");
  EXPECT_FALSE(dir.Exists("SITE1.fit"));
}

TEST_F(SemivariogramRun, AStopKeepsTheEarlierResultsAndIsRecorded) {
  // A good run, then the same run stopped at its first poll.
  Run(kSite1, 9);
  const std::string var = dir.Read("SITE1.var");
  const std::string fit = dir.Read("SITE1.fit");
  ASSERT_FALSE(var.empty());
  svar = SvarCopy{0, 0, 10, 50.0, 60.0, 30.0};
  messages = RecorderMessages();
  messages.cancelAtPoll = 1;
  RunOutcome outcome;
  Allocate(points.x, 9);
  Allocate(points.y, 9);
  Allocate(points.value, 9);
  lags = MakeLags(11);
  Svar(Env(RunOptions{}, &outcome), title, points, lags, svar);
  EXPECT_TRUE(outcome.stopped);
  EXPECT_EQ(outcome.written, 0);
  EXPECT_EQ(dir.Read("SITE1.var"), var);
  EXPECT_EQ(dir.Read("SITE1.fit"), fit);
  EXPECT_EQ(Listing(), (std::vector<std::string>{"SITE1.dfl", "SITE1.fit", "SITE1.var"}));
  EXPECT_EQ(svar.lagCount, 10);
}

TEST_F(SemivariogramRun, LogOfAValueNotAboveZeroNamesThePointAndWritesNothing) {
  svar.logTransform = 1;
  Run("t\n3\n0 0 1\n100 0 0\n200 50.5 3\n", 3);
  EXPECT_EQ(messages.boxes,
            std::vector<std::string>{"Logtransform not possible, value <= 0 at data point X = 100 "
                                     "Y = 0"});
  EXPECT_FALSE(dir.Exists("SITE1.var"));
  EXPECT_FALSE(dir.Exists("SITE1.fit"));
  EXPECT_EQ(svar.lagCount, 10);
}

}  // namespace
}  // namespace mornax
