// Whether a fit report's fit is usable, the one mapping of B1-B3 onto the
// fields of kriging and Bayesian estimation, and the pair counts of the
// classes. Reading the report is tested through use-fit (tests/cli).
#include "project/fitted_model.h"

#include <gtest/gtest.h>

#include <string>

#include "project/fit_initializer.h"
#include "support/temp_dir.h"

namespace mornax::project {
namespace {

using testing::ScopedTempDir;

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
