// Bayesian-estimation runs through the run driver: whole result files against
// values worked out by hand or recomputed independently (exact rational
// solution of each system), the progress lines, and every refusal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "dispatch/run_driver.h"
#include "support/expected_text.h"
#include "support/recorder_messages.h"
#include "support/run_fixture.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::RecorderMessages;
using testing::ScopedTempDir;

std::string TitleLine(const std::string& title) {
  return testing::RunTitleLine("  Bayes Estimation :", title);
}

const std::string kTableHeader =
    "         X              Y            Z      GUESS       Z*         Z-Z*      STD\n";

std::string DatHeader(int networkCount) {
  return "    0    " + std::to_string(networkCount) + "    0 ;" + std::string(33, ' ') + "GUESS " +
         std::string(12, ' ') + "STD\n";
}

std::string Statistics(const char* average, const char* standard, const char* rms,
                       const char* greatest, const char* absolute) {
  const std::string indent(10, ' ');
  return "\n" + indent + " Average Error = " + average + "\n" + indent +
         " Standard Error = " + standard + "\n" + indent + " Root Mean Square Error =" + rms +
         "\n" + indent + " Greatest Error = " + greatest + "\n" + indent +
         " Mean Absolute Error =" + absolute + "\n";
}

// Five wells on a square with its centre; each line x y z guess.
const char* const kSquare =
    "Five wells\n5\n0 0 10 12\n100 0 14 15\n0 100 9 11\n100 100 20 19\n50 50 15 18\n";

class BayesRunTest : public testing::ProjectRun {
 protected:
  void Run(int mode) {
    state.ipl.dwPoints = 4;
    state.ipl.krigPoints = 6;
    RunProject(MNX_TASK_INTERPOLATION, MNX_METHOD_BAYES, mode);
  }
  void Spherical(int nearest, double sill, double c0, double a, double guessSill, double guessC0,
                 double guessA) {
    state.ipl.bayesModel = 2;
    state.ipl.bayesPoints = nearest;
    state.ipl.sill = sill;
    state.ipl.c = 1.0;  // replaced by sill - c0 for this model
    state.ipl.c0 = c0;
    state.ipl.a = a;
    state.ipl.guessSill = guessSill;
    state.ipl.guessC0 = guessC0;
    state.ipl.guessA = guessA;
  }
};

// One neighbour, spherical models sill 10, a 10, no nugget, for both sets:
//   (0,0): neighbour (5,0), r 0.5, gamma 6.875, BG 3.125, CS 20, W 0.15625;
//          Z* = 4 + 0.15625 * (8 - 6) = 4.3125, STD sqrt(10 - 0.48828125)
//   (5,0): neighbour (0,0): Z* = 6 + 0.15625 * (5 - 4) = 6.15625
//   (20,0): neighbour (5,0) beyond a: W 0, Z* = guess 3, STD sqrt(10)
TEST_F(BayesRunTest, ErrorAnalysisWorkedByHand) {
  dir.Write("SITE.dfl", "Three wells\n3\n0 0 5 4\n5 0 8 6\n20 0 3 3\n0\n");
  Spherical(1, 10, 0, 10, 10, 0, 10);
  Run(MNX_MODE_ERROR_ANALYSIS);
  EXPECT_EQ(
      dir.Read("SITE.lst"),
      TitleLine("Three wells") + kTableHeader +
          "            0.0            0.0      5.00      4.00      4.31     -0.69      3.08\n"
          "            5.0            0.0      8.00      6.00      6.16     -1.84      3.08\n"
          "           20.0            0.0      3.00      3.00      3.00      0.00      3.16\n" +
          Statistics("   -8.43750E-01", "    3.68368E-01", "    1.13609E+00", "   -1.84375E+00",
                     "    8.43750E-01"));
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_FALSE(dir.Exists("SITE.dat"));
  const std::vector<std::string> texts = messages.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], "");
  EXPECT_EQ(texts[1], "  Error Analysis -  point:    3");
  EXPECT_EQ(texts[2], "  Root Mean Square Error (RMSE):  1.136E+00");
}

TEST_F(BayesRunTest, InterpolationWithMeanScaling) {
  dir.Write("SITE.dfl", std::string("Six wells\n6\n0 0 10 12\n100 0 14 15\n0 100 9 11\n"
                                    "100 100 20 19\n50 50 15 18\n200 50 11 13\n"
                                    "3\n50 0 14\n150 50 16\n0 0 12\n"));
  Spherical(3, 30, 5, 150, 10, 2, 120);
  state.ipl.scaleGuess = 2;  // mean shift 1.5: the network guesses are lowered by it too
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_EQ(dir.Read("SITE.dat"),
            DatHeader(3) +
                "           50.0            0.0       12.42573       12.50000        3.06958\n"
                "          150.0           50.0       14.56786       14.50000        3.10134\n"
                "            0.0            0.0       10.39467       10.50000        2.73398\n");
  // Values 9 to 20: step 5, start 5, four levels.
  EXPECT_EQ(dir.Read("SITE.lev"),
            "    4 ;\n       5\n      10\n      15\n      20\n"
            "       12.42573\n       14.56786\n       10.39467\n");
  EXPECT_EQ(dir.Read("SITE.wl"),
            "       50.00000        0.00000       12.42573\n"
            "      150.00000       50.00000       14.56786\n"
            "        0.00000        0.00000       10.39467\n");
  EXPECT_FALSE(dir.Exists("SITE.lst"));
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"", "", " Interpolate to point    3"}));
}

// k_Rho with the log transform and Mean Window scaling: the measured column
// shows the values as read, the STD is exp(sqrt(exp(guessSill - S2))).
TEST_F(BayesRunTest, LogTransformedKRhoErrorAnalysis) {
  dir.Write("SITE.dfl", kSquare);
  state.ipl.bayesModel = 6;
  state.ipl.bayesPoints = 2;
  state.ipl.k = 1.5;
  state.ipl.rho = 0.6;
  state.ipl.lagD = 80;
  state.ipl.sigma = 0.5;
  state.ipl.guessSill = 0.3;
  state.ipl.scaleGuess = 1;
  state.svar.logTransform = 1;
  Run(MNX_MODE_ERROR_ANALYSIS);
  EXPECT_EQ(
      dir.Read("SITE.lst"),
      TitleLine("Five wells") + kTableHeader +
          "            0.0            0.0     10.00     10.58     10.55      0.55      2.89\n"
          "          100.0            0.0     14.00     12.50     12.50     -1.50      2.89\n"
          "            0.0          100.0      9.00      9.17      9.17      0.17      2.89\n"
          "          100.0          100.0     20.00     16.76     16.70     -3.30      2.89\n"
          "           50.0           50.0     15.00     15.87     15.87      0.87      2.83\n" +
          Statistics("   -6.43445E-01", "    5.84611E-01", "    1.68837E+00", "   -3.30353E+00",
                     "    1.27797E+00"));
}

// Linear scaling on logarithms: dMin 0.04879, gMin ln 10.5, slope 0.33975.
// The guess 1.5 gets a negative correction, so dMin is subtracted instead
// (written guess 1.45121); the correction comes off before the logarithm.
TEST_F(BayesRunTest, LogTransformedLinearScalingOfNetworkGuesses) {
  dir.Write("SITE.dfl",
            "Five wells\n5\n0 0 10 10.5\n100 0 14 20\n0 100 9 12\n100 100 20 30\n50 50 15 16\n"
            "2\n50 0 1.5\n20 80 14\n");
  state.ipl.bayesModel = 3;
  state.ipl.bayesPoints = 2;
  state.ipl.sill = 0.5;
  state.ipl.c0 = 0.1;
  state.ipl.a = 60;
  state.ipl.guessSill = 0.4;
  state.ipl.guessC0 = 0.05;
  state.ipl.guessA = 90;
  state.ipl.scaleGuess = 3;
  state.svar.logTransform = 1;
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_EQ(dir.Read("SITE.dat"),
            DatHeader(2) +
                "           50.0            0.0        1.42763        1.45121        0.64427\n"
                "           20.0           80.0        9.76716        9.99361        0.62524\n");
  EXPECT_NEAR(state.coefficientArea[0], 0.048790164169431716, 1e-15);
  EXPECT_NEAR(state.coefficientArea[1], 2.3513752571634776, 1e-15);
  EXPECT_NEAR(state.coefficientArea[2], 0.33974797788630723, 1e-15);
  EXPECT_NEAR(state.coefficientArea[3], 3.4011973816621555, 1e-15);  // ln 30
}

// Points 1 and 3 coincide: the survivor has the mean value 11 and keeps its
// own guess 12 (not 30); every later point keeps its guess.
TEST_F(BayesRunTest, MergedPointTakesItsGuessAlong) {
  dir.Write("SITE.dfl",
            "Four wells\n5\n0 0 10 12\n100 0 14 15\n0 0 12 30\n0 100 9 11\n100 100 20 17\n");
  state.ipl.bayesModel = 4;
  state.ipl.bayesPoints = 2;
  state.ipl.sill = 20;
  state.ipl.c0 = 1;
  state.ipl.a = 80;
  state.ipl.guessSill = 6;
  state.ipl.guessC0 = 0.5;
  state.ipl.guessA = 100;
  Run(MNX_MODE_ERROR_ANALYSIS);
  EXPECT_EQ(
      dir.Read("SITE.lst"),
      TitleLine("Four wells") + kTableHeader +
          "            0.0            0.0     11.00     12.00     11.78      0.78      2.39\n"
          "          100.0            0.0     14.00     15.00     15.15      1.15      2.39\n"
          "            0.0          100.0      9.00     11.00     11.15      2.15      2.39\n"
          "          100.0          100.0     20.00     17.00     16.78     -3.22      2.39\n" +
          Statistics("    2.13318E-01", "    8.60728E-01", "    2.05552E+00", "   -3.22009E+00",
                     "    1.82336E+00"));
  EXPECT_EQ(messages.boxes, std::vector<std::string>{"  Duplicate points :    1,   3"});
}

// Error analysis with as many nearest points as data points uses one fewer;
// one more than that is refused.
TEST_F(BayesRunTest, NearestPointsInErrorAnalysis) {
  dir.Write("SITE.dfl", "Four wells\n4\n0 0 10 12\n100 0 14 15\n0 100 9 11\n100 100 20 17\n");
  state.ipl.bayesModel = 1;
  state.ipl.bayesPoints = 4;
  state.ipl.sill = 40;
  state.ipl.c = 0.05;
  state.ipl.a = 1.0;
  state.ipl.c0 = 0.5;
  state.ipl.guessSill = 15;
  state.ipl.guessC = 0.02;
  state.ipl.guessA = 1.0;
  state.ipl.guessC0 = 0.2;
  Run(MNX_MODE_ERROR_ANALYSIS);
  EXPECT_EQ(
      dir.Read("SITE.lst"),
      TitleLine("Four wells") + kTableHeader +
          "            0.0            0.0     10.00     12.00     11.52      1.52      3.42\n"
          "          100.0            0.0     14.00     15.00     15.18      1.18      3.42\n"
          "            0.0          100.0      9.00     11.00     11.16      2.16      3.42\n"
          "          100.0          100.0     20.00     17.00     16.63     -3.37      3.42\n" +
          Statistics("    3.71737E-01", "    6.49763E-01", "    2.22244E+00", "   -3.37426E+00",
                     "    2.05887E+00"));
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_EQ(state.ipl.bayesPoints, 4);  // the engine state keeps the loaded value

  const std::string good = dir.Read("SITE.lst");
  state.ipl.bayesPoints = 5;
  Run(MNX_MODE_ERROR_ANALYSIS);
  EXPECT_EQ(messages.boxes,
            std::vector<std::string>{"Too many Nearest Points, available Data Points : 3"});
  EXPECT_EQ(dir.Read("SITE.lst"), good);  // the refused run leaves it as it was
}

TEST_F(BayesRunTest, ParameterRefusalsOpenNoFile) {
  struct Case {
    int model, nearest;
    double sill, guessSill, sigma, k, rho, lagD;
    const char* message;
  };
  const Case cases[] = {
      {0, 8, 1, 1, 1, 1, 1, 1, "No Parameters specified"},
      {2, 0, 1, 1, 1, 1, 1, 1, "No Parameters specified"},
      {2, 8, 0, 1, 1, 1, 1, 1, "Interpolation Parameters are zero"},
      {5, 8, 1, 0, 1, 1, 1, 1, "Interpolation Parameters are zero"},
      {6, 8, 0, 0, 0, 1, 1, 1, "Interpolation Parameters are zero"},
      {6, 8, 0, 0, 1, 0, 1, 1, "Interpolation Parameters are zero"},
      {6, 8, 0, 0, 1, 1, 0, 1, "Interpolation Parameters are zero"},
      {6, 8, 0, 0, 1, 1, 1, 0, "Interpolation Parameters are zero"},  // lagD divides
  };
  dir.Write("SITE.dfl", kSquare);
  for (const Case& c : cases) {
    messages.boxes.clear();
    state.ipl.bayesModel = c.model;
    state.ipl.bayesPoints = c.nearest;
    state.ipl.sill = c.sill;
    state.ipl.guessSill = c.guessSill;
    state.ipl.sigma = c.sigma;
    state.ipl.k = c.k;
    state.ipl.rho = c.rho;
    state.ipl.lagD = c.lagD;
    Run(MNX_MODE_ERROR_ANALYSIS);
    EXPECT_EQ(messages.boxes, std::vector<std::string>{c.message}) << c.model;
    EXPECT_FALSE(dir.Exists("SITE.lst"));
  }
}

// Each refused data set: the message, and the earlier .lst as it was.
TEST_F(BayesRunTest, DataThatCannotBeEstimatedIsRefused) {
  struct Case {
    const char* data;
    int logTransform, scaleGuess, nearest;
    const char* message;
  };
  const Case cases[] = {
      {"T\n3\n0 0 1 1\n1 0 2 2\n", 0, 0, 1,
       "End of File reached in input file : SITE.dfl, after line 4: x expected"},
      {"T\n2\n0 0 1 1\n1 0 0 2\n", 1, 0, 1,
       "Logtransform not possible, Value <= 0 at data point : 2"},
      {"T\n2\n0 0 1 -1\n1 0 2 2\n", 1, 0, 1,
       "Logtransform not possible, Guess <= 0 at data point : 1"},
      {"T\n3\n0 0 1 4\n1 0 2 4\n2 0 5 4\n", 0, 3, 1,
       "Linear Scaling not possible, all Guesses are equal"},
      {"T\n1\n0 0 1 1\n", 0, 0, 1, "Error Analysis needs at least 2 Data Points"},
      {"T\n2\n0 0 1 1\n0 0 2 2\n", 0, 0, 1, "Error Analysis needs at least 2 Data Points"},
  };
  Spherical(1, 10, 0, 10, 10, 0, 10);
  for (const Case& c : cases) {
    messages.boxes.clear();
    dir.Write("SITE.dfl", c.data);
    state.svar.logTransform = c.logTransform;
    state.ipl.scaleGuess = c.scaleGuess;
    state.ipl.bayesPoints = c.nearest;
    dir.Write("SITE.lst", "earlier\n");
    Run(MNX_MODE_ERROR_ANALYSIS);
    ASSERT_FALSE(messages.boxes.empty());
    EXPECT_EQ(messages.boxes.back(), c.message) << c.data;
    EXPECT_EQ(dir.Read("SITE.lst"), "earlier\n") << c.data;
  }
}

// Mean scaling of logarithms: every guess is twice its value, shift ln 2. A
// network guess of 0.5 minus ln 2 has no logarithm: the run stops there with
// the point before it written in all three files.
TEST_F(BayesRunTest, NetworkGuessWithoutLogarithmStopsTheRun) {
  dir.Write("SITE.dfl", "T\n3\n0 0 1 2\n10 0 2 4\n0 10 4 8\n2\n5 5 4\n6 6 0.5\n");
  Spherical(2, 1, 0, 50, 1, 0, 50);
  state.ipl.scaleGuess = 2;
  state.svar.logTransform = 1;
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_EQ(messages.boxes,
            std::vector<std::string>{
                "Logtransform not possible, scaled Guess <= 0 at network point : 2"});
  const std::string wl = dir.Read("SITE.wl");
  EXPECT_EQ(std::count(wl.begin(), wl.end(), '\n'), 1);
  EXPECT_EQ(wl.substr(0, 30), "        5.00000        5.00000");
  // The written guess is 4 - ln 2.
  EXPECT_EQ(dir.Read("SITE.dat").substr(DatHeader(2).size() + 45, 15), "        3.30685");
}

// Polynomial models with c = 0 and no nugget: every covariance equals the
// sill, so the two rows of every system are equal.
TEST_F(BayesRunTest, SingularSystemStopsWithTheInversionMessages) {
  dir.Write("SITE.dfl", kSquare);
  state.ipl.bayesModel = 1;
  state.ipl.bayesPoints = 2;
  state.ipl.sill = 5;
  state.ipl.guessSill = 3;
  Run(MNX_MODE_ERROR_ANALYSIS);
  EXPECT_EQ(messages.boxes, (std::vector<std::string>{"Abnormal Exit from Routine LUDU",
                                                      "Abnormal Exit from Routine AIRM",
                                                      "  Error in SUBROUTINE AIRM :          1"}));
  EXPECT_EQ(messages.boxes.back().size(), 39u);
  EXPECT_FALSE(dir.Exists("SITE.lst"));  // it failed before its first row
}

// Cancel at the second point's poll: the first point is in all three files.
TEST_F(BayesRunTest, CancelLeavesTheSameRecordsInAllNetworkFiles) {
  dir.Write("SITE.dfl", std::string(kSquare) + "3\n10 10 12\n20 20 13\n30 30 14\n");
  Spherical(2, 30, 5, 150, 10, 2, 120);
  messages.cancelAtPoll = 2;
  Run(MNX_MODE_INTERPOLATION);
  const std::string dat = dir.Read("SITE.dat");
  const std::string lev = dir.Read("SITE.lev");
  const std::string wl = dir.Read("SITE.wl");
  ASSERT_EQ(std::count(dat.begin(), dat.end(), '\n'), 2);
  ASSERT_EQ(std::count(wl.begin(), wl.end(), '\n'), 1);
  EXPECT_EQ(wl.substr(0, 30), "       10.00000       10.00000");
  const std::string estimate = wl.substr(30, 15);
  EXPECT_EQ(dat.substr(dat.size() - 46, 15), estimate);
  EXPECT_EQ(lev.substr(lev.size() - 16), estimate + "\n");
  EXPECT_TRUE(messages.boxes.empty());
}

// Network lines carry three numbers: a line with two meets the end of the
// file, which is reported when the run ends; the point before it is kept.
TEST_F(BayesRunTest, EndOfFileInsideTheNetworkIsReported) {
  dir.Write("SITE.dfl", std::string(kSquare) + "3\n10 10 12\n20 20\n");
  Spherical(2, 30, 5, 150, 10, 2, 120);
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{"End of File reached in input file : "
                                                     "SITE.dfl, after line 10: guess expected"});
  const std::string wl = dir.Read("SITE.wl");
  EXPECT_EQ(std::count(wl.begin(), wl.end(), '\n'), 1);
}

TEST_F(BayesRunTest, ErrorAnalysisCounterAtEveryTwentyFifthAndTheLastPoint) {
  std::string data = "Line\n26\n";
  for (int i = 0; i < 26; ++i) {
    data += std::to_string(i * 10) + " 0 " + std::to_string(10 + i % 3) + " 11\n";
  }
  dir.Write("SITE.dfl", data);
  Spherical(2, 30, 5, 150, 10, 2, 120);
  Run(MNX_MODE_ERROR_ANALYSIS);
  std::vector<std::string> counters;
  for (const auto& line : messages.lines) {
    if (line.mode == 1) counters.push_back(line.text);
  }
  EXPECT_EQ(counters, (std::vector<std::string>{"  Error Analysis -  point:   25",
                                                "  Error Analysis -  point:   26"}));
}

}  // namespace
}  // namespace mornax
