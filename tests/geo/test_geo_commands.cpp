// The grid, import and crs commands run as the batch tool: what they print,
// their exit statuses, and files left as they were on every refusal.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/batch_run.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::ScopedTempDir;

using Result = testing::BatchResult;

Result Batch(const ScopedTempDir& dir, const std::string& args) {
  return testing::RunBatch(dir, args);
}

constexpr std::string_view kData =
    "Four wells\n4\n0 0 10\n100 0 20\n0 100 30\n100 100 40\n2\n25 25\n75 75\n";

class GeoCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(MORNAX_BINARY_DIR "/cli/mornax-batch"));
    ASSERT_EQ(Batch(dir_, "new P.mnx").status, 0);
    dir_.Write("P.dfl", kData);
  }
  // Runs a command that must be refused with `status`, the message holding
  // `text`, and no file of the project changed.
  void ExpectRefused(const std::string& args, int status, const std::string& text) {
    const std::string before = dir_.Read("P.dfl");
    const std::string crs = dir_.Read("P.crs.wkt");
    const Result result = Batch(dir_, args);
    EXPECT_EQ(result.status, status) << args;
    EXPECT_NE(result.err.find(text), std::string::npos) << args << ": " << result.err;
    EXPECT_EQ(result.out, "") << args;
    EXPECT_EQ(dir_.Read("P.dfl"), before) << args;
    EXPECT_EQ(dir_.Read("P.crs.wkt"), crs) << args;
  }
  ScopedTempDir dir_;
};

TEST_F(GeoCommands, GridPrintsItsSizeAndWritesTheNodes) {
  const Result grid = Batch(dir_, "grid P.mnx --spacing 50 --margin=0");
  EXPECT_EQ(grid.status, 0) << grid.err;
  EXPECT_TRUE(grid.out.starts_with("2 x 2 = 4 nodes, spacing 50 x 50, extent 0 0 100 100\n"))
      << grid.out;
  EXPECT_EQ(dir_.Read("P.dfl"),
            "Four wells\n4\n0 0 10\n100 0 20\n0 100 30\n100 100 40\n4\n25 75\n75 75\n25 25\n"
            "75 25\n");

  const Result shifted = Batch(dir_,
                               "grid P.mnx --spacing 100 --spacing-y 50 --extent -100 -50 "
                               "100 50 --guess -1.5");
  EXPECT_EQ(shifted.status, 0) << shifted.err;
  EXPECT_TRUE(shifted.out.starts_with("2 x 2 = 4 nodes, spacing 100 x 50, extent -100 -50 100 50"))
      << shifted.out;
  EXPECT_TRUE(
      dir_.Read("P.dfl").ends_with("4\n-50 25 -1.5\n50 25 -1.5\n-50 -25 -1.5\n50 -25 -1.5\n"));
}

TEST_F(GeoCommands, GridRefusesBadUsageAndBadValuesLeavingTheDataFile) {
  for (const char* args : {"grid P.mnx", "grid P.mnx --spacing abc", "grid P.mnx --spacing",
                           "grid P.mnx --spacing 1 --extent 0 0 1", "grid --spacing 1",
                           "grid P.mnx --spacing 1 --extent 0 0 9 9 --margin 1",
                           "grid P.mnx --spacing 1 --guess 1 --guess-raster g.tif",
                           "grid P.mnx --spacing 1 --colour red", "grid P.mnx Q.mnx --spacing 1"}) {
    ExpectRefused(args, 2, "usage: mornax-batch");
  }
  ExpectRefused("grid P.mnx --spacing 0", 1, "--spacing must be a finite number above zero, not 0");
  ExpectRefused("grid P.mnx --spacing -5", 1, "not -5");
  ExpectRefused("grid P.mnx --spacing inf", 1, "not inf");
  ExpectRefused("grid P.mnx --spacing 1 --spacing-y nan", 1, "--spacing-y must be");
  ExpectRefused("grid P.mnx --spacing 1 --extent 0 0 10 0", 1, "--extent 0 0 10 0 has no area");
  ExpectRefused("grid P.mnx --spacing 0.001", 1, "more than 100000000");
  ExpectRefused("grid P.mnx --spacing 1 --guess-raster none.tif", 1, "none.tif");
  ExpectRefused("grid NONE.mnx --spacing 1", 2, "NONE.mnx");

  dir_.Write("P.dfl", "Guessed\n1\n0 0 1 2\n0\n");
  ExpectRefused("grid P.mnx --spacing 1", 1, "give --guess-raster FILE or --guess V");
  std::filesystem::remove(dir_.path() / "P.dfl");
  ExpectRefused(
      "grid P.mnx --spacing 1", 1,
      "P.dfl does not exist yet: import the data points first (mornax-batch import P.mnx");
}

TEST_F(GeoCommands, ImportReportsWhatItTookAndKeepsTheNetwork) {
  dir_.Write("wells.csv", "x,y,level,prior\n1.5,2,3,3\n4,5,-1,6\n7,8,,9\n1.5,2,3.5,3\n");
  const Result imported = Batch(dir_, "import P.mnx wells.csv --z level --guess prior");
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out,
            "read 4 features from layer 'wells' of wells.csv\n"
            "took 3, dropped 1: 1 with a null or non-numeric value\n"
            "  feature 3: 'level' is null\n"
            "wrote P.dfl: 3 data points with guesses; its network kept\n");
  EXPECT_EQ(dir_.Read("P.dfl"),
            "Four wells\n3\n1.5 2 3 3\n4 5 -1 6\n1.5 2 3.5 3\n2\n25 25\n75 75\n");

  // Under a log transform the value below zero is dropped too.
  ASSERT_EQ(Batch(dir_, "set P.mnx logTransform=1").status, 0);
  const Result logged = Batch(dir_, "import P.mnx wells.csv --z level --title 'Log wells'");
  EXPECT_EQ(logged.status, 0) << logged.err;
  EXPECT_NE(logged.out.find("1 with a value not above zero"), std::string::npos) << logged.out;
  EXPECT_EQ(dir_.Read("P.dfl"), "Log wells\n2\n1.5 2 3\n1.5 2 3.5\n2\n25 25\n75 75\n");
}

TEST_F(GeoCommands, ImportRefusesUnusableSourcesAndOptions) {
  dir_.Write("wells.csv", "x,y,level\n1,2,3\n");
  dir_.Write("empty.csv", "x,y,level\n");
  dir_.Write("nocoords.csv", "a,b,level\n1,2,3\n");
  ExpectRefused("import P.mnx wells.csv", 2, "--z FIELD");
  ExpectRefused("import P.mnx wells.csv --z level --x a", 2, "both --x and --y");
  ExpectRefused("import P.mnx --z level", 2, "usage");
  ExpectRefused("import P.mnx none.csv --z level", 1, "cannot read none.csv");
  ExpectRefused("import P.mnx wells.csv --z depth", 1, "no field 'depth' (--z); its fields: x, y");
  ExpectRefused("import P.mnx empty.csv --z level", 1, "of empty.csv is empty");
  ExpectRefused("import P.mnx nocoords.csv --z level", 1, "has no point geometry");
  ExpectRefused("import P.mnx wells.csv --z level --layer other", 1, "has no layer 'other'");
  dir_.Write("P.crs.wkt", "GEOGCS[");
  ExpectRefused("import P.mnx wells.csv --z level", 1, "P.crs.wkt");
}

TEST_F(GeoCommands, CrsIsStoredShownTransformedIntoAndRemoved) {
  const Result set = Batch(dir_, "crs P.mnx EPSG:32633");
  EXPECT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.out, "P.crs.wkt: WGS 84 / UTM zone 33N (EPSG:32633)\n");
  EXPECT_TRUE(Batch(dir_, "show P.mnx")
                  .out.ends_with("lagD = 200\ncrs = WGS 84 / UTM zone 33N (EPSG:32633)\n"));

  ExpectRefused("crs P.mnx EPSG:123456789", 1, "GDAL cannot parse the coordinate system");
  ExpectRefused("crs P.mnx missing.prj", 1, "cannot read missing.prj");
  ExpectRefused("crs P.mnx", 2, "usage");

  dir_.Write("points.geojson",
             R"({"type":"FeatureCollection","features":[{"type":"Feature",)"
             R"("properties":{"level":4},"geometry":{"type":"Point","coordinates":[15,0]}}]})");
  const Result imported = Batch(dir_, "import P.mnx points.geojson --z level");
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_NE(imported.out.find("transformed 1 point from WGS 84 (EPSG:4326) to the project's "
                              "WGS 84 / UTM zone 33N (EPSG:32633)"),
            std::string::npos)
      << imported.out;
  // UTM zone 33's central meridian lies 500000 m east.
  double x = 0, y = 0, z = 0;
  ASSERT_EQ(std::sscanf(dir_.Read("P.dfl").c_str(), "Four wells\n1\n%lf %lf %lf", &x, &y, &z), 3);
  EXPECT_NEAR(x, 500000, 1e-6);
  EXPECT_NEAR(y, 0, 1e-6);
  EXPECT_EQ(z, 4);

  const Result removed = Batch(dir_, "crs P.mnx none");
  EXPECT_EQ(removed.status, 0);
  EXPECT_FALSE(dir_.Exists("P.crs.wkt"));
  EXPECT_TRUE(Batch(dir_, "show P.mnx").out.ends_with("lagD = 200\n"));
}

TEST_F(GeoCommands, BadInputsAreNamedWithWhatToDoNext) {
  ASSERT_EQ(Batch(dir_, "crs P.mnx EPSG:28992").status, 0);
  dir_.Write("lonlat.csv", "lon,lat,level\n5.1,52.1,3\n");
  dir_.Write("inf.csv", "WKT,level\n\"POINT (1e400 41000)\",3\n");
  const struct {
    const char* args;
    int status;
    const char* message;
  } refused[] = {
      {"crs P.mnx 28992", 1, "did you mean EPSG:28992 (Amersfoort / RD New)?"},
      {"import P.mnx lonlat.csv --z level", 1, "--crs EPSG:4326"},
      {"import P.mnx lonlat.csv --z level --crs 4326", 1, "--crs: '4326' alone"},
      {"import P.mnx inf.csv --z level", 1, "1 with a coordinate that is not a finite number"},
      {"grid P.mnx --spacing 1e10 --extent 0 0 1 1", 1, "that the grid has no node"},
      {"grid P.mnx --spacing 1e-310", 1, "is too small for the grid's coordinates"},
      {"grid P.mnx --spacing 1e-9 --extent 1e6 1e6 1000000.00001 1000000.00001", 1,
       "--spacing 1e-09 is too fine for coordinates near 1000000.00001"},
      {"grid P.mnx --spacing 1 --hull 1 --extent 500 500 600 600", 1, "no node of the 100 x 100"},
      {"grid P.mnx --like none.tif", 1, "GDAL cannot read the raster none.tif"},
      {"grid P.mnx --like g.tif --spacing 1", 2, "--like takes the raster's cells"},
      {"grid P.mnx --spacing 1 --clip none.gpkg", 1, "cannot read none.gpkg: no such file"},
      {"grid P.mnx --spacing 1 --clip lonlat.csv", 1, "--clip takes a layer of polygons"}};
  for (const auto& [args, status, message] : refused) ExpectRefused(args, status, message);
  dir_.Write("P.dfl", "No points yet\n0\n0\n");
  ExpectRefused("grid P.mnx --spacing 10", 1, "import them first (mornax-batch import");
}

TEST_F(GeoCommands, ClippedNetworksExportWithNodataOutside) {
  dir_.Write("P.dfl", "Five wells\n5\n0 0 10\n100 0 20\n0 100 30\n100 100 40\n50 120 35\n0\n");
  dir_.Write("area.geojson",
             R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},)"
             R"("geometry":{"type":"Polygon","coordinates":[[[0,0],[60,0],[60,60],[0,60],[0,0]],)"
             R"([[20,20],[20,40],[40,40],[40,20],[20,20]]]}}]})");
  const Result clipped = Batch(dir_, "grid P.mnx --spacing 10 --clip area.geojson --hull");
  ASSERT_EQ(clipped.status, 0) << clipped.err;
  // 6 x 6 nodes inside the square, less the 2 x 2 in its hole.
  EXPECT_NE(clipped.out.find("kept 32 nodes inside the polygons and near the data points' hull"),
            std::string::npos)
      << clipped.out;
  ASSERT_EQ(Batch(dir_, "run P.mnx weighting --interpolate dwScheme=1").status, 0);
  const Result exported = Batch(dir_, "export P.mnx clipped.tif");
  EXPECT_EQ(exported.status, 0) << exported.err;
  EXPECT_NE(exported.out.find("6 x 6 cells of 10 x 10, band estimate, 4 nodata cells"),
            std::string::npos)
      << exported.out;

  // A raster's cells as the network.
  const Result like = Batch(dir_, "grid P.mnx --like clipped.tif");
  EXPECT_EQ(like.status, 0) << like.err;
  EXPECT_TRUE(like.out.starts_with("6 x 6 = 36 nodes, spacing 10 x 10, extent 0 0 60 60\n"))
      << like.out;
}

TEST_F(GeoCommands, ImportAdoptsTheSourcesSystemWhenTheProjectHasNone) {
  dir_.Write(
      "rd.geojson",
      R"({"type":"FeatureCollection","crs":{"type":"name","properties":{"name":)"
      R"("urn:ogc:def:crs:EPSG::28992"}},"features":[{"type":"Feature",)"
      R"("properties":{"level":4},"geometry":{"type":"Point","coordinates":[155000,463000]}}]})");
  const Result imported = Batch(dir_, "import P.mnx rd.geojson --z level");
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_NE(imported.out.find("takes the source's Amersfoort / RD New (EPSG:28992)\nstored the "
                              "coordinate system in P.crs.wkt"),
            std::string::npos)
      << imported.out;
  EXPECT_TRUE(Batch(dir_, "show P.mnx").out.ends_with("crs = Amersfoort / RD New (EPSG:28992)\n"));
}

TEST_F(GeoCommands, AFolderThatCannotBeWrittenLeavesTheFilesAsTheyWere) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes in any folder";
  std::filesystem::create_directory(dir_.path() / "locked");
  std::filesystem::copy_file(dir_.path() / "P.mnx", dir_.path() / "locked/P.mnx");
  dir_.Write("locked/P.dfl", kData);
  ::chmod((dir_.path() / "locked").c_str(), 0555);
  const Result grid = Batch(dir_, "grid locked/P.mnx --spacing 10");
  const Result crs = Batch(dir_, "crs locked/P.mnx EPSG:4326");
  ::chmod((dir_.path() / "locked").c_str(), 0755);
  EXPECT_EQ(grid.status, 1);
  EXPECT_NE(grid.err.find("cannot write in the folder locked"), std::string::npos) << grid.err;
  EXPECT_EQ(crs.status, 1);
  EXPECT_EQ(dir_.Read("locked/P.dfl"), kData);
  EXPECT_FALSE(dir_.Exists("locked/P.crs.wkt"));
}

}  // namespace
}  // namespace mornax
