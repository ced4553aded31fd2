// mornax-batch export run as a program on result files written by the test:
// round trips through GDAL, contours of a known plane, points, residuals, and
// every refused input leaving existing files as they were.
#include <gdal.h>
#include <gtest/gtest.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "geo/gdal_handles.h"
#include "geo/gdal_session.h"
#include "geo/partial_files.h"
#include "project/project.h"
#include "support/batch_run.h"
#include "support/temp_dir.h"

namespace mornax::geo {
namespace {

using testing::ScopedTempDir;

using Result = testing::BatchResult;

Result Batch(const ScopedTempDir& dir, const std::string& args, const std::string& env = "") {
  return testing::RunBatch(dir, args, env);
}

std::string Format(const char* format, double a, double b = 0, double c = 0, double d = 0) {
  char line[128];
  std::snprintf(line, sizeof line, format, a, b, c, d);
  return line;
}

// A 30 x 20 grid of UTM-like nodes, 25 m apart, listed from the bottom row
// up as the engine lists a network; the estimate is the plane below.
constexpr int kCols = 30, kRows = 20;
constexpr double kX0 = 512012.5, kY0 = 5400012.5, kSpacing = 25.0;
double NodeX(int c) {
  return kX0 + kSpacing * c;
}
double NodeY(int r) {
  return kY0 + kSpacing * r;
}
double Plane(double x, double y) {
  return 50.0 + 0.02 * (x - kX0) - 0.01 * (y - kY0);
}
bool Absent(int c, int r) {
  return c == 4 && r == 7;
}  // a node not in the network
bool Asterisks(int c, int r) {
  return c == 10 && r == 15;
}  // an estimate written as *****

class ExportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(MORNAX_BINARY_DIR "/cli/mornax-batch"))
        << "build the mornax-batch target first";
    EnsureGdal();
    project::Records records;
    project::SetDefaults(records);
    std::string error;
    ASSERT_TRUE(project::WriteDocumentFile(dir_.path() / "P.mnx", records, error)) << error;
  }

  // The data file and kriging results of the grid; `written` network points
  // have results (a stopped run writes fewer).
  void WriteKrigingGrid(int written = kCols * kRows) {
    std::string dfl = "Plane test\n3\n512000 5400000 1\n512100 5400100 2\n512200 5400300 3\n";
    std::string network, dat, wl, lev;
    int m = 0;
    for (int r = 0; r < kRows; ++r) {
      for (int c = 0; c < kCols; ++c) {
        if (Absent(c, r)) continue;
        const double x = NodeX(c), y = NodeY(r);
        network += Format("%.1f %.1f\n", x, y);
        if (m++ >= written) continue;
        std::string estimate = Format("%15.5f", Plane(x, y));
        if (Asterisks(c, r)) estimate = std::string(15, '*');
        dat += Format("  %15.1f%15.1f", x, y) + estimate + Format("%15.5f\n", 1.0 + 0.001 * c);
        wl += Format("%15.5f%15.5f", x, y) + estimate + "\n";
        lev += estimate + "\n";
      }
    }
    dir_.Write("P.dfl", dfl + std::to_string(m) + "\n" + network);
    dir_.Write("P.dat",
               Format("%5.0f%5.0f%5.0f", 0, m, 0) + " ;" + std::string(40, ' ') + "STD\n" + dat);
    dir_.Write("P.wl", wl);
    dir_.Write("P.lev", "    3 ;\n      55\n      60\n      65\n" + lev);
  }

  // A cols x rows kriging grid on the plane z = 20 + col + row, every node
  // estimated, and a level list (of logarithms when `logLevels`).
  void WriteGrid(int cols, int rows, bool logLevels = false) {
    std::string dfl = "Grid\n1\n0 0 1\n" + std::to_string(cols * rows) + "\n";
    std::string dat =
        Format("%5.0f%5.0f%5.0f", 0, cols * rows, 0) + " ;" + std::string(40, ' ') + "STD\n";
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < cols; ++c) {
        dfl += Format("%.1f %.1f\n", 10.0 * c, 10.0 * r);
        dat += Format("  %15.1f%15.1f%15.5f%15.5f\n", 10.0 * c, 10.0 * r, 20.0 + c + r, 1.5);
      }
    }
    dir_.Write("P.dfl", dfl);
    dir_.Write("P.dat", dat);
    dir_.Write("P.lev",
               logLevels ? "    2 ;\n       3\n       4\n" : "    2 ;\n      22\n      24\n");
  }

  void SetDocument(int logTransform) {
    project::Records records;
    project::SetDefaults(records);
    records.svar.logTransform = logTransform;
    records.ipl.krigPoints = 7;
    std::string error;
    ASSERT_TRUE(project::WriteDocumentFile(dir_.path() / "P.mnx", records, error)) << error;
  }

  ScopedTempDir dir_;
};

// A dataset's metadata item, or "" when it has none.
std::string Item(GDALMajorObjectH object, const char* name, const char* domain = nullptr) {
  const char* value = GDALGetMetadataItem(object, name, domain);
  return value != nullptr ? value : "";
}

TEST_F(ExportCommand, GeoTiffsSayWhatTheyAre) {
  WriteGrid(600, 3);
  SetDocument(1);
  struct Case {
    const char* args;
    int overviews;
    const char* layout;
  };
  for (const Case& c : {Case{"export P.mnx out.tif --layer all --unit mg/l", 2, ""},
                        Case{"export P.mnx cog.tif --layer all --unit mg/l --cog", 1, "COG"}}) {
    const Result result = Batch(dir_, c.args);
    ASSERT_EQ(result.status, 0) << c.args << "\n" << result.err;
    const std::string name = std::string(c.args).substr(13, 7);
    DatasetHandle tif(GDALOpen((dir_.path() / name).c_str(), GA_ReadOnly));
    ASSERT_TRUE(tif) << name;
    EXPECT_EQ(Item(tif.get(), "COMPRESSION", "IMAGE_STRUCTURE"), "DEFLATE") << name;
    EXPECT_EQ(Item(tif.get(), "LAYOUT", "IMAGE_STRUCTURE"), c.layout) << name;
    EXPECT_EQ(Item(tif.get(), "MORNAX_METHOD"), "kriging") << name;
    EXPECT_EQ(Item(tif.get(), "MORNAX_NEIGHBOURS"), "7") << name;
    EXPECT_EQ(Item(tif.get(), "MORNAX_LOG_TRANSFORM").rfind("1 (", 0), 0u) << name;
    GDALRasterBandH estimate = GDALGetRasterBand(tif.get(), 1);
    GDALRasterBandH std = GDALGetRasterBand(tif.get(), 2);
    int block[2];
    GDALGetBlockSize(estimate, &block[0], &block[1]);
    EXPECT_EQ(block[0], 256) << name;
    EXPECT_GE(GDALGetOverviewCount(estimate), c.overviews) << name;
    EXPECT_STREQ(GDALGetRasterUnitType(estimate), "mg/l");
    // Under the log transform kriging's standard error is a factor.
    EXPECT_STREQ(GDALGetDescription(std), "std_error");
    EXPECT_STREQ(GDALGetRasterUnitType(std), "factor");
    EXPECT_NE(Item(std, "MEANING").find("a factor"), std::string::npos) << name;
  }
  const Result usage = Batch(dir_, "export P.mnx out.gpkg --cog");
  EXPECT_EQ(usage.status, 2);
  EXPECT_NE(usage.err.find("--cog"), std::string::npos);
}

TEST_F(ExportCommand, LogTransformLevelsAndTheOtherRefusals) {
  WriteGrid(10, 10, true);  // the .lev list of ln z: 3 and 4
  SetDocument(1);
  Result result = Batch(dir_, "export P.mnx lines.gpkg");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("natural logarithms"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("levels (20 to 38)"), std::string::npos) << result.out;
  result = Batch(dir_, "export P.mnx lines.gpkg --levels lev");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("natural logarithms"), std::string::npos) << result.err;

  // The .prj of a Shapefile named like another project is that project's
  // coordinate system.
  dir_.Write("Q.mnx", dir_.Read("P.mnx"));
  dir_.Write("Q.prj", "Q's system");
  result = Batch(dir_, "export P.mnx q.shp");
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("project Q.mnx"), std::string::npos) << result.err;
  EXPECT_EQ(dir_.Read("Q.prj"), "Q's system");
  EXPECT_FALSE(dir_.Exists("q.shp"));

  // Leftovers of a killed export are swept; after the system is removed a
  // new export leaves no .prj of the old one.
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  dir_.Write(PartialStem("lines", dead, 0) + ".shp", "left");
  dir_.Write("P.prj", "EPSG:32633");
  ASSERT_EQ(Batch(dir_, "export P.mnx lines.shp").status, 0);
  EXPECT_TRUE(dir_.Exists("lines.prj"));
  std::filesystem::remove(dir_.path() / "P.prj");
  result = Batch(dir_, "export P.mnx lines.shp");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_FALSE(dir_.Exists("lines.prj"));
  EXPECT_FALSE(dir_.Exists(PartialStem("lines", dead, 0) + ".shp"));
}

TEST_F(ExportCommand, ACutResultFileIsNamedAndItsLastRecordLeftOut) {
  WriteGrid(4, 3);
  std::string dat = dir_.Read("P.dat");
  dat.resize(dat.size() - 1 - 15 - 13);  // the last estimate 25.00000 cut to "2"
  dir_.Write("P.dat", dat);
  const Result result = Batch(dir_, "export P.mnx cut.csv");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("P.dat ends inside a record: line 13"), std::string::npos)
      << result.err;
  EXPECT_EQ(result.err.find("stopped"), std::string::npos) << result.err;
  const std::string csv = dir_.Read("cut.csv");
  EXPECT_NE(csv.find("\n30,20,,\n"), std::string::npos) << csv;  // nodata, not 2
}

TEST_F(ExportCommand, GeoTiffRoundTrip) {
  WriteKrigingGrid();
  OGRSpatialReferenceH utm = OSRNewSpatialReference(nullptr);
  ASSERT_EQ(OSRImportFromEPSG(utm, 32633), OGRERR_NONE);
  char* wkt = nullptr;
  OSRExportToWkt(utm, &wkt);
  dir_.Write("P.prj", wkt);
  CPLFree(wkt);

  // The estimate written as asterisks is exported as nodata, and said.
  const Result result = Batch(dir_, "export P.mnx grid.tif --layer all");
  ASSERT_EQ(result.status, 1) << result.err;
  EXPECT_NE(result.out.find("30 x 20 cells"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("2 nodata cells"), std::string::npos) << result.out;
  EXPECT_NE(result.err.find("1 network points of P.dat hold a value written as asterisks"),
            std::string::npos)
      << result.err;

  DatasetHandle tif(GDALOpen((dir_.path() / "grid.tif").c_str(), GA_ReadOnly));
  ASSERT_TRUE(tif);
  ASSERT_EQ(GDALGetRasterXSize(tif.get()), kCols);
  ASSERT_EQ(GDALGetRasterYSize(tif.get()), kRows);
  ASSERT_EQ(GDALGetRasterCount(tif.get()), 2);
  double transform[6];
  ASSERT_EQ(GDALGetGeoTransform(tif.get(), transform), CE_None);
  EXPECT_DOUBLE_EQ(transform[0], kX0 - kSpacing / 2);
  EXPECT_DOUBLE_EQ(transform[1], kSpacing);
  EXPECT_DOUBLE_EQ(transform[3], NodeY(kRows - 1) + kSpacing / 2);
  EXPECT_DOUBLE_EQ(transform[5], -kSpacing);
  OGRSpatialReferenceH written = OSRNewSpatialReference(GDALGetProjectionRef(tif.get()));
  EXPECT_TRUE(OSRIsSame(written, utm));
  OSRDestroySpatialReference(written);
  OSRDestroySpatialReference(utm);

  GDALRasterBandH estimate = GDALGetRasterBand(tif.get(), 1);
  EXPECT_STREQ(GDALGetDescription(estimate), "estimate");
  EXPECT_STREQ(GDALGetDescription(GDALGetRasterBand(tif.get(), 2)), "std_error");
  EXPECT_EQ(GDALGetRasterDataType(estimate), GDT_Float32);
  int hasNodata = 0;
  const double nodata = GDALGetRasterNoDataValue(estimate, &hasNodata);
  ASSERT_TRUE(hasNodata);
  std::vector<float> cells(kCols * kRows);
  ASSERT_EQ(GDALRasterIO(estimate, GF_Read, 0, 0, kCols, kRows, cells.data(), kCols, kRows,
                         GDT_Float32, 0, 0),
            CE_None);
  for (int row = 0; row < kRows; ++row) {
    for (int c = 0; c < kCols; ++c) {
      const int r = kRows - 1 - row;  // raster rows from the top
      const float value = cells[row * kCols + c];
      if (Absent(c, r) || Asterisks(c, r)) {
        EXPECT_EQ(value, nodata) << c << " " << r;
      } else {
        const double expected = std::round(Plane(NodeX(c), NodeY(r)) * 1e5) / 1e5;
        EXPECT_EQ(value, static_cast<float>(expected)) << c << " " << r;
      }
    }
  }
}

TEST_F(ExportCommand, AsciiGridCornersAndValues) {
  WriteKrigingGrid();
  const Result result = Batch(dir_, "export P.mnx grid.asc");
  ASSERT_EQ(result.status, 1) << result.err;  // the asterisks are said
  const std::string text = dir_.Read("grid.asc");
  EXPECT_EQ(text.rfind("ncols        30\nnrows        20\nxllcorner    512000.0", 0), 0u)
      << text.substr(0, 200);
  EXPECT_NE(text.find("yllcorner    5400000.0"), std::string::npos);
  EXPECT_NE(text.find("cellsize     25.0"), std::string::npos);
  EXPECT_NE(text.find("NODATA_value  -9999"), std::string::npos);
  EXPECT_FALSE(dir_.Exists("grid.prj"));  // the project has no coordinate system
  // The first value is the top-left node, the last the bottom-right.
  DatasetHandle asc(GDALOpen((dir_.path() / "grid.asc").c_str(), GA_ReadOnly));
  ASSERT_TRUE(asc);
  double corners[2];
  GDALRasterBandH band = GDALGetRasterBand(asc.get(), 1);
  ASSERT_EQ(GDALRasterIO(band, GF_Read, 0, 0, 1, 1, &corners[0], 1, 1, GDT_Float64, 0, 0), CE_None);
  ASSERT_EQ(
      GDALRasterIO(band, GF_Read, kCols - 1, kRows - 1, 1, 1, &corners[1], 1, 1, GDT_Float64, 0, 0),
      CE_None);
  EXPECT_NEAR(corners[0], Plane(NodeX(0), NodeY(kRows - 1)), 1e-5);
  EXPECT_NEAR(corners[1], Plane(NodeX(kCols - 1), NodeY(0)), 1e-5);
}

// The contour lines of `path` (layer 0): level and vertices.
std::vector<std::pair<double, std::vector<std::pair<double, double>>>> ReadLines(
    const std::filesystem::path& path) {
  std::vector<std::pair<double, std::vector<std::pair<double, double>>>> lines;
  DatasetHandle dataset(GDALOpenEx(path.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr));
  if (!dataset) return lines;
  OGRLayerH layer = GDALDatasetGetLayer(dataset.get(), 0);
  OGR_L_ResetReading(layer);
  while (FeatureHandle feature{OGR_L_GetNextFeature(layer)}) {
    OGRGeometryH geometry = OGR_F_GetGeometryRef(feature.get());
    std::vector<std::pair<double, double>> points;
    for (int k = 0; k < OGR_G_GetPointCount(geometry); ++k) {
      points.emplace_back(OGR_G_GetX(geometry, k), OGR_G_GetY(geometry, k));
    }
    lines.emplace_back(
        OGR_F_GetFieldAsDouble(feature.get(), OGR_F_GetFieldIndex(feature.get(), "level")), points);
  }
  return lines;
}

TEST_F(ExportCommand, ContoursOfAKnownPlane) {
  WriteKrigingGrid();
  // The plane runs from about 50 - 4.75 to 50 + 14.5; the .lev levels 55,
  // 60, 65 and given levels 48 and 52.5.
  for (const auto& [args, levels] : std::vector<std::pair<std::string, std::vector<double>>>{
           {"export P.mnx lines.gpkg", {55, 60}},
           {"export P.mnx lines.geojson --levels=48,52.5", {48, 52.5}},
           {"export P.mnx lines.shp --levels 52.5", {52.5}}}) {
    const Result result = Batch(dir_, args);
    ASSERT_EQ(result.status, 1) << args << "\n" << result.err;  // the asterisks are said
    const std::string output = args.substr(13, args.find(' ', 13) - 13);
    const auto lines = ReadLines(dir_.path() / output);
    ASSERT_FALSE(lines.empty()) << args;
    std::vector<double> seen;
    for (const auto& [level, points] : lines) {
      if (std::find(seen.begin(), seen.end(), level) == seen.end()) seen.push_back(level);
      for (const auto& [x, y] : points) {
        const bool inside =
            x >= NodeX(0) && x <= NodeX(kCols - 1) && y >= NodeY(0) && y <= NodeY(kRows - 1);
        // Away from the nodata nodes the line lies where the plane has its
        // level (the plane is linear, so interpolation along cell edges is
        // exact up to the five decimals written).
        const bool nearHole =
            std::abs(x - NodeX(4)) < 2 * kSpacing && std::abs(y - NodeY(7)) < 2 * kSpacing;
        const bool nearStars =
            std::abs(x - NodeX(10)) < 2 * kSpacing && std::abs(y - NodeY(15)) < 2 * kSpacing;
        if (inside && !nearHole && !nearStars) {
          EXPECT_NEAR(Plane(x, y), level, 1e-4) << args;
        }
      }
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, levels) << args;
  }
  // auto: round levels inside the range.
  const Result result = Batch(dir_, "export P.mnx auto.gpkg --levels auto");
  ASSERT_EQ(result.status, 1) << result.err;
  EXPECT_NE(result.out.find("levels (46 to 64)"), std::string::npos) << result.out;
}

TEST_F(ExportCommand, ScatteredNetworksExportAsPoints) {
  dir_.Write("P.dfl", "Scattered\n1\n0 0 1\n3\n10.123 20.456\n35.5 11.25\n7 99\n");
  dir_.Write("P.dat", "    0    3    0 ;\n" +
                          Format("%15.5f%15.5f%15.5f%5.0f\n", 10.123, 20.456, 1.5, 1) +
                          Format("%15.5f%15.5f%15.5f%5.0f\n", 35.5, 11.25, 2.5, 2) +
                          Format("%15.5f%15.5f", 7, 99) + "            NaN    3\n");
  dir_.Write("old.tif", "previous export");
  Result result = Batch(dir_, "export P.mnx old.tif");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("not a regular grid"), std::string::npos) << result.err;
  EXPECT_EQ(dir_.Read("old.tif"), "previous export");

  result = Batch(dir_, "export P.mnx points.csv");
  ASSERT_EQ(result.status, 1) << result.err;  // the NaN estimate is said
  EXPECT_EQ(dir_.Read("points.csv"), "x,y,estimate\n10.123,20.456,1.5\n35.5,11.25,2.5\n7,99,\n");

  result = Batch(dir_, "export P.mnx points.gpkg");
  ASSERT_EQ(result.status, 1) << result.err;
  EXPECT_NE(result.out.find("not a regular grid"), std::string::npos);
  DatasetHandle gpkg(
      GDALOpenEx((dir_.path() / "points.gpkg").c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr));
  ASSERT_TRUE(gpkg);
  OGRLayerH layer = GDALDatasetGetLayer(gpkg.get(), 0);
  EXPECT_EQ(OGR_L_GetFeatureCount(layer, TRUE), 3);
  FeatureHandle first{OGR_L_GetNextFeature(layer)};
  EXPECT_DOUBLE_EQ(OGR_G_GetX(OGR_F_GetGeometryRef(first.get()), 0), 10.123);
  EXPECT_DOUBLE_EQ(OGR_F_GetFieldAsDouble(first.get(), 0), 1.5);
}

TEST_F(ExportCommand, ResidualsOfTheErrorAnalysis) {
  dir_.Write("P.dfl", "t\n2\n100.25 200.5 5 6\n300 400 9 6\n0\n");
  std::string lst =
      " title\n         X              Y            Z      GUESS       Z*         Z-Z*      STD\n";
  lst += Format("%15.1f%15.1f%10.2f%10.2f", 100.25, 200.5, 5, 6) +
         Format("%10.2f%10.2f%10.2f\n", 6, 1, 2);
  lst +=
      Format("%15.1f%15.1f%10.2f%10.2f", 300, 400, 9, 6) + Format("%10.2f%10.2f%10.2f\n", 8, -1, 4);
  lst += "\n          Average Error =    0.00000E+00\n";
  dir_.Write("P.lst", lst);
  const Result result = Batch(dir_, "export P.mnx residuals.csv --error-analysis");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(dir_.Read("residuals.csv"),
            "x,y,measured,estimated,error,standardised_error\n100.25,200.5,5,6,1,0.5\n"
            "300,400,9,8,-1,-0.25\n");
  EXPECT_EQ(Batch(dir_, "export P.mnx residuals.gpkg --error-analysis").status, 0);
  EXPECT_TRUE(dir_.Exists("residuals.gpkg"));
}

TEST_F(ExportCommand, ResultsShorterThanTheNetworkAreExportedAndSaidSo) {
  WriteKrigingGrid(100);
  const Result result = Batch(dir_, "export P.mnx short.tif");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("100 of the 599 network points"), std::string::npos) << result.err;
  EXPECT_NE(result.out.find("500 nodata cells"), std::string::npos) << result.out;
  EXPECT_TRUE(dir_.Exists("short.tif"));
}

TEST_F(ExportCommand, BadInputIsRefusedAndLeavesFilesAsTheyWere) {
  dir_.Write("keep.tif", "old");
  dir_.Write("keep.gpkg", "old");
  const auto expectRefused = [&](const std::string& args, int status, const std::string& words,
                                 const std::string& env = "") {
    const Result result = Batch(dir_, args, env);
    EXPECT_EQ(result.status, status) << args << "\n" << result.err;
    EXPECT_NE(result.err.find(words), std::string::npos) << args << "\n" << result.err;
    EXPECT_EQ(dir_.Read("keep.tif"), "old") << args;
    EXPECT_EQ(dir_.Read("keep.gpkg"), "old") << args;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      EXPECT_FALSE(PartialOwner(entry.path().filename().string()))
          << args << " left " << entry.path();
    }
  };
  // No results yet.
  expectRefused("export P.mnx keep.tif", 1, "P.dat does not exist");
  expectRefused("export P.mnx keep.gpkg --error-analysis", 1, "P.lst does not exist");
  // Usage faults.
  expectRefused("export P.mnx", 2, "needs PROJECT.mnx and OUTPUT");
  expectRefused("export P.mnx keep.xyz", 2, "keep.xyz");
  expectRefused("export P.mnx keep.tif --layer height", 2, "'height'");
  expectRefused("export P.mnx keep.gpkg --levels 1,x", 2, "'x'");
  expectRefused("export P.mnx keep.tif --levels auto", 2, "--levels is for contour lines");
  expectRefused("export P.mnx keep.gpkg --layer all", 2, "--layer all");
  expectRefused("export P.mnx keep.tif --error-analysis", 2, "--error-analysis writes points");
  expectRefused("export P.mnx keep.tif --colour red", 2, "unknown option --colour");
  expectRefused("export None.mnx keep.tif", 2, "None.mnx");

  WriteKrigingGrid();
  // A layer the method did not write: distance weighting has no standard error.
  std::string weighting = "    0  599    0 ;\n";
  for (int i = 0; i < 4; ++i) weighting += Format("%15.5f%15.5f%15.5f%5.0f\n", i, 0, 1, i + 1);
  dir_.Write("W.dat", weighting);
  std::filesystem::copy_file(dir_.path() / "P.mnx", dir_.path() / "W.mnx");
  expectRefused("export W.mnx keep.tif --layer std", 1, "wrote no standard error");
  expectRefused("export P.mnx keep.tif --layer guess", 1, "wrote no guess");
  // Levels outside the surface, a flat surface.
  expectRefused("export P.mnx keep.gpkg --levels lev --layer std", 1, "none of the 3 levels");
  expectRefused("export P.mnx keep.gpkg --levels 1000,2000", 1, "none of the levels given");
  // A coordinate system GDAL cannot parse.
  dir_.Write("P.prj", "PROJCS[nonsense");
  expectRefused("export P.mnx keep.tif", 1, "P.prj");
  std::filesystem::remove(dir_.path() / "P.prj");
  // Output folders that are missing or cannot be written; a format this
  // GDAL lacks.
  expectRefused("export P.mnx nowhere/keep.tif", 1, "nowhere does not exist");
  expectRefused("export P.mnx /proc/keep.tif", 1, "cannot write /proc/keep.tif");
  expectRefused("export P.mnx keep.gpkg", 1, "no GPKG driver", "GDAL_SKIP=GPKG");
  // A shapefile named like the project would overwrite its .prj.
  expectRefused("export P.mnx p.shp", 2, "project P.mnx");
  EXPECT_FALSE(dir_.Exists("p.shp"));
  // Results that are not results.
  dir_.Write("P.dat", "Some other text\n");
  expectRefused("export P.mnx keep.tif", 1, "P.dat line 1");
}

TEST_F(ExportCommand, AsciiGridsNeedSquareCells) {
  // A 3 x 2 grid of 10 x 20 cells (distance weighting, five decimals).
  std::string dat = "    0    6    0 ;\n";
  for (int i = 0; i < 6; ++i) {
    dat += Format("%15.5f%15.5f%15.5f%5.0f\n", 10.0 * (i % 3), 20.0 * (i / 3), i, i + 1);
  }
  dir_.Write("P.dat", dat);
  Result result = Batch(dir_, "export P.mnx rect.asc");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("square cells"), std::string::npos) << result.err;
  EXPECT_FALSE(dir_.Exists("rect.asc"));
  result = Batch(dir_, "export P.mnx rect.tif");
  EXPECT_EQ(result.status, 1);  // exported; no data file to take positions from
  EXPECT_NE(result.out.find("3 x 2 cells of 10 x 20"), std::string::npos) << result.out;
  EXPECT_NE(result.err.find("P.dfl cannot be read"), std::string::npos) << result.err;
}

TEST_F(ExportCommand, HelpExplainsTheCommand) {
  const Result result = Batch(dir_, "export --help");
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("--error-analysis"), std::string::npos);
  EXPECT_NE(result.out.find(".gpkg"), std::string::npos);
  EXPECT_NE(Batch(dir_, "--help").out.find("export PROJECT.mnx OUTPUT"), std::string::npos);
}

}  // namespace
}  // namespace mornax::geo
