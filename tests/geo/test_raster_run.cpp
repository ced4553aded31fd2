// run --raster as the batch tool: the GeoTIFF against the .dat of the same
// run, tiles joined against the whole network bit for bit, and the refusals.
#include <gdal.h>
#include <gdal_utils.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "geo/gdal_handles.h"
#include "geo/gdal_session.h"
#include "support/batch_run.h"
#include "support/temp_dir.h"

namespace mornax::geo {
namespace {

using testing::ScopedTempDir;

// 70 wells in three clusters and a few strays over 200 x 150: the sparse
// parts send tile nodes to a second pass.
std::string ClusteredData() {
  std::mt19937 random(3);
  std::normal_distribution<double> spread(0.0, 15.0);
  std::uniform_real_distribution<double> anywhere(0.0, 1.0);
  std::ostringstream text;
  text << "Clusters\n70\n";
  const double centres[3][3] = {{30, 40, 25}, {150, 110, 20}, {170, 20, 15}};
  const auto line = [&text, &random, &spread](double x, double y) {
    char record[96];
    std::snprintf(record, sizeof record, "%.3f %.3f %.4f\n", x, y,
                  50 + 0.1 * x - 0.05 * y + spread(random) / 7.5);
    text << record;
  };
  for (const auto& centre : centres) {
    for (int i = 0; i < static_cast<int>(centre[2]); ++i) {
      line(centre[0] + spread(random), centre[1] + spread(random));
    }
  }
  for (int i = 0; i < 10; ++i) line(200 * anywhere(random), 150 * anywhere(random));
  return text.str();
}

class RasterRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Run("new P.mnx").status, 0);
    dir_.Write("P.dfl", ClusteredData());
    ASSERT_EQ(Run("grid P.mnx --spacing 10 --extent 0 0 200 150").status, 0);
    ASSERT_EQ(Run("set P.mnx krigModel=2 sill=20 a=80 c0=1 krigPoints=8").status, 0);
  }
  testing::BatchResult Run(const std::string& args) { return testing::RunBatch(dir_, args); }

  // Band `band` (1-based) of a raster, row 0 at the top.
  std::vector<double> Cells(const std::string& name, int band, int* cols = nullptr,
                            GDALDataType* type = nullptr) {
    EnsureGdal();
    DatasetHandle dataset(GDALOpen(dir_.In(name).c_str(), GA_ReadOnly));
    if (!dataset) return {};
    const int x = GDALGetRasterXSize(dataset.get()), y = GDALGetRasterYSize(dataset.get());
    GDALRasterBandH handle = GDALGetRasterBand(dataset.get(), band);
    if (cols != nullptr) *cols = x;
    if (type != nullptr) *type = GDALGetRasterDataType(handle);
    std::vector<double> cells(static_cast<std::size_t>(x) * static_cast<std::size_t>(y));
    if (GDALRasterIO(handle, GF_Read, 0, 0, x, y, cells.data(), x, y, GDT_Float64, 0, 0) !=
        CE_None) {
      return {};
    }
    return cells;
  }
  // Runs kriging to k.tif and to the text files, and holds every .dat record
  // equal to the raster's cells to the printed digits.
  void CompareRasterWithDat() {
    const auto run = Run("run P.mnx kriging --interpolate --raster k.tif --float64");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("wrote k.tif: GeoTIFF, 20 x 15 cells, bands estimate, std_error"),
              std::string::npos)
        << run.out;
    int cols = 0;
    const std::vector<double> estimate = Cells("k.tif", 1, &cols);
    const std::vector<double> error = Cells("k.tif", 2);
    ASSERT_EQ(estimate.size(), 300u);
    // The .dat records (2X,2F15.1,2F15.5), bottom row first.
    std::istringstream dat(dir_.Read("P.dat"));
    std::string line;
    std::getline(dat, line);
    int records = 0, moreDigits = 0;
    while (std::getline(dat, line)) {
      double x = 0, y = 0, z = 0, s = 0;
      ASSERT_EQ(std::sscanf(line.c_str(), "%lf %lf %lf %lf", &x, &y, &z, &s), 4) << line;
      const auto cell =
          static_cast<std::size_t>((145 - y) / 10) * 20 + static_cast<std::size_t>(x / 10);
      char printed[2][32];
      std::snprintf(printed[0], sizeof printed[0], "%.5f", estimate[cell]);
      std::snprintf(printed[1], sizeof printed[1], "%.5f", error[cell]);
      EXPECT_EQ(std::stod(printed[0]), z) << line;
      EXPECT_EQ(std::stod(printed[1]), s) << line;
      if (estimate[cell] != z) ++moreDigits;
      ++records;
    }
    EXPECT_EQ(records, 300);
    EXPECT_GT(moreDigits, 250);
  }

  ScopedTempDir dir_;
};

TEST_F(RasterRun, TheRasterHoldsTheDatFilesValuesWithMoreDigits) {
  CompareRasterWithDat();

  // Without text: no result files, Float32 bands of the same values.
  const std::vector<double> estimate = Cells("k.tif", 1);
  ScopedTempDir fresh;
  std::filesystem::copy(dir_.path() / "P.mnx", fresh.path() / "P.mnx");
  std::filesystem::copy(dir_.path() / "P.dfl", fresh.path() / "P.dfl");
  const auto quiet =
      testing::RunBatch(fresh, "run P.mnx kriging --interpolate --raster f.tif --no-text");
  ASSERT_EQ(quiet.status, 0) << quiet.err;
  EXPECT_FALSE(fresh.Exists("P.dat") || fresh.Exists("P.lev") || fresh.Exists("P.wl"));
  std::filesystem::copy(fresh.path() / "f.tif", dir_.path() / "f.tif");
  GDALDataType type = GDT_Unknown;
  const std::vector<double> single = Cells("f.tif", 1, nullptr, &type);
  EXPECT_EQ(type, GDT_Float32);
  ASSERT_EQ(single.size(), estimate.size());
  for (std::size_t i = 0; i < single.size(); ++i) {
    EXPECT_EQ(single[i], static_cast<double>(static_cast<float>(estimate[i]))) << i;
  }
}

// The anisotropy and the further structures no record carries reach the
// raster's run as they reach the file run.
TEST_F(RasterRun, TheRasterTakesTheDocumentsModelTerms) {
  ASSERT_EQ(
      Run("set P.mnx angle=30 ratio=0.4 structure2Model=3 structure2C=5 structure2A=40").status, 0);
  CompareRasterWithDat();
}

TEST_F(RasterRun, TilesJoinedAreTheWholeRunBitForBit) {
  ASSERT_EQ(Run("run P.mnx kriging --interpolate --raster whole.tif --no-text --float64 "
                "--neighbour-distance")
                .status,
            0);
  const char* tiles[] = {"0 0 100 70", "100 0 200 70", "0 70 100 150", "100 70 200 150"};
  std::vector<std::string> names;
  int secondPasses = 0;
  for (const char* tile : tiles) {
    char name[16];
    std::snprintf(name, sizeof name, "t%zu.tif", names.size());
    names.emplace_back(name);
    const auto run =
        Run("run P.mnx kriging --interpolate --no-text --float64 --neighbour-distance"
            " --raster " +
            names.back() + " --tile " + tile);
    ASSERT_EQ(run.status, 0) << tile << ": " << run.err;
    int more = 0;
    const auto at = run.out.find("of the tile, ");
    ASSERT_NE(at, std::string::npos) << run.out;
    std::sscanf(run.out.c_str() + at, "of the tile, %d more", &more);
    secondPasses += more;
  }
  EXPECT_GT(secondPasses, 0);  // the first margin alone would not have been exact
  std::vector<const char*> sources;
  std::vector<std::string> paths;
  for (const std::string& name : names) paths.push_back(dir_.In(name));
  for (const std::string& path : paths) sources.push_back(path.c_str());
  EnsureGdal();
  DatasetHandle joined(GDALBuildVRT(dir_.In("m.vrt").c_str(), static_cast<int>(sources.size()),
                                    nullptr, sources.data(), nullptr, nullptr));
  ASSERT_TRUE(joined);
  joined.reset();
  for (int band : {1, 2, 3}) {
    const std::vector<double> whole = Cells("whole.tif", band);
    ASSERT_EQ(whole.size(), 300u);
    EXPECT_EQ(Cells("m.vrt", band), whole) << "band " << band;
  }
}

// Bayesian estimation scales the guesses in each window: a tile's second
// pass must start again from the nodes' own guesses.
TEST_F(RasterRun, BayesTilesKeepTheNodesOwnGuesses) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> anywhere(0.0, 100.0);
  std::ostringstream text;
  text << "Guesses\n40\n";
  for (int i = 0; i < 40; ++i) {
    const double x = anywhere(random), y = i < 30 ? anywhere(random) / 4 : anywhere(random);
    text << x << ' ' << y << ' ' << 20 + 0.1 * x + std::sin(y) << ' ' << 19 + 0.1 * x << '\n';
  }
  text << "2500\n";
  for (int r = 0; r < 50; ++r) {
    for (int c = 0; c < 50; ++c) {
      text << 1 + 2 * c << ' ' << 99 - 2 * r << ' ' << 19 + 0.2 * c + 0.01 * r << '\n';
    }
  }
  dir_.Write("P.dfl", text.str());
  const std::string run =
      "run P.mnx bayes --interpolate --no-text --float64 scaleGuess=1 "
      "bayesPoints=5 --raster ";
  ASSERT_EQ(Run(run + "whole.tif").status, 0);
  int secondPasses = 0;
  std::vector<double> joined(2500);
  const char* tiles[] = {"0 0 50 100", "50 0 100 100"};
  for (int t = 0; t < 2; ++t) {
    const auto tile = Run(run + "half.tif --tile " + tiles[t]);
    ASSERT_EQ(tile.status, 0) << tile.err;
    int more = 0;
    const auto at = tile.out.find("of the tile, ");
    ASSERT_NE(at, std::string::npos) << tile.out;
    std::sscanf(tile.out.c_str() + at, "of the tile, %d more", &more);
    secondPasses += more;
    const std::vector<double> half = Cells("half.tif", 1);
    ASSERT_EQ(half.size(), 1250u);
    for (std::size_t i = 0; i < half.size(); ++i) joined[i / 25 * 50 + t * 25 + i % 25] = half[i];
  }
  EXPECT_GT(secondPasses, 0);
  EXPECT_EQ(joined, Cells("whole.tif", 1));
}

TEST_F(RasterRun, OptionsThatCannotGoTogetherAreRefused) {
  struct Case {
    const char* args;
    int status;
    const char* says;
  };
  const Case cases[] = {
      {"run P.mnx kriging --raster k.tif", 2, "--interpolate"},
      {"run P.mnx variogram --raster k.tif", 2, "weighting, kriging or"},
      {"run P.mnx kriging --interpolate --raster k.png", 2, "name it .tif"},
      {"run P.mnx kriging --interpolate --no-text", 2, "go with --raster"},
      {"run P.mnx kriging --interpolate --raster k.tif --tile 0 0 50", 2, "four numbers"},
      {"run P.mnx kriging --interpolate --raster k.tif --tile 0 0 50 50", 2, "--no-text"},
      {"run P.mnx weighting --interpolate --raster k.tif --no-text --tile 0 0 50 50 "
       "dwScheme=7",
       2, "trend surface"},
      {"run P.mnx kriging --interpolate --raster k.tif --no-text --tile 500 500 600 600", 1,
       "no node"},
      {"run P.mnx kriging --interpolate --raster k.tif --no-text", 1, "not a regular grid"},
  };
  for (const Case& c : cases) {
    // The last case: a scattered network.
    if (&c == &cases[std::size(cases) - 1]) {
      dir_.Write("P.dfl", "x\n4\n0 0 1\n10 0 2\n0 10 3\n10 10 4\n3\n1 1\n2 5\n7 3\n");
    }
    const auto run = Run(c.args);
    EXPECT_EQ(run.status, c.status) << c.args;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << c.args << ": " << run.err;
    EXPECT_FALSE(dir_.Exists("k.tif")) << c.args;
  }
}

// A data file as a run reads it, repeat counts and a record over two lines
// included, is read alike by every command after the run.
TEST(DataFileReadAlike, RepeatCountsRunAndExportWithoutRounding) {
  ScopedTempDir dir;
  ASSERT_EQ(testing::RunBatch(dir, "new P.mnx").status, 0);
  dir.Write("P.dfl",
            "Repeats\n5\n2*0 10\n100.123456 0 20\n0 100.5 30\n100 100\n 40\n"
            "3*50.25\n");
  const auto grid = testing::RunBatch(dir, "grid P.mnx --spacing 25.5 --extent 0 0 102 102");
  ASSERT_EQ(grid.status, 0) << grid.err;
  const auto run = testing::RunBatch(dir, "run P.mnx kriging --interpolate krigPoints=4");
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* output : {"e.tif", "e.csv"}) {
    const auto exported = testing::RunBatch(dir, std::string("export P.mnx ") + output);
    EXPECT_EQ(exported.status, 0) << output << ": " << exported.err;
    EXPECT_EQ(exported.err, "") << output;
    EXPECT_NE(exported.out.find("positions from P.dfl"), std::string::npos) << exported.out;
  }
  // The network's positions as the data file gives them, not the .dat's
  // one decimal.
  EXPECT_NE(dir.Read("e.csv").find("12.75,12.75"), std::string::npos) << dir.Read("e.csv");
}

}  // namespace
}  // namespace mornax::geo
