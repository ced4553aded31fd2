// The fit report read back, whether its fit is usable, and the one mapping
// of B1-B3 onto the fields of kriging and Bayesian estimation.
#include "project/fitted_model.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "project/fit_initializer.h"
#include "support/temp_dir.h"

namespace mornax::project {
namespace {

using testing::ScopedTempDir;

// A report as the fit writes it: status on line 2, the model on line 3, B1-B3
// on lines 5-7, the classes from line 9.
std::string Report(int icon, const char* tag, double b1, double b2, double b3) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer,
                " Semi-Variogram: test\n     ICON=%3d      CHI2=  1.0     ITERATION NO. =   3\n"
                " %s: SILL =1.0 RANGE=1.0 C0  =1.0\n        SOLUTIONS OF THE EQUATIONS      \n"
                "          B( 1)= %16.8g\n          B( 2)= %16.8g\n          B( 3)= %16.8g\n"
                " 2\n   250.000   100.000   101.000  -0.100000E+01\n"
                "   500.000   200.000   199.000   0.100000E+01\n",
                icon, tag, b1, b2, b3);
  return buffer;
}

TEST(FittedModel, TheReportGivesModelParametersStatusAndFirstLag) {
  ScopedTempDir dir;
  FittedModel fit;
  EXPECT_EQ(ReadFittedModel(dir.path() / "P.sol", fit), FitReportStatus::kMissing);
  dir.Write("P.sol", "not a report\n");
  EXPECT_EQ(ReadFittedModel(dir.path() / "P.sol", fit), FitReportStatus::kMalformed);

  dir.Write("P.sol", Report(-4, "Expon", 9.5, 310.25, 0.75));
  ASSERT_EQ(ReadFittedModel(dir.path() / "P.sol", fit), FitReportStatus::kOk);
  EXPECT_EQ(fit.model, 3);
  EXPECT_EQ(fit.b, (std::array<double, 3>{9.5, 310.25, 0.75}));
  EXPECT_EQ(fit.firstLag, 250.0);
  EXPECT_TRUE(fit.iconRead);
  EXPECT_EQ(fit.icon, -4);
}

TEST(FittedModel, OnlyAConvergedFitIsUsable) {
  struct Case {
    int icon;
    const char* problem;  // "" usable
  };
  const Case cases[] = {
      {0, ""}, {-4, ""}, {-1, "ICON -1"}, {-2, "more unknowns"}, {2, "100 iterations"}};
  for (const Case& c : cases) {
    FittedModel fit;
    fit.iconRead = true;
    fit.icon = c.icon;
    const std::string problem = FitStatusProblem(fit);
    EXPECT_EQ(problem.empty(), *c.problem == '\0') << c.icon << ": " << problem;
    EXPECT_NE(problem.find(c.problem), std::string::npos) << c.icon << ": " << problem;
  }
  EXPECT_NE(FitStatusProblem(FittedModel{}), "");  // no status line read
}

TEST(FittedModel, TheFillSetsWhatEachModelDefinesAndKeepsTheRest) {
  struct Case {
    int model;
    int krigModel;  // after the fill; 2 = unchanged
    float sill, a, c, c0, sigma, lagD;
  };
  // Before: the new-document values (sill 1107, a 2000, c 1107, c0 0,
  // sigma 0.67, lagD 200, krigModel 2).
  const Case cases[] = {
      {2, 2, 10.0f, 400.0f, 9.0f, 1.0f, 0.67f, 200.0f},
      {3, 3, 10.0f, 400.0f, 9.0f, 1.0f, 0.67f, 200.0f},
      {1, 1, 1107.0f, 400.0f, 9.0f, 1.0f, 0.67f, 200.0f},     // the sill caps the model: kept
      {5, 5, 1107.0f, 400.0f, 1107.0f, 1.0f, 0.67f, 200.0f},  // sill and c not used
      {6, 2, 1107.0f, 2000.0f, 1107.0f, 0.0f, 9.0f, 250.0f},  // k_Rho: Bayes only
  };
  for (const Case& c : cases) {
    FittedModel fit;
    fit.model = c.model;
    fit.b = {9.0, 400.0, 1.0};
    fit.firstLag = 250.0;
    Records records;
    SetDefaults(records);
    ApplyFill(fit, FillFromFit(fit), records);
    EXPECT_EQ(records.ipl.krigModel, c.krigModel) << c.model;
    EXPECT_EQ(records.ipl.bayesModel, c.model) << c.model;
    EXPECT_EQ(records.ipl.sill, c.sill) << c.model;
    EXPECT_EQ(records.ipl.a, c.a) << c.model;
    EXPECT_EQ(records.ipl.c, c.c) << c.model;
    EXPECT_EQ(records.ipl.c0, c.c0) << c.model;
    EXPECT_EQ(records.ipl.sigma, c.sigma) << c.model;
    EXPECT_EQ(records.ipl.lagD, c.lagD) << c.model;
  }
}

// The pair counts of the .var report belong to the non-empty classes of the
// .fit file written by the same run.
TEST(FitClasses, PairCountsComeFromTheReportOfTheSameRun) {
  ScopedTempDir dir;
  dir.Write("P.fit",
            " t\n    3\n       100.0000        10.0000\n         0.0000         0.0000\n"
            "       300.0000        30.0000\n");
  const std::string var =
      " t\n\n   LAG    #points     DISTANCE          1/2 VARIO\n"
      "     1      12          100.00            10.0000\n"
      "     2       0            0.00             0.0000\n"
      "     3   *****          300.00            30.0000\n";
  dir.Write("P.var", var);
  FitClasses classes;
  int count = 0;
  ASSERT_EQ(ReadFitClasses(dir.In("P.fit"), classes, count), FitInitStatus::kOk);
  EXPECT_EQ(count, 3);
  ASSERT_TRUE(ReadPairCounts(dir.In("P.var"), classes));
  EXPECT_EQ(classes.pairs, (std::vector<double>{12.0, 99999.0}));

  std::string other = var;
  other.replace(other.find("300.00"), 6, "310.00");  // another run's classes
  dir.Write("P.var", other);
  EXPECT_FALSE(ReadPairCounts(dir.In("P.var"), classes));
  EXPECT_TRUE(classes.pairs.empty());
  EXPECT_FALSE(ReadPairCounts(dir.In("NONE.var"), classes));
}

}  // namespace
}  // namespace mornax::project
