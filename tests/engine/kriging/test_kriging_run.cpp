// Kriging runs through the run driver: whole result files for small data sets
// whose estimates are worked out by hand (nearest-value and plane-through-
// three-points systems, symmetric pairs) or by a separate solution of the
// same system, the parameter refusals, the log transform, merged points,
// singular systems and a stop request.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/run_env.h"
#include "dispatch/run_driver.h"
#include "kriging/krig.h"
#include "support/expected_text.h"
#include "support/recorder_messages.h"
#include "support/run_fixture.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::RecorderMessages;
using testing::ScopedTempDir;

std::string TitleLine(const std::string& title) {
  return testing::RunTitleLine("      Kriging      :", title);
}

const std::string kTableHeader = "              X        Y         Z          Z*        Z-Z*\n";
const std::string kDatHeaderTwo = "    0    2    0 ;" + std::string(40, ' ') + "STD\n";
const std::string kStars = "***************";

class KrigingRun : public testing::ProjectRun {
 protected:
  void SetUp() override {
    // Spherical, Sill 10, no nugget, range 100; C comes from Sill - C0.
    state.ipl.krigPoints = 1;
    state.ipl.krigModel = 2;
    state.ipl.krigOrder = 0;
    state.ipl.sill = 10;
    state.ipl.c = 3;
    state.ipl.c0 = 0;
    state.ipl.a = 100;
  }
  void Run(int mode) { RunProject(MNX_TASK_INTERPOLATION, MNX_METHOD_KRIGING, mode); }
};

TEST_F(KrigingRun, ErrorAnalysisMergesCoincidentPointsAndReportsStandardError) {
  // Points 2 and 4 share (10, 0): merged into 4 = (3 + 5)/2. With one
  // neighbour the system [[0, 1], [1, 0]] gives the neighbour's value with
  // weight 1 and multiplier g(h), so s = sqrt(2 g(h)); g(10) = 1.495 and
  // g(20) = 2.96 for C = 10 (not the record's 3).
  //   (0,0)  -> 4 from (10,0), e = 3, s^2 = 2.99
  //   (10,0) -> 1 from (0,0),  e = -3, s^2 = 2.99
  //   (30,0) -> 4 from (10,0), e = -2, s^2 = 5.92
  // Standard Error = sqrt((9/2.99 + 9/2.99 + 4/5.92)/3) = 1.494.
  dir.Write("SITE.dfl", "Two wells share a place\n4\n0 0 1\n10 0 3\n30 0 6\n10 0 5\n0\n");
  Run(MNX_MODE_ERROR_ANALYSIS);
  EXPECT_EQ(dir.Read("SITE.lst"),
            TitleLine("Two wells share a place") + kTableHeader +
                "            0.00       0.00       1.00       4.00       3.00\n"
                "           10.00       0.00       4.00       1.00      -3.00\n"
                "           30.00       0.00       6.00       4.00      -2.00\n"
                "\n"
                "           Average Error = -6.667E-01\n"
                "           Standard Error =  1.494E+00\n"
                "           Root Mean Square Error = 2.708E+00\n"
                "           Greatest Error = -3.000E+00\n"
                "           Mean Absolute Error = 2.667E+00\n");
  EXPECT_EQ(messages.boxes, (std::vector<std::string>{"  Duplicate points :    2,   4"}));
  EXPECT_EQ(state.ipl.c, 10.0);
  EXPECT_FALSE(dir.Exists("SITE.dat"));
  ASSERT_GE(messages.lines.size(), 2u);
  const auto& counter = messages.lines[messages.lines.size() - 2];
  EXPECT_EQ(counter.mode, 1);
  EXPECT_EQ(counter.text, "  Error Analysis - point:   3");
  EXPECT_EQ(messages.lines.back().mode, 2);
  EXPECT_EQ(messages.lines.back().text, "  Root Mean Square Error (RMSE):  2.708E+00");
}

TEST_F(KrigingRun, LogTransformLevelsFromLogarithmsEstimatesInDataUnits) {
  // ln 10 .. ln 1000 = 2.30 .. 6.91: step 1, start 2, six levels. Two
  // neighbours, Sill 1, a 400. On a data point the estimate is its value and
  // s = e^0; halfway between two points the weights are 1/2, giving the
  // geometric mean, and v = 2 g(50) - g(100)/2 = 0.189453125, s = e^sqrt(v).
  dir.Write("SITE.dfl", "Logs\n3\n0 0 10\n100 0 100\n200 0 1000\n4\n0 0\n50 0\n150 0\n200 0\n");
  state.svar.logTransform = 1;
  state.ipl.krigPoints = 2;
  state.ipl.sill = 1;
  state.ipl.a = 400;
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_EQ(dir.Read("SITE.dat"),
            "    0    4    0 ;" + std::string(40, ' ') + "STD\n" +
                "              0.0            0.0       10.00000        1.00000\n"
                "             50.0            0.0       31.62278        1.54537\n"
                "            150.0            0.0      316.22777        1.54537\n"
                "            200.0            0.0     1000.00000        1.00000\n");
  EXPECT_EQ(dir.Read("SITE.lev"),
            "    6 ;\n       2\n       3\n       4\n       5\n       6\n       7\n"
            "       10.00000\n       31.62278\n      316.22777\n     1000.00000\n");
  EXPECT_EQ(dir.Read("SITE.wl"),
            "        0.00000        0.00000       10.00000\n"
            "       50.00000        0.00000       31.62278\n"
            "      150.00000        0.00000      316.22777\n"
            "      200.00000        0.00000     1000.00000\n");
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_FALSE(dir.Exists("SITE.lst"));
  EXPECT_EQ(messages.lines.back().text, " Estimate point    4");
}

TEST_F(KrigingRun, AnyNonzeroLogFlagTransformsBothWays) {
  // A flag of 2 reads logarithms and back-transforms: the data value comes
  // back, not e^value or ln value.
  dir.Write("SITE.dfl", "Logs\n2\n0 0 50\n10 0 70\n1\n0 0\n");
  state.svar.logTransform = 2;
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_EQ(dir.Read("SITE.wl"), "        0.00000        0.00000       50.00000\n");
}

TEST_F(KrigingRun, ValueWithoutLogarithmStopsTheRun) {
  dir.Write("SITE.dfl", "Logs\n3\n0 0 10\n10 0 0\n20 0 -4\n1\n5 0\n");
  state.svar.logTransform = 1;
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_EQ(messages.boxes,
            (std::vector<std::string>{"Log transform: the value of data point 2 is not positive"}));
  EXPECT_EQ(dir.Read("SITE.dat"), "");
  EXPECT_EQ(dir.Read("SITE.lev"), "");
  EXPECT_EQ(dir.Read("SITE.wl"), "");
}

TEST_F(KrigingRun, RefusesParametersInOrderBeforeTouchingFiles) {
  dir.Write("SITE.dfl", "Site\n2\n0 0 1\n10 0 2\n0\n");
  struct Case {
    int model, points, order;
    double sill, a;
    const char* message;
  };
  const Case cases[] = {
      {0, 4, 0, 0, 100, "No Parameters specified"},
      {2, 0, 0, 10, 100, "No Parameters specified"},
      {2, -3, 0, 10, 100, "No Parameters specified"},
      {1, 4, 0, 0, 100, "Interpolation Parameters are zero"},
      {2, 4, 0, 10, 0, "Interpolation Parameters are zero"},
      {4, 4, 0, 10, -5, "Parameter a not valid, must be > 0 : -5"},
      {6, 4, 0, 0, 100, "Interpolation Scheme not valid"},
      {-1, 4, 0, 10, 100, "Interpolation Scheme not valid"},
      {2, 4, 3, 10, 100, "Order of Kriging not valid"},
      {2, 4, -1, 10, 100, "Order of Kriging not valid"},
  };
  for (const Case& c : cases) {
    messages.boxes.clear();
    state.ipl.krigModel = c.model;
    state.ipl.krigPoints = c.points;
    state.ipl.krigOrder = c.order;
    state.ipl.sill = c.sill;
    state.ipl.a = c.a;
    Run(MNX_MODE_INTERPOLATION);
    Run(MNX_MODE_ERROR_ANALYSIS);
    EXPECT_EQ(messages.boxes, (std::vector<std::string>{c.message, c.message})) << c.model;
  }
  EXPECT_FALSE(dir.Exists("SITE.dat"));
  EXPECT_FALSE(dir.Exists("SITE.lev"));
  EXPECT_FALSE(dir.Exists("SITE.wl"));
  EXPECT_FALSE(dir.Exists("SITE.lst"));
  // Models 1 and 5 keep the record's C; the range a may be anything there.
  state.ipl.krigModel = 5;
  state.ipl.krigPoints = 1;
  state.ipl.krigOrder = 0;
  state.ipl.sill = 10;
  state.ipl.a = 0;
  messages.boxes.clear();
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_EQ(state.ipl.c, 3.0);
}

TEST_F(KrigingRun, SingularSystemsAreWrittenAsAsterisksAndCounted) {
  // Three points on the x axis and three off it; three neighbours, order 1.
  // (10, 1) has the three on the axis: no plane through them, the record is
  // asterisks. (100, 105) has the three others: the weights are fixed by the
  // drift alone, so the estimate is the plane z = 1 + 0.1x + 0.2y through
  // them, 32; its standard error 1.14173 comes from a separate solution.
  dir.Write("SITE.dfl",
            "Six wells\n6\n0 0 1.5\n10 0 2\n20 0 3\n100 100 31\n110 90 30\n95 120 34.5\n"
            "2\n10 1\n100 105\n");
  state.ipl.krigPoints = 3;
  state.ipl.krigOrder = 1;
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_EQ(dir.Read("SITE.dat"),
            kDatHeaderTwo + "             10.0            1.0" + kStars + kStars + "\n" +
                "            100.0          105.0       32.00000        1.14173\n");
  // Values 1.5 to 34.5: step 5, start 0, eight levels.
  EXPECT_EQ(dir.Read("SITE.lev"),
            "    8 ;\n       0\n       5\n      10\n      15\n      20\n      25\n      30\n"
            "      35\n" +
                kStars + "\n       32.00000\n");
  EXPECT_EQ(dir.Read("SITE.wl"), "       10.00000        1.00000" + kStars +
                                     "\n      100.00000      105.00000       32.00000\n");
  EXPECT_EQ(messages.boxes,
            (std::vector<std::string>{
                "Kriging system singular at 1 point: estimates written as asterisks"}));
  ASSERT_FALSE(messages.output.empty());
  for (const auto& line : messages.output) EXPECT_EQ(line, "  DIVIDE BY ZERO in SOLV");
}

TEST_F(KrigingRun, SingularPointsStayOutOfTheStatistics) {
  // Three neighbours, order 1: each of the points on the x axis is the plane
  // through the other three (errors -0.5, 0.25, -0.5); the fourth point's
  // neighbours lie on the axis. Statistics over the three, with the
  // Standard Error from a separate solution of their systems.
  dir.Write("SITE.dfl", "Four wells\n4\n0 0 1.5\n10 0 2\n20 0 3\n5 50 7\n0\n");
  state.ipl.krigPoints = 3;
  state.ipl.krigOrder = 1;
  Run(MNX_MODE_ERROR_ANALYSIS);
  EXPECT_EQ(dir.Read("SITE.lst"),
            TitleLine("Four wells") + kTableHeader +
                "            0.00       0.00       1.50       1.00      -0.50\n"
                "           10.00       0.00       2.00       2.25       0.25\n"
                "           20.00       0.00       3.00       2.50      -0.50\n"
                "            5.00      50.00       7.00***********"
                "***********\n"
                "\n"
                "           Average Error = -2.500E-01\n"
                "           Standard Error =  2.034E-01\n"
                "           Root Mean Square Error = 4.330E-01\n"
                "           Greatest Error = -5.000E-01\n"
                "           Mean Absolute Error = 4.167E-01\n");
  EXPECT_EQ(messages.boxes,
            (std::vector<std::string>{"Kriging system singular at 1 point: rows written as "
                                      "asterisks and left out of the statistics"}));
}

TEST_F(KrigingRun, CapacityBelowTheSystemIsRefusedAfterTheHeader) {
  // The driver always leaves room; a smaller neighbourhood must refuse.
  dir.Write("SITE.dfl", "Site\n2\n0 0 1\n10 0 2\n0\n");
  state.ipl.krigPoints = 20;
  state.ipl.krigOrder = 2;
  ASSERT_EQ(state.arrays.AllocPointArrays(messages, 2), 1);
  ASSERT_EQ(state.arrays.AllocNeighbourArrays(messages, 24), 1);
  const RunEnv env = Env();
  Krig(env, MNX_MODE_ERROR_ANALYSIS, "      Kriging      :Site", state.arrays.points,
       state.arrays.neighbours, state.ipl, 0);
  EXPECT_EQ(messages.boxes, (std::vector<std::string>{" Maximum number of nearest points is 18"}));
  EXPECT_FALSE(dir.Exists("SITE.lst"));  // a refused run writes nothing
  state.arrays.FreeAll();
}

TEST_F(KrigingRun, StopRequestLeavesTheThreeFilesEqual) {
  dir.Write("SITE.dfl", "Site\n2\n0 0 1\n10 0 2\n3\n1 0\n2 0\n3 0\n");
  messages.cancelAtPoll = 3;
  Run(MNX_MODE_INTERPOLATION);
  const std::string dat = dir.Read("SITE.dat");
  EXPECT_EQ(dat.substr(dat.find('\n') + 1),
            "              1.0            0.0        1.00000        0.54771\n"
            "              2.0            0.0        1.00000        0.77455\n");
  EXPECT_EQ(dir.Read("SITE.wl"),
            "        1.00000        0.00000        1.00000\n"
            "        2.00000        0.00000        1.00000\n");
  EXPECT_EQ(messages.polls, 3);
  EXPECT_TRUE(messages.boxes.empty());
}

}  // namespace
}  // namespace mornax
