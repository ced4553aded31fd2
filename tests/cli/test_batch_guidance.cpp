// The batch tool leads a newcomer: use-fit carries the fitted model to
// kriging, messages say what to do next, and the help explains one command
// or every field.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/batch_run.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::BatchResult;
using testing::ScopedTempDir;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A report as the fit writes it (see tests/project/test_fitted_model.cpp).
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

constexpr char kFiveWells[] = "Five wells\n5\n0 0 10\n100 0 20\n0 100 30\n100 100 40\n50 50 25\n";

class BatchGuidance : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Batch("new P.mnx").status, 0); }
  BatchResult Batch(const std::string& args) { return testing::RunBatch(dir_, args); }
  ScopedTempDir dir_;
};

TEST_F(BatchGuidance, UseFitSetsTheFieldsOfAUsableFitOrRefusesWithTheNextStep) {
  struct Case {
    const char* report;  // nullptr: no .sol
    int status;
    const char* said;  // on standard error (refused) or standard output
  };
  const std::string spherical = Report(0, " Sphe", 9.0, 1500.0, 1.0);
  const std::string failed = Report(-1, " Sphe", 9.0, 1500.0, 1.0);
  const std::string kRho = Report(0, "  k_R", 2.0, 40.0, 0.8);
  const std::string negativeNugget = Report(0, "Expon", 9.0, 300.0, -0.5);
  const Case cases[] = {
      {nullptr, 1, "P.sol not found: fit a model first (mornax-batch run P.mnx fit)"},
      {"garbage\n", 1, "P.sol is not a fit report"},
      {failed.c_str(), 1, "no function improvement possible"},
      {kRho.c_str(), 1, "mornax-batch set P.mnx bayesModel=6 sigma=2.0"},
      {negativeNugget.c_str(), 1, "c0 = B3 out of its range (c0 must be >= 0, not -0.5)"},
      {spherical.c_str(), 0, "krigModel = 2\nbayesModel = 2\nsill = 10\na = 1500\nc = 9\nc0 = 1\n"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(dir_.path() / "P.sol");
    if (c.report != nullptr) dir_.Write("P.sol", c.report);
    const std::string before = dir_.Read("P.mnx");
    const BatchResult result = Batch("use-fit P.mnx");
    EXPECT_EQ(result.status, c.status) << c.said << result.err;
    EXPECT_TRUE(Has(c.status == 0 ? result.out : result.err, c.said)) << result.out << result.err;
    if (c.status != 0) {
      EXPECT_EQ(dir_.Read("P.mnx"), before) << c.said;
    }
  }
  const std::string shown = Batch("show P.mnx").out;
  EXPECT_TRUE(Has(shown, "\nsill = 10\na = 1500\nc = 9\nc0 = 1\n")) << shown;
}

// Kriging with the new-document model while a fit report waits: a note, the
// run itself as before.
TEST_F(BatchGuidance, AnUnusedFitIsPointedOutAndAMissingNetworkRefused) {
  dir_.Write("P.dfl", std::string(kFiveWells) + "1\n50 0\n");
  const BatchResult before = Batch("run P.mnx kriging krigPoints=4");
  EXPECT_EQ(before.status, 0) << before.err;
  EXPECT_FALSE(Has(before.err, "use-fit"));
  dir_.Write("P.sol", Report(0, " Sphe", 90.0, 150.0, 1.0));
  const BatchResult noted = Batch("run P.mnx kriging krigPoints=4");
  EXPECT_EQ(noted.status, 0) << noted.err;
  EXPECT_TRUE(Has(noted.err, "note: ")) << noted.err;
  EXPECT_TRUE(Has(noted.err, "mornax-batch use-fit P.mnx")) << noted.err;
  EXPECT_EQ(Batch("use-fit P.mnx").status, 0);
  EXPECT_FALSE(Has(Batch("run P.mnx kriging krigPoints=4").err, "use-fit"));

  dir_.Write("P.dfl", std::string(kFiveWells) + "0\n");
  std::filesystem::remove(dir_.path() / "P.dat");
  const BatchResult empty = Batch("run P.mnx kriging --interpolate krigPoints=4");
  EXPECT_EQ(empty.status, 1);
  EXPECT_TRUE(Has(empty.err, "P.dfl has no network points")) << empty.err;
  EXPECT_TRUE(Has(empty.err, "mornax-batch grid P.mnx --spacing")) << empty.err;
  EXPECT_FALSE(dir_.Exists("P.dat"));
  EXPECT_EQ(Batch("run P.mnx kriging --error-analysis krigPoints=4").status, 0);
}

TEST_F(BatchGuidance, MessagesNameTheCauseAndTheNextCommand) {
  struct Case {
    const char* args;
    int status;
    const char* said;
  };
  const Case cases[] = {
      {"show site.mnx", 2,
       "Cannot open document site.mnx: there is no such file (mornax-batch "
       "new site.mnx creates it)"},
      {"run P.mnx fit", 1,
       "P.fit not found: compute the semivariogram first (mornax-batch run "
       "P.mnx variogram --auto-lag)"},
      {"set P.mnx colour=3", 2, "Unknown field \"colour\" (mornax-batch help set lists"},
      {"run P.mnx fit --auto-lag", 2, "--auto-lag is for variogram only"},
      {"help frobnicate", 2, "no help for frobnicate"},
  };
  for (const Case& c : cases) {
    const BatchResult result = Batch(c.args);
    EXPECT_EQ(result.status, c.status) << c.args;
    EXPECT_TRUE(Has(result.err, c.said)) << c.args << ": " << result.err;
  }
  // One point twice is no pair: named before the library looks for classes.
  dir_.Write("P.dfl", "Twice\n2\n5 5 1\n5 5 2\n0\n");
  const BatchResult coincident = Batch("run P.mnx variogram");
  EXPECT_EQ(coincident.status, 1);
  EXPECT_TRUE(Has(coincident.err, "1 distinct data point positions")) << coincident.err;
  // Any finite direction is an angle.
  EXPECT_EQ(Batch("set P.mnx direction=400").status, 0);
}

TEST_F(BatchGuidance, HelpExplainsOneCommandOrEveryField) {
  const BatchResult all = Batch("--help");
  EXPECT_EQ(all.status, 0);
  for (const char* part : {"use-fit PROJECT.mnx", "TOTAL sill, nugget included", "PARTIAL sill",
                           "B1 = c (partial sill), B2 = a (range), B3 = c0", "Z* - Z", "--auto-lag",
                           "\n  krigModel       integer  1-5"}) {
    EXPECT_TRUE(Has(all.out, part)) << part;
  }
  struct Case {
    const char* args;
    const char* shown;
    const char* notShown;
  };
  const Case cases[] = {
      {"export --help", "export PROJECT.mnx OUTPUT", "use-fit PROJECT.mnx"},
      {"help use-fit", "use-fit PROJECT.mnx", "export PROJECT.mnx OUTPUT"},
      {"use-fit P.mnx -h", "use-fit PROJECT.mnx", "grid PROJECT.mnx"},
      {"grid --help", "grid PROJECT.mnx --spacing D", "Fields:"},
  };
  for (const Case& c : cases) {
    const BatchResult result = Batch(c.args);
    EXPECT_EQ(result.status, 0) << c.args;
    EXPECT_TRUE(Has(result.out, c.shown)) << c.args;
    EXPECT_FALSE(Has(result.out, c.notShown)) << c.args;
  }
}

}  // namespace
}  // namespace mornax
