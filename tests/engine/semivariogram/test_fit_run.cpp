// The variogram fit run: reading BASE.fit, the fit loop, the progress report
// and BASE.sol. The expected reports were computed by a separate program that
// implements the same iteration and record layouts, or by hand for exact fits.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "semivariogram/fvar.h"
#include "support/recorder_messages.h"
#include "support/run_fixture.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::RecorderMessages;
using testing::ScopedTempDir;

void Allocate(DoubleArray& array, std::size_t n) {
  array.data.assign(n, 0.0);
  array.allocated = true;
}

// The semivariogram of the borehole example: six classes, the first empty.
const char kBoreholeFit[] =
    "  Semi-Variogram: Borehole levels, spring survey 1996 - a title line     \n"
    "     6\n"
    "         0.0000         0.0000\n"
    "        89.7243         6.6103\n"
    "       120.7158         9.2406\n"
    "       162.9074        14.1141\n"
    "       240.1099        24.0125\n"
    "       260.1922         6.1250\n";
// Columns 5-76 of its first line.
const char kBoreholeTitle[] =
    "mi-Variogram: Borehole levels, spring survey 1996 - a title line        ";

class FitRun : public testing::ProjectRun {
 protected:
  FitRun() : ProjectRun("SITE1") {}

  void Run(const std::string& fitFile, int lagCount) {
    dir.Write("SITE1.fit", fitFile);
    const auto lags = static_cast<std::size_t>(std::max(fvar.fitPointCount, lagCount));
    Allocate(arrays.lag1, capacity > 0 ? capacity : lags + 1);
    Allocate(arrays.lag2, arrays.lag1.size());
    Allocate(arrays.lag3, arrays.lag1.size());
    Allocate(fit.matrix1, 15);
    Allocate(fit.matrix2, 15);
    Allocate(fit.work, 4 * lags + 11);
    Allocate(fit.vector3, 3);
    model_names(fvar.model, modelName, labels);
    Fvar(Env(), arrays, fit, fvar, lagCount, modelName, labels, title);
  }

  LagArrays arrays;
  FitArrays fit;
  FvarCopy fvar;
  std::size_t capacity = 0;  // 0: as the run driver sizes the lag arrays
  std::string modelName = std::string(11, ' ');
  std::array<std::string, 3> labels;
  std::string title = std::string(72, 'x');
};

TEST_F(FitRun, EvaluationOnlyDropsEmptyClassesAndStatesWhatThisRunKnows) {
  fvar = {20, 0, 2, {15.0, 200.0, 1.0}, {}, {}};
  Run(kBoreholeFit, 4);
  EXPECT_EQ(title, kBoreholeTitle);
  EXPECT_EQ(dir.Read("SITE1.sol"),
            " mi-Variogram: Borehole levels, spring survey 1996 - a title line        \n"
            "     ICON=  0      CHI2=   110.05999         ITERATION NO. =   0\n"
            "  Sphe: SILL =16.000     RANGE=200.00      C0  =1.0000    \n"
            "        SOLUTIONS OF THE EQUATIONS      \n"
            "          B( 1)=    15.000000    \n"
            "          B( 2)=    200.00000    \n"
            "          B( 3)=    1.0000000    \n"
            "           4\n"
            "    89.724     6.610    10.417  -0.380651E+01\n"
            "   120.716     9.241    12.931  -0.369076E+01\n"
            "   162.907    14.114    15.274  -0.115982E+01\n"
            "   240.110    24.012    15.035   0.897795E+01\n");
  const std::vector<std::string> progress = {
      "Statisics: Correlation Coefficient =0.787",
      "Statisics: Mean Deviation=4.4088     MSE=5.2455     R= 78.67%"};
  EXPECT_EQ(messages.Texts(), progress);
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(FitRun, SphericalFitConvergesWithTheThirdParameterOnItsBound) {
  fvar = {6, 1, 2, {24.0, 260.0, 6.0}, {0.24, 2.6, 0.0}, {240.0, 2600.0, 60.0}};
  Run(kBoreholeFit, 5);
  EXPECT_EQ(dir.Read("SITE1.sol"),
            " mi-Variogram: Borehole levels, spring survey 1996 - a title line        \n"
            "     ICON=  0      CHI2=   157.73018         ITERATION NO. =  21\n"
            "  Sphe: SILL =15.219     RANGE=209.98      C0  =0.0000    \n"
            "        SOLUTIONS OF THE EQUATIONS      \n"
            "          B( 1)=    15.218639    \n"
            "          B( 2)=    209.98234    \n"
            "          B( 3)=    0.0000000    \n"
            "           5\n"
            "    89.724     6.610     9.161  -0.255032E+01\n"
            "   120.716     9.241    11.678  -0.243712E+01\n"
            "   162.907    14.114    14.157  -0.429650E-01\n"
            "   240.110    24.012    14.726   0.928626E+01\n"
            "   260.192     6.125    13.809  -0.768440E+01\n");
  const std::vector<std::string> progress = {
      " Computing Regression ", "Number of iterations was    20  (Maximum = 100)",
      " Sphe: SILL =15.219     RANGE=209.98      C0  =0.0000    ",
      "Statisics: Correlation Coefficient =0.629",
      "Statisics: Mean Deviation=4.4002     MSE=5.6166     R= 62.93%"};
  EXPECT_EQ(messages.Texts(), progress);
  EXPECT_TRUE(std::all_of(messages.lines.begin(), messages.lines.end(),
                          [](const auto& line) { return line.mode == 2; }));
  EXPECT_TRUE(messages.boxes.empty());
  // The fit overwrites the engine's copy of the initial values.
  EXPECT_EQ(fvar.initial[2], 0.0);
}

TEST_F(FitRun, HundredCallsWithoutConvergenceShowNoMessage) {
  // A straight line: the exponential model's sill and range grow without end.
  fvar = {8, 1, 3, {1.0, 10.0, 0.0}, {0.0, 1.0, 0.0}, {1e12, 1e13, 10.0}};
  Run(" title line for the linear case\n"
      "    8\n"
      "       100.0000         5.0000\n"
      "       200.0000        10.2000\n"
      "       300.0000        14.9000\n"
      "       400.0000        20.1000\n"
      "       500.0000        25.0000\n"
      "       600.0000        29.8000\n"
      "       700.0000        35.2000\n"
      "       800.0000        40.0000\n",
      8);
  EXPECT_EQ(dir.Read("SITE1.sol"),
            " le line for the linear case                                             \n"
            "     ICON=  2      CHI2=   10.540998         ITERATION NO. = 101\n"
            " Expon: SILL =102.95     RANGE=1727.3      C0  =0.0000    \n"
            "        SOLUTIONS OF THE EQUATIONS      \n"
            "          B( 1)=    102.94637    \n"
            "          B( 2)=    1727.3102    \n"
            "          B( 3)=    0.0000000    \n"
            "           8\n"
            "   100.000     5.000     5.791  -0.790685E+00\n"
            "   200.000    10.200    11.256  -0.105565E+01\n"
            "   300.000    14.900    16.413  -0.151321E+01\n"
            "   400.000    20.100    21.281  -0.118066E+01\n"
            "   500.000    25.000    25.874  -0.874315E+00\n"
            "   600.000    29.800    30.210  -0.409581E+00\n"
            "   700.000    35.200    34.301   0.899008E+00\n"
            "   800.000    40.000    38.162   0.183774E+01\n");
  ASSERT_GE(messages.lines.size(), 2u);
  EXPECT_EQ(messages.lines[1].text, "Number of iterations was   100  (Maximum = 100)");
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(FitRun, ExactStartEndsOnTheFirstCallWithAsterisksForR) {
  fvar = {4, 1, 1, {2.0, 1.0, 5.0}, {0.0, 0.5, 0.0}, {10.0, 1.9999, 10.0}};
  Run(" Semi-Variogram: perfect polynomial\n"
      "    4\n"
      "         0.0000         0.0000\n"
      "         1.0000         7.0000\n"
      "         2.0000         9.0000\n"
      "         3.0000        11.0000\n",
      3);
  EXPECT_EQ(dir.Read("SITE1.sol"),
            " i-Variogram: perfect polynomial                                         \n"
            "     ICON=  0      CHI2=   0.0000000         ITERATION NO. =   1\n"
            " Polyn: SLOPE=7.0000     POWER=1.0000      C0  =5.0000    \n"
            "        SOLUTIONS OF THE EQUATIONS      \n"
            "          B( 1)=    2.0000000    \n"
            "          B( 2)=    1.0000000    \n"
            "          B( 3)=    5.0000000    \n"
            "           3\n"
            "     1.000     7.000     7.000   0.000000E+00\n"
            "     2.000     9.000     9.000   0.000000E+00\n"
            "     3.000    11.000    11.000   0.000000E+00\n");
  const std::vector<std::string> progress = {
      " Computing Regression ", "Number of iterations was     0  (Maximum = 100)",
      "Polyn: SLOPE=7.0000     POWER=1.0000      C0  =5.0000    ",
      "Statisics: Correlation Coefficient =1.000",
      "Statisics: Mean Deviation=0.0000     MSE=0.0000     R= *****%"};
  EXPECT_EQ(messages.Texts(), progress);
}

TEST_F(FitRun, KRhoWorksOnDistancesInUnitsOfTheFirstClass) {
  // gamma = 2 (1 + 3 (1 - 0.5^h)) at h = 1..4 first-class distances.
  fvar = {4, 1, 6, {2.0, 3.0, 0.5}, {0.0, 0.0, 0.0}, {10.0, 10.0, 1.0}};
  Run(" Semi-Variogram: k_Rho\n"
      "    4\n"
      "       200.0000         5.0000\n"
      "       400.0000         6.5000\n"
      "       600.0000         7.2500\n"
      "       800.0000         7.6250\n",
      4);
  EXPECT_EQ(dir.Read("SITE1.sol"),
            " i-Variogram: k_Rho                                                      \n"
            "     ICON=  0      CHI2=   0.0000000         ITERATION NO. =   1\n"
            "   k_R: SIGMA=2.5000       K  =3.0000      RHO =.50000    \n"
            "        SOLUTIONS OF THE EQUATIONS      \n"
            "          B( 1)=    2.0000000    \n"
            "          B( 2)=    3.0000000    \n"
            "          B( 3)=   0.50000000    \n"
            "           4\n"
            "   200.000     5.000     5.000   0.000000E+00\n"
            "   400.000     6.500     6.500   0.000000E+00\n"
            "   600.000     7.250     7.250   0.000000E+00\n"
            "   800.000     7.625     7.625   0.000000E+00\n");
  ASSERT_EQ(messages.lines.size(), 6u);
  EXPECT_EQ(messages.lines[2].text, "  k_R: SIGMA=2.5000       K  =3.0000      RHO =.50000    ");
  EXPECT_EQ(messages.lines[3].text, "Dlag for Bayes Program :200.00    ");
}

TEST_F(FitRun, TwoClassesAreTooFewForThreeParameters) {
  fvar = {6, 1, 2, {15.0, 200.0, 1.0}, {0.0, 0.0, 0.0}, {100.0, 1000.0, 10.0}};
  Run(kBoreholeFit, 2);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{" MORE UNKNOWNS THAN FUNCTIONS "});
  EXPECT_EQ(dir.Read("SITE1.sol"),
            " mi-Variogram: Borehole levels, spring survey 1996 - a title line        \n"
            "     ICON= -2      CHI2=   28.111243         ITERATION NO. =   1\n"
            "  Sphe: SILL =16.000     RANGE=200.00      C0  =1.0000    \n"
            "        SOLUTIONS OF THE EQUATIONS      \n"
            "          B( 1)=    15.000000    \n"
            "          B( 2)=    200.00000    \n"
            "          B( 3)=    1.0000000    \n"
            "           2\n"
            "    89.724     6.610    10.417  -0.380651E+01\n"
            "   120.716     9.241    12.931  -0.369076E+01\n");
  EXPECT_EQ(messages.lines[1].text, "Number of iterations was     0  (Maximum = 100)");
}

TEST_F(FitRun, RefusedRunsWriteNoReport) {
  const struct {
    const char* fitFile;
    int model;
    int lagCount;
    std::size_t capacity;
    const char* box;
  } cases[] = {
      {kBoreholeFit, 2, 0, 0, "No Parameters specified"},
      {kBoreholeFit, 2, -1, 0, "No Parameters specified"},
      {kBoreholeFit, 7, 4, 0, "No Model specified"},
      {kBoreholeFit, 2, 6, 0, "Maximum number of lags is     5"},
      {kBoreholeFit, 2, 3, 4, "Maximum number of lags is     4"},
      {"title\n", 2, 3, 0,
       "End of File reached in input file : SITE1.fit, after line 1: count expected"},
      {"title\n 3\n 1 2\n 2 x\n 3 4\n", 2, 3, 0,
       "Data format error in input file : SITE1.fit, line 4: semivariance expected"},
      {"title\n 3\n 1 2\n 2 3\n", 2, 3, 0,
       "End of File reached in input file : SITE1.fit, after line 4: distance expected"},
  };
  for (const auto& c : cases) {
    messages = RecorderMessages();
    fvar = {6, 1, c.model, {15.0, 200.0, 1.0}, {0.0, 0.0, 0.0}, {100.0, 1000.0, 10.0}};
    capacity = c.capacity;
    Run(c.fitFile, c.lagCount);
    EXPECT_EQ(messages.boxes, std::vector<std::string>{c.box}) << c.box;
    EXPECT_TRUE(messages.lines.empty()) << c.box;
    EXPECT_FALSE(dir.Exists("SITE1.sol")) << c.box;
  }
}

TEST_F(FitRun, MissingFitFileCannotBeOpened) {
  fvar = {6, 0, 2, {15.0, 200.0, 1.0}, {}, {}};
  Allocate(arrays.lag1, 7);
  Allocate(arrays.lag2, 7);
  Allocate(arrays.lag3, 7);
  Fvar(Env(), arrays, fit, fvar, 4, modelName, labels, title);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{"Cannot open input file : SITE1.fit"});
  EXPECT_FALSE(dir.Exists("SITE1.sol"));
}

TEST_F(FitRun, ModelValuesThatCannotBeComputedAreNeverReported) {
  // A range of 0 makes the spherical model infinite at every distance.
  for (const int bestFit : {0, 1}) {
    messages = RecorderMessages();
    fvar = {6, bestFit, 2, {15.0, 0.0, 1.0}, {0.0, 0.0, 0.0}, {100.0, 1000.0, 10.0}};
    Run(kBoreholeFit, 4);
    EXPECT_EQ(messages.boxes,
              std::vector<std::string>{" MODEL CANNOT BE EVALUATED FOR THESE PARAMETERS "});
    EXPECT_FALSE(dir.Exists("SITE1.sol"));
  }
}

// A start the model cannot evaluate (rho 1e30 to the power of seven lags
// overflows the sum of squares) fits nothing: no report of the start's values.
TEST_F(FitRun, AStartTheModelCannotEvaluateWritesNoReport) {
  fvar = {7, 1, 6, {0.8, 40.0, 1e30}, {0.1, 1.0, 0.1}, {0.99, 100.0, 1.0}};
  dir.Write("SITE1.sol", "earlier\n");
  Run(" Semi-Variogram: rho\n 7\n 100 1\n 200 2\n 300 3\n 400 4\n 500 5\n 600 6\n 700 7\n", 7);
  EXPECT_EQ(messages.boxes,
            std::vector<std::string>{" MODEL CANNOT BE EVALUATED FOR THESE PARAMETERS "});
  EXPECT_EQ(dir.Read("SITE1.sol"), "earlier\n");
}

}  // namespace
}  // namespace mornax
