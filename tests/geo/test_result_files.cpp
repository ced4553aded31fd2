#include "geo/result_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "support/temp_dir.h"

namespace mornax::geo {
namespace {

using testing::ScopedTempDir;

std::string Format(const char* format, double a, double b, double c, double d = 0.0,
                   double e = 0.0) {
  char line[160];
  std::snprintf(line, sizeof line, format, a, b, c, d, e);
  return line;
}

// A data file of two data points and a 3 x 2 network at full precision.
constexpr double kNetX[] = {100.123456, 200.123456, 300.123456, 100.123456, 200.123456, 300.123456};
constexpr double kNetY[] = {50.25, 50.25, 50.25, 150.25, 150.25, 150.25};

std::string DataFile(bool guesses) {
  std::string text = "Test site   \n2\n";
  text += guesses ? "1 2 3 4\n5 6 7 8\n" : "1 2 3\n5 6 7\n";
  text += "6\n";
  for (int i = 0; i < 6; ++i) {
    text += Format(guesses ? "%.6f %.2f 9\n" : "%.6f %.2f\n", kNetX[i], kNetY[i], 0.0);
  }
  return text;
}

double Estimate(int i) {
  return 10.0 + i;
}

void WriteKriging(const ScopedTempDir& dir, int points, const std::string& base = "SITE") {
  std::string dat = "    0    6    0 ;                                        STD\n";
  std::string wl, lev = "    2 ;\n      10\n      20\n";
  for (int i = 0; i < points; ++i) {
    dat += Format("  %15.1f%15.1f%15.5f%15.5f\n", kNetX[i], kNetY[i], Estimate(i), 0.5 + i);
    wl += Format("%15.5f%15.5f%15.5f\n", kNetX[i], kNetY[i], Estimate(i));
    lev += Format("%15.5f\n", Estimate(i), 0, 0);
  }
  dir.Write(base + ".dat", dat);
  dir.Write(base + ".wl", wl);
  dir.Write(base + ".lev", lev);
}

ProjectFiles Files(const ScopedTempDir& dir) {
  return ProjectFilesOf(dir.path() / "SITE.mnx");
}

TEST(NetworkResults, KrigingTakesFullPositionsFromTheDataFile) {
  ScopedTempDir dir;
  dir.Write("site.DFL", DataFile(false));  // any case
  WriteKriging(dir, 6);
  NetworkResults results;
  std::string error;
  ASSERT_TRUE(ReadNetworkResults(Files(dir), results, error)) << error;
  EXPECT_EQ(results.method, ResultMethod::kKriging);
  EXPECT_EQ(results.title, "Test site");
  ASSERT_EQ(results.size(), 6u);
  EXPECT_EQ(results.positionRounding, 0.0);
  for (int i = 0; i < 6; ++i) {
    EXPECT_DOUBLE_EQ(results.x[i], kNetX[i]);
    EXPECT_DOUBLE_EQ(results.y[i], kNetY[i]);
    EXPECT_DOUBLE_EQ(results.estimate[i], Estimate(i));
    EXPECT_DOUBLE_EQ(results.standardError[i], 0.5 + i);
  }
  EXPECT_TRUE(results.guess.empty());
  EXPECT_EQ(results.missingCount, 0u);
  EXPECT_TRUE(results.warnings.empty());
}

TEST(NetworkResults, FallsBackToTheWlPositionsWhenTheNetworkChanged) {
  ScopedTempDir dir;
  std::string dfl = DataFile(false);
  dfl.replace(dfl.find("300.123456"), 10, "333.000000");
  dir.Write("SITE.dfl", dfl);
  WriteKriging(dir, 6);
  NetworkResults results;
  std::string error;
  ASSERT_TRUE(ReadNetworkResults(Files(dir), results, error)) << error;
  ASSERT_EQ(results.size(), 6u);
  EXPECT_NEAR(results.x[0], 100.12346, 1e-9);  // five decimals of the .wl file
  EXPECT_EQ(results.positionRounding, 5e-6);
  ASSERT_EQ(results.warnings.size(), 1u);
  EXPECT_NE(results.warnings[0].find("has changed"), std::string::npos);
}

TEST(NetworkResults, AStoppedRunIsPaddedWithMissingPoints) {
  ScopedTempDir dir;
  dir.Write("SITE.dfl", DataFile(false));
  WriteKriging(dir, 4);
  NetworkResults results;
  std::string error;
  ASSERT_TRUE(ReadNetworkResults(Files(dir), results, error)) << error;
  ASSERT_EQ(results.size(), 6u);
  EXPECT_EQ(results.missingCount, 2u);
  EXPECT_TRUE(std::isnan(results.estimate[5]));
  EXPECT_TRUE(std::isnan(results.standardError[4]));
  EXPECT_DOUBLE_EQ(results.x[5], kNetX[5]);
  ASSERT_EQ(results.warnings.size(), 1u);
  EXPECT_NE(results.warnings[0].find("4 of the 6"), std::string::npos);
}

TEST(NetworkResults, AsterisksNanTextAndAnOverflowedHeaderCount) {
  ScopedTempDir dir;
  dir.Write("SITE.dfl", DataFile(false));
  // Distance weighting; the header count overflowed its field.
  std::string dat = "    0*****    0 ;\n";
  for (int i = 0; i < 6; ++i) {
    std::string record = Format("%15.5f%15.5f%15.5f", kNetX[i], kNetY[i], Estimate(i));
    if (i == 1) record.replace(30, 15, std::string(15, '*'));
    if (i == 2) record.replace(30, 15, "            NaN");
    dat += record + Format("%5.0f\n", i + 1.0, 0, 0);
  }
  dir.Write("SITE.dat", dat);
  NetworkResults results;
  std::string error;
  ASSERT_TRUE(ReadNetworkResults(Files(dir), results, error)) << error;
  EXPECT_EQ(results.method, ResultMethod::kWeighting);
  ASSERT_EQ(results.size(), 6u);
  EXPECT_EQ(results.missingCount, 2u);
  EXPECT_TRUE(std::isnan(results.estimate[1]));
  EXPECT_TRUE(std::isnan(results.estimate[2]));
  EXPECT_DOUBLE_EQ(results.estimate[3], Estimate(3));
  EXPECT_TRUE(results.standardError.empty());
  EXPECT_DOUBLE_EQ(results.x[0], kNetX[0]);  // the network of the data file
}

TEST(NetworkResults, BayesColumnsAndAWlFileOfAnotherRun) {
  ScopedTempDir dir;
  dir.Write("SITE.dfl", DataFile(true));
  std::string dat = "    0    6    0 ;                                 GUESS             STD\n";
  std::string wl;
  for (int i = 0; i < 6; ++i) {
    dat += Format("%15.1f%15.1f%15.5f%15.5f%15.5f\n", kNetX[i], kNetY[i], Estimate(i), 9.0, 1.5);
    wl += Format("%15.5f%15.5f%15.5f\n", kNetX[i], kNetY[i], Estimate(i) + 1.0);
  }
  dir.Write("SITE.dat", dat);
  dir.Write("SITE.wl", wl);
  NetworkResults results;
  std::string error;
  ASSERT_TRUE(ReadNetworkResults(Files(dir), results, error)) << error;
  EXPECT_EQ(results.method, ResultMethod::kBayes);
  ASSERT_EQ(results.guess.size(), 6u);
  EXPECT_DOUBLE_EQ(results.guess[2], 9.0);
  EXPECT_DOUBLE_EQ(results.standardError[2], 1.5);
  EXPECT_DOUBLE_EQ(results.x[1], kNetX[1]);  // the data file still matches the .dat
  EXPECT_TRUE(results.warnings.empty());

  // Without the data file the .wl file is read, found to be of another run,
  // and the positions come from the .dat file.
  std::filesystem::remove(dir.path() / "SITE.dfl");
  ASSERT_TRUE(ReadNetworkResults(Files(dir), results, error)) << error;
  EXPECT_EQ(results.positionSource, "SITE.dat");
  EXPECT_NEAR(results.x[1], kNetX[1], 0.05);
  ASSERT_EQ(results.warnings.size(), 2u);
  EXPECT_NE(results.warnings[0].find("SITE.wl does not hold"), std::string::npos);
  EXPECT_NE(results.warnings[1].find("SITE.dfl cannot be read"), std::string::npos);
}

TEST(NetworkResults, RefusesMissingEmptyAndForeignFiles) {
  ScopedTempDir dir;
  NetworkResults results;
  std::string error;
  EXPECT_FALSE(ReadNetworkResults(Files(dir), results, error));
  EXPECT_NE(error.find("SITE.dat does not exist"), std::string::npos);

  dir.Write("SITE.dat", "");
  EXPECT_FALSE(ReadNetworkResults(Files(dir), results, error));
  EXPECT_NE(error.find("no network points"), std::string::npos);

  dir.Write("SITE.dat", "x,y,z\n1,2,3\n");
  EXPECT_FALSE(ReadNetworkResults(Files(dir), results, error));
  EXPECT_NE(error.find("SITE.dat line 1"), std::string::npos);

  dir.Write("SITE.dat", "    0    6    0 ;\n    hello world\n");
  EXPECT_FALSE(ReadNetworkResults(Files(dir), results, error));
  EXPECT_NE(error.find("SITE.dat line 2"), std::string::npos);
}

TEST(ErrorAnalysis, ReadsEachMethodsTable) {
  ScopedTempDir dir;
  dir.Write("SITE.dfl", "t\n3\n1000.123 2000.456 5 6\n1000.123 2000.456 7 6\n3000 4000 9 6\n0\n");

  // Kriging merged the two coincident points: two rows.
  std::string lst =
      " title\n     "
      "         X        Y         Z          Z*        Z-Z*\n";
  lst += Format("     %11.2f%11.2f%11.2f%11.2f%11.2f\n", 1000.123, 2000.456, 6.0, 6.5, 0.5);
  lst += Format("     %11.2f%11.2f%11.2f%11.2f%11.2f\n", 3000.0, 4000.0, 9.0, 8.0, -1.0);
  lst += "\n           Average Error = -2.500E-01\n";
  dir.Write("SITE.lst", lst);
  ErrorAnalysisResults results;
  std::string error;
  ASSERT_TRUE(ReadErrorAnalysis(Files(dir), results, error)) << error;
  EXPECT_EQ(results.method, ResultMethod::kKriging);
  EXPECT_EQ(results.title, "title");
  ASSERT_EQ(results.size(), 2u);
  EXPECT_DOUBLE_EQ(results.x[0], 1000.123);  // from the data file
  EXPECT_DOUBLE_EQ(results.error[1], -1.0);
  EXPECT_TRUE(results.standardisedError.empty());

  // Bayesian estimation writes the standard error: error / STD.
  lst =
      " title\n         X              Y            Z      GUESS       Z*         Z-Z*      STD\n";
  lst += Format("%15.1f%15.1f%10.2f%10.2f", 1000.1, 2000.5, 6.0, 6.0) +
         Format("%10.2f%10.2f%10.2f\n", 7.0, 1.0, 2.0);
  lst += Format("%15.1f%15.1f%10.2f%10.2f", 3000.0, 4000.0, 9.0, 6.0) +
         Format("%10.2f%10.2f", 8.0, -1.0, 0) + "**********\n";
  dir.Write("SITE.lst", lst);
  ASSERT_TRUE(ReadErrorAnalysis(Files(dir), results, error)) << error;
  EXPECT_EQ(results.method, ResultMethod::kBayes);
  ASSERT_EQ(results.standardisedError.size(), 2u);
  EXPECT_DOUBLE_EQ(results.standardisedError[0], 0.5);
  EXPECT_TRUE(std::isnan(results.standardisedError[1]));
  EXPECT_DOUBLE_EQ(results.y[0], 2000.456);

  // Distance weighting keeps every point (no merging): three rows against
  // the data file's three points.
  lst = " title\n      X          Y            Z         Z*      Z-Z*\n";
  lst += Format("     %10.2f%10.2f%10.2f%10.2f%10.2f\n", 1000.12, 2000.46, 5.0, 5.5, 0.5);
  lst += Format("     %10.2f%10.2f%10.2f%10.2f%10.2f\n", 1000.12, 2000.46, 7.0, 5.5, -1.5);
  lst += Format("     %10.2f%10.2f%10.2f%10.2f%10.2f\n", 3000.0, 4000.0, 9.0, 8.0, -1.0);
  dir.Write("SITE.lst", lst);
  ASSERT_TRUE(ReadErrorAnalysis(Files(dir), results, error)) << error;
  EXPECT_EQ(results.method, ResultMethod::kWeighting);
  ASSERT_EQ(results.size(), 3u);
  EXPECT_DOUBLE_EQ(results.x[1], 1000.123);
  EXPECT_DOUBLE_EQ(results.measured[1], 7.0);
  EXPECT_TRUE(results.warnings.empty());
}

TEST(CutResults, ACutLastRecordIsLeftOutAndTheFileNamed) {
  ScopedTempDir dir;
  dir.Write("SITE.dfl", DataFile(false));
  WriteKriging(dir, 6);
  // The estimate 15.00000 of the last record cut to "1": the file ends
  // inside the record, without its line end.
  std::string dat = dir.Read("SITE.dat");
  dat.resize(dat.size() - 1 - 15 - 13);
  dir.Write("SITE.dat", dat);
  NetworkResults results;
  std::string error;
  ASSERT_TRUE(ReadNetworkResults(Files(dir), results, error)) << error;
  ASSERT_EQ(results.size(), 6u);
  EXPECT_EQ(results.recordCount, 5u);
  EXPECT_TRUE(std::isnan(results.estimate[5]));
  EXPECT_EQ(results.cutFile, "SITE.dat");
  ASSERT_EQ(results.warnings.size(), 2u);
  EXPECT_NE(results.warnings[0].find("SITE.dat ends inside a record: line 7"), std::string::npos)
      << results.warnings[0];
  EXPECT_NE(results.warnings[1].find("5 of the 6 network points (SITE.dat is cut)"),
            std::string::npos)
      << results.warnings[1];

  // A whole last record that only lacks its line end is a record.
  WriteKriging(dir, 6);
  dat = dir.Read("SITE.dat");
  dir.Write("SITE.dat", dat.substr(0, dat.size() - 1));
  ASSERT_TRUE(ReadNetworkResults(Files(dir), results, error)) << error;
  EXPECT_EQ(results.recordCount, 6u);
  EXPECT_TRUE(results.warnings.empty());

  // The error table cut inside its last row, and one a stop ended early.
  dir.Write("SITE.dfl", "t\n3\n1 2 5\n3 4 7\n5 6 9\n0\n");
  const std::string header = " title\n         X        Y         Z          Z*        Z-Z*\n";
  const std::string row1 = Format("     %11.2f%11.2f%11.2f%11.2f%11.2f\n", 1, 2, 5, 6, 1);
  const std::string row2 = Format("     %11.2f%11.2f%11.2f%11.2f%11.2f\n", 3, 4, 7, 8, 1);
  ErrorAnalysisResults residuals;
  dir.Write("SITE.lst", header + row1 + row2.substr(0, 40));
  ASSERT_TRUE(ReadErrorAnalysis(Files(dir), residuals, error)) << error;
  ASSERT_EQ(residuals.size(), 1u);
  ASSERT_EQ(residuals.warnings.size(), 2u);
  EXPECT_NE(residuals.warnings[0].find("SITE.lst ends inside a record: line 4"), std::string::npos);
  EXPECT_NE(residuals.warnings[1].find("holds 1 of the 3 data points and no statistics "
                                       "(SITE.lst is cut)"),
            std::string::npos)
      << residuals.warnings[1];
  dir.Write("SITE.lst", header + row1 + row2);
  ASSERT_TRUE(ReadErrorAnalysis(Files(dir), residuals, error)) << error;
  ASSERT_EQ(residuals.size(), 2u);
  ASSERT_EQ(residuals.warnings.size(), 1u);
  EXPECT_NE(residuals.warnings[0].find("a stopped error analysis"), std::string::npos);
  EXPECT_DOUBLE_EQ(residuals.x[1], 3.0);
}

TEST(ErrorAnalysis, RefusesAListingWithoutAnErrorTable) {
  ScopedTempDir dir;
  ErrorAnalysisResults results;
  std::string error;
  EXPECT_FALSE(ReadErrorAnalysis(Files(dir), results, error));
  EXPECT_NE(error.find("SITE.lst does not exist"), std::string::npos);
  dir.Write("SITE.lst", " title\n\n\n  Trend Surface Coefficients   (1 = constant term)\n");
  EXPECT_FALSE(ReadErrorAnalysis(Files(dir), results, error));
  EXPECT_NE(error.find("holds no error analysis"), std::string::npos);
}

TEST(LevelList, ReadsTheLevelsBeforeTheEstimates) {
  ScopedTempDir dir;
  dir.Write("a.lev", "    3 ;\n      -5\n       0\n       5\n        1.00000\n");
  std::vector<double> levels;
  std::string error;
  ASSERT_TRUE(ReadLevelList(dir.path() / "a.lev", levels, error)) << error;
  EXPECT_EQ(levels, (std::vector<double>{-5, 0, 5}));

  // A count too wide for its field: the levels run up to the first estimate.
  dir.Write("b.lev", "***** ;\n      10\n      20\n       12.50000\n");
  ASSERT_TRUE(ReadLevelList(dir.path() / "b.lev", levels, error)) << error;
  EXPECT_EQ(levels, (std::vector<double>{10, 20}));

  dir.Write("c.lev", "    4 ;\n      10\n      20\n       12.50000\n");
  EXPECT_FALSE(ReadLevelList(dir.path() / "c.lev", levels, error));
  EXPECT_NE(error.find("c.lev line 4"), std::string::npos);
  dir.Write("d.lev", "");
  EXPECT_FALSE(ReadLevelList(dir.path() / "d.lev", levels, error));
  // Counts no list can have are refused before any is used as a size.
  for (const char* count : {"1e300", "-3", "2.5", "1e5"}) {
    dir.Write("e.lev", std::string(count) + std::string(5 - std::string(count).size(), ' ') +
                           " ;\n      10\n");
    EXPECT_FALSE(ReadLevelList(dir.path() / "e.lev", levels, error)) << count;
    EXPECT_NE(error.find("level count"), std::string::npos) << count << ": " << error;
  }
  EXPECT_FALSE(ReadLevelList(dir.path() / "none.lev", levels, error));
}

}  // namespace
}  // namespace mornax::geo
