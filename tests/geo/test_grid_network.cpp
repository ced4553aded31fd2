// Regular grids in the data file: the layouts (counts, order, snapping,
// margins, refusals), the data section found by the free-form rules and kept
// byte for byte, and the network guesses from a constant or a raster.
#include <gdal_priv.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <sstream>
#include <vector>

#include "geo/data_file.h"
#include "geo/gdal_session.h"
#include "geo/grid_layout.h"
#include "geo/grid_network.h"
#include "geo/node_region.h"
#include "geo/replace_file.h"
#include "support/temp_dir.h"

namespace mornax::geo {
namespace {

using testing::ScopedTempDir;
using Extent = std::optional<std::array<double, 4>>;

GridRequest Request(double dx, double dy, Extent extent = {}, std::optional<double> margin = {}) {
  GridRequest request;
  request.dx = dx;
  request.dy = dy;
  request.extent = extent;
  request.margin = margin;
  return request;
}

NetworkGuesses Constant(double value) {
  NetworkGuesses guesses;
  guesses.constant = value;
  return guesses;
}

NetworkGuesses Raster(const std::string& name) {
  NetworkGuesses guesses;
  guesses.raster = name;
  return guesses;
}

GridLayout LayOut(GridRequest request, const std::vector<double>& x, const std::vector<double>& y) {
  GridLayout layout;
  std::string error;
  EXPECT_TRUE(LayOutGrid(request, x, y, layout, error)) << error;
  return layout;
}

std::string Refusal(GridRequest request, const std::vector<double>& x = {1.0},
                    const std::vector<double>& y = {1.0}) {
  GridLayout layout;
  std::string error;
  EXPECT_FALSE(LayOutGrid(request, x, y, layout, error));
  return error;
}

TEST(GridLayout, DefaultExtentIsTheDataBoxGrownByOneSpacingAndSnapped) {
  const GridLayout grid = LayOut(Request(10, 10), {3, 97, 40}, {12, 88, 50});
  EXPECT_EQ(grid.xmin, -10);  // 3 - 10 snapped down
  EXPECT_EQ(grid.xmax(), 110);
  EXPECT_EQ(grid.ymin, 0);  // 12 - 10 snapped down
  EXPECT_EQ(grid.ymax(), 100);
  EXPECT_EQ(grid.columns, 12);
  EXPECT_EQ(grid.rows, 10);
  EXPECT_EQ(grid.nodes(), 120);
  // Cell centres; row 0 is the top row.
  EXPECT_EQ(grid.X(0), -5);
  EXPECT_EQ(grid.X(11), 105);
  EXPECT_EQ(grid.Y(0), 95);
  EXPECT_EQ(grid.Y(9), 5);

  // A margin of zero on whole multiples adds nothing; -y spacing is its own.
  const GridLayout exact = LayOut(Request(25, 50, {}, 0), {0, 100}, {0, 100});
  EXPECT_EQ(exact.xmin, 0);
  EXPECT_EQ(exact.columns, 4);
  EXPECT_EQ(exact.rows, 2);
  EXPECT_EQ(exact.Y(0), 75);

  const GridLayout wide = LayOut(Request(10, 10, {}, 35), {0, 100}, {0, 0});
  EXPECT_EQ(wide.xmin, -40);
  EXPECT_EQ(wide.columns, 18);
  EXPECT_EQ(wide.rows, 8);

  // One point, no margin, on a multiple: still one cell.
  const GridLayout single = LayOut(Request(10, 10, {}, 0), {20}, {30});
  EXPECT_EQ(single.columns, 1);
  EXPECT_EQ(single.rows, 1);
  EXPECT_EQ(single.X(0), 25);
}

TEST(GridLayout, GivenExtentKeepsItsCornerAndGrowsToWholeCells) {
  const GridLayout whole = LayOut(Request(0.1, 0.1, {{0, 0, 1000, 500}}), {}, {});
  EXPECT_EQ(whole.columns, 10000);  // no extra cell from rounding
  EXPECT_EQ(whole.rows, 5000);
  EXPECT_FALSE(whole.widened);

  const GridLayout grown = LayOut(Request(100, 100, {{-50, -20, 1000, 480}}), {}, {});
  EXPECT_EQ(grown.xmin, -50);
  EXPECT_EQ(grown.ymin, -20);
  EXPECT_EQ(grown.columns, 11);
  EXPECT_EQ(grown.rows, 5);
  EXPECT_TRUE(grown.widened);
  EXPECT_EQ(grown.Y(0), 430);

  // Exactly the largest grid allowed.
  EXPECT_EQ(LayOut(Request(1, 1, {{0, 0, 10000, 10000}}), {}, {}).nodes(), kMostGridNodes);
}

TEST(GridLayout, RefusesBadSpacingsExtentsMarginsAndTooManyNodes) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double spacing : {0.0, -1.0, inf, nan}) {
    EXPECT_NE(Refusal(Request(spacing, 1)).find("--spacing must be"), std::string::npos);
    EXPECT_NE(Refusal(Request(1, spacing)).find("--spacing-y must be"), std::string::npos);
  }
  EXPECT_NE(Refusal(Request(1, 1, {{0, 0, 0, 10}})).find("has no area"), std::string::npos);
  EXPECT_NE(Refusal(Request(1, 1, {{0, 10, 10, 5}})).find("has no area"), std::string::npos);
  EXPECT_NE(Refusal(Request(1, 1, {{0, 0, inf, 10}})).find("finite"), std::string::npos);
  EXPECT_NE(Refusal(Request(1, 1, {}, -1)).find("--margin"), std::string::npos);
  EXPECT_NE(Refusal(Request(1, 1), {}, {}).find("give --extent"), std::string::npos);
  EXPECT_NE(Refusal(Request(1, 1), {0, nan}, {0, 1}).find("data point 2"), std::string::npos);
  const std::string tooMany = Refusal(Request(1, 1, {{0, 0, 10001, 10000}}));
  EXPECT_NE(tooMany.find("10001 x 10000 = 100010000 nodes, more than 100000000"), std::string::npos)
      << tooMany;
  EXPECT_NE(Refusal(Request(1e-300, 1e-300, {{0, 0, 1e300, 1e300}})).find("more than"),
            std::string::npos);
}

TEST(DataSection, FollowsTheFreeFormReadsToTheNetwork) {
  ScopedTempDir dir;
  // A record over two lines, commas, a repeat count, text after the third
  // number, and a count with text after it.
  const std::string data =
      "Wells, spring 2024\r\n3  points\r\n0,0\r\n10 well A\r\n2*5 7.5d0 ! B\r\n1e2 -2. 3\r\n";
  dir.Write("P.dfl", data + "1\r\n5 5\r\n");
  DataSection section;
  std::string error;
  ASSERT_TRUE(ScanDataSection(dir.In("P.dfl"), section, error)) << error;
  EXPECT_EQ(section.title, "Wells, spring 2024");
  EXPECT_EQ(section.lineEnd, "\r\n");
  EXPECT_EQ(section.count, 3);
  EXPECT_EQ(section.end, data.size());
  EXPECT_EQ(section.x, (std::vector<double>{0, 5, 100}));
  EXPECT_EQ(section.y, (std::vector<double>{0, 5, -2}));
  EXPECT_FALSE(section.guesses);  // the first and last records carry none

  dir.Write("G.dfl", "t\n2\n1 2 3 4\n5 6 7,8\n0");
  ASSERT_TRUE(ScanDataSection(dir.In("G.dfl"), section, error)) << error;
  EXPECT_TRUE(section.guesses);
  EXPECT_EQ(section.end, 20u);
  EXPECT_TRUE(section.endsWithLineEnd);

  dir.Write("E.dfl", "t\n1\n1 2 3");  // the file ends with the data section
  ASSERT_TRUE(ScanDataSection(dir.In("E.dfl"), section, error)) << error;
  EXPECT_EQ(section.end, 9u);
  EXPECT_FALSE(section.endsWithLineEnd);
  EXPECT_EQ(FindDataFile(dir.In("site/P.mnx")), dir.path() / "site/P.dfl");
  dir.Write("Q.DFL", "t\n0\n");
  EXPECT_EQ(FindDataFile(dir.In("Q.mnx")), dir.path() / "Q.DFL");
}

TEST(DataSection, NamesTheLineAndPointOfAMalformedOrShortFile) {
  ScopedTempDir dir;
  const std::pair<const char*, const char*> cases[] = {
      {"t\n2\n1 2 3\n4 x 6\n", "P.dfl line 4: 'x' is not a number (data point 2 of 2)"},
      {"t\n3\n1 2 3\n4 5 6\n", "P.dfl ends before data point 3 of 3"},
      {"t\n2\n1 2 3\n4 5\n", "P.dfl ends inside data point 2 of 2"},
      {"t\nmany\n", "P.dfl line 2: 'many' is not a number of data points"},
      {"t\n-1\n", "P.dfl line 2: '-1' is not a number of data points"},
      {"t\n2000000000\n1 2 3\n", "P.dfl ends before data point 2 of 2000000000"},
      {"t\n", "P.dfl ends after its title"},
      {"", "P.dfl is empty"},
  };
  for (const auto& [content, message] : cases) {
    dir.Write("P.dfl", content);
    DataSection section;
    std::string error;
    EXPECT_FALSE(ScanDataSection(dir.In("P.dfl"), section, error)) << content;
    EXPECT_TRUE(error.starts_with(dir.In(message))) << error;
  }
  DataSection section;
  std::string error;
  EXPECT_FALSE(ScanDataSection(dir.In("NONE.dfl"), section, error));
  EXPECT_NE(error.find("cannot read " + dir.In("NONE.dfl")), std::string::npos) << error;
}

// Writes a north-up GeoTIFF whose pixel (column c, row r) holds value(c, r).
void WriteRaster(const std::string& name, int columns, int rows, const std::array<double, 6>& gt,
                 double (*value)(int, int), std::optional<double> noData = std::nullopt) {
  EnsureGdal();
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
  GDALDataset* dataset = driver->Create(name.c_str(), columns, rows, 1, GDT_Float64, nullptr);
  ASSERT_NE(dataset, nullptr);
  std::array<double, 6> transform = gt;
  dataset->SetGeoTransform(transform.data());
  std::vector<double> pixels;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) pixels.push_back(value(c, r));
  }
  GDALRasterBand* band = dataset->GetRasterBand(1);
  if (noData) band->SetNoDataValue(*noData);
  ASSERT_EQ(band->RasterIO(GF_Write, 0, 0, columns, rows, pixels.data(), columns, rows, GDT_Float64,
                           0, 0, nullptr),
            CE_None);
  GDALClose(dataset);
}

// The network lines of a data file after its data section.
std::vector<std::string> NetworkLines(const std::string& content, std::size_t from) {
  std::istringstream in(content.substr(from));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

constexpr std::string_view kDataSection =
    "Odd but valid:  keep me\n4 ! four wells\n0, 0, 1.50 first\n100 0\n2.5\n"
    "0 100 3.25e0\n100,100,4\n";

TEST(GridNetwork, ReplacesOnlyTheNetworkKeepingEveryByteBeforeIt) {
  ScopedTempDir dir;
  dir.Write("P.dfl", std::string(kDataSection) + "2\n1 1\n2 2\n");
  GridLayout layout;
  std::string error;
  ASSERT_TRUE(WriteGridNetwork(dir.In("P.dfl"), Request(50, 50, {}, 0), {}, layout, error))
      << error;
  const std::string written = dir.Read("P.dfl");
  ASSERT_TRUE(written.starts_with(kDataSection));
  EXPECT_EQ(NetworkLines(written, kDataSection.size()),
            (std::vector<std::string>{"4", "25 75", "75 75", "25 25", "75 25"}));

  // Again over the grid just written, with CRLF lines and no final line end.
  std::string crlf = "T\r\n1\r\n0.1 0.2 3";
  dir.Write("C.dfl", crlf);
  ASSERT_TRUE(WriteGridNetwork(dir.In("C.dfl"), Request(0.1, 0.1, {}, 0), {}, layout, error))
      << error;
  EXPECT_EQ(dir.Read("C.dfl"), crlf + "\r\n1\r\n0.15 0.25\r\n");
}

TEST(GridNetwork, GuessesComeFromAConstantOrARasterAndAreRequiredByGuessedData) {
  ScopedTempDir dir;
  const std::string guessed = "G\n2\n0 0 1 1.5\n40 20 2 2.5\n";
  dir.Write("P.dfl", guessed + "0\n");
  GridLayout layout;
  std::string error;
  const GridRequest request = Request(10, 10, {{0, 0, 40, 20}});
  EXPECT_FALSE(WriteGridNetwork(dir.In("P.dfl"), request, {}, layout, error));
  EXPECT_NE(error.find("--guess-raster FILE or --guess V"), std::string::npos) << error;
  EXPECT_EQ(dir.Read("P.dfl"), guessed + "0\n");

  ASSERT_TRUE(WriteGridNetwork(dir.In("P.dfl"), request, Constant(7.25), layout, error)) << error;
  const auto lines = NetworkLines(dir.Read("P.dfl"), guessed.size());
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[1], "5 15 7.25");
  EXPECT_EQ(lines[8], "35 5 7.25");

  // A plane sampled bilinearly is the plane itself: pixels of 4 x 4 units
  // from (-8, 32) down to (52, -8), each holding the plane at its centre.
  WriteRaster(dir.In("plane.tif"), 15, 10, {-8, 4, 0, 32, 0, -4}, [](int c, int r) {
    const double x = -8 + 4 * (c + 0.5);
    const double y = 32 - 4 * (r + 0.5);
    return 2 * x - 3 * y + 1;
  });
  ASSERT_TRUE(
      WriteGridNetwork(dir.In("P.dfl"), request, Raster(dir.In("plane.tif")), layout, error))
      << error;
  const auto sampled = NetworkLines(dir.Read("P.dfl"), guessed.size());
  ASSERT_EQ(sampled.size(), 9u);
  for (std::size_t k = 1; k < sampled.size(); ++k) {
    std::istringstream in(sampled[k]);
    double x = 0, y = 0, g = 0;
    in >> x >> y >> g;
    EXPECT_NEAR(g, 2 * x - 3 * y + 1, 1e-9) << sampled[k];
  }
}

TEST(GridNetwork, RasterNodataLeavesItsWeightAndNodesOffTheRasterAreRefused) {
  ScopedTempDir dir;
  const std::string data = "D\n1\n0 0 1\n";
  dir.Write("P.dfl", data + "0\n");
  // Unit pixels over [0, 2] x [0, 2]: 10, nodata / 30, 40. The node (1, 1)
  // lies between all four; the nodata pixel's weight is left out.
  WriteRaster(
      dir.In("holes.tif"), 2, 2, {0, 1, 0, 2, 0, -1},
      [](int c, int r) { return r == 0 && c == 1 ? -9999.0 : 10.0 + 10 * (2 * r + c); }, -9999.0);
  GridLayout layout;
  std::string error;
  ASSERT_TRUE(WriteGridNetwork(dir.In("P.dfl"), Request(2, 2, {{0, 0, 2, 2}}),
                               Raster(dir.In("holes.tif")), layout, error))
      << error;
  EXPECT_EQ(dir.Read("P.dfl"), data + "1\n1 1 26.6666666666667\n");

  // Part of the grid beyond the raster, or a node on a nodata pixel's centre:
  // refused, the file as it was.
  const std::string before = dir.Read("P.dfl");
  EXPECT_FALSE(WriteGridNetwork(dir.In("P.dfl"), Request(2, 2, {{0, 0, 4, 2}}),
                                Raster(dir.In("holes.tif")), layout, error));
  EXPECT_NE(error.find("grid node 2 at (3, 1) has no value in " + dir.In("holes.tif")),
            std::string::npos)
      << error;
  EXPECT_EQ(dir.Read("P.dfl"), before);
  EXPECT_FALSE(WriteGridNetwork(dir.In("P.dfl"), Request(1, 1, {{0, 0, 2, 2}}),
                                Raster(dir.In("holes.tif")), layout, error));
  EXPECT_NE(error.find("grid node 2 at (1.5, 1.5)"), std::string::npos) << error;
  EXPECT_EQ(dir.Read("P.dfl"), before);

  dir.Write("notaraster.tif", "plain text");
  EXPECT_FALSE(WriteGridNetwork(dir.In("P.dfl"), Request(1, 1, {{0, 0, 2, 2}}),
                                Raster(dir.In("notaraster.tif")), layout, error));
  EXPECT_NE(error.find("notaraster.tif"), std::string::npos) << error;
  EXPECT_EQ(dir.Read("P.dfl"), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            3);  // no temporary file left behind
}

// The kept nodes of a layout as a picture: rows from the top, '#' kept.
std::vector<std::string> Kept(const GridLayout& layout, const NodeRegion& region) {
  std::vector<bool> keep(static_cast<std::size_t>(layout.nodes()), true);
  region.Restrict(layout, keep);
  std::vector<std::string> rows;
  for (std::int64_t row = 0; row < layout.rows; ++row) {
    std::string text;
    for (std::int64_t column = 0; column < layout.columns; ++column) {
      text += keep[static_cast<std::size_t>(row * layout.columns + column)] ? '#' : '.';
    }
    rows.push_back(text);
  }
  return rows;
}

TEST(NodeRegion, PolygonsWithHolesInEitherDirectionAndTheGrownHull) {
  const GridLayout layout = LayOut(Request(1, 1, {{0, 0, 8, 6}}), {}, {});
  // A clockwise square with a counter-clockwise hole, and a second polygon
  // that covers half of the hole: the union of the two.
  const Ring outer = {{1, 1}, {1, 5}, {5, 5}, {5, 1}};
  const Ring hole = {{2, 2}, {4, 2}, {4, 4}, {2, 4}};
  const Ring patch = {{3, 2}, {7, 2}, {7, 3}, {3, 3}};
  EXPECT_EQ(Kept(layout, PolygonRegion({{outer, hole}, {patch}})),
            (std::vector<std::string>{"........", ".####...", ".#..#...", ".#.####.", ".####...",
                                      "........"}));

  // A right triangle (x >= 1, y >= 1, x + 1.5 y <= 8.5), then grown by one
  // and a half: the corners round off.
  const std::vector<double> x = {1, 7, 1, 3};
  const std::vector<double> y = {1, 1, 5, 2};  // (3, 2) lies inside
  const HullRegion triangle(x, y, 0);
  EXPECT_EQ(triangle.hull().size(), 3u);
  EXPECT_EQ(Kept(layout, triangle), (std::vector<std::string>{"........", ".#......", ".##.....",
                                                              ".####...", ".#####..", "........"}));
  EXPECT_EQ(Kept(layout, HullRegion(x, y, 1.5)),
            (std::vector<std::string>{"###.....", "####....", "######..", "#######.", "########",
                                      "########"}));
  // Points on a line have a hull of no area: only its margin keeps nodes.
  EXPECT_EQ(
      Kept(layout, HullRegion(std::vector<double>{0.5, 7.5}, std::vector<double>{3.5, 3.5}, 0.25)),
      (std::vector<std::string>{"........", "........", "########", "........", "........",
                                "........"}));
}

TEST(GridNetwork, TakesTheCellsOfANorthUpRasterAndRefusesARotatedOne) {
  ScopedTempDir dir;
  dir.Write("P.dfl", "D\n1\n0 0 1\n0\n");
  const auto zero = [](int, int) { return 0.0; };
  // A south-up raster is the same cells.
  WriteRaster(dir.In("south.tif"), 3, 2, {100, 10, 0, 200, 0, 5}, zero);
  WriteRaster(dir.In("turned.tif"), 3, 2, {100, 10, 1, 200, 0, -5}, zero);
  NetworkRequest request;
  request.like = dir.In("south.tif");
  NetworkReport report;
  std::string error;
  ASSERT_TRUE(WriteGridNetwork(dir.In("P.dfl"), request, report, error)) << error;
  EXPECT_EQ(dir.Read("P.dfl"),
            "D\n1\n0 0 1\n6\n105 207.5\n115 207.5\n125 207.5\n105 202.5\n115 202.5\n125 "
            "202.5\n");
  request.like = dir.In("turned.tif");
  EXPECT_FALSE(WriteGridNetwork(dir.In("P.dfl"), request, report, error));
  EXPECT_NE(error.find("turned.tif is rotated or sheared"), std::string::npos) << error;

  // A thin diagonal band keeps too few nodes of its box to export as a grid.
  dir.Write("band.geojson",
            R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},)"
            R"("geometry":{"type":"Polygon","coordinates":[[[0,0],[1.2,0],[20,18.8],[20,20],)"
            R"([18.8,20],[0,1.2],[0,0]]]}}]})");
  request = NetworkRequest{};
  request.grid = Request(1, 1, {{0, 0, 20, 20}});
  request.clip = dir.In("band.geojson");
  ASSERT_TRUE(WriteGridNetwork(dir.In("P.dfl"), request, report, error)) << error;
  EXPECT_EQ(report.nodes, 58);  // two or three a column
  ASSERT_FALSE(report.notes.empty());
  EXPECT_NE(report.notes.back().find("scattered points, not a regular grid"), std::string::npos);
}

TEST(ReplacementFile, LeavesTheOldFileWholeUntilCommitted) {
  ScopedTempDir dir;
  dir.Write("f.txt", "old");
  {
    ReplacementFile file;
    std::string error;
    ASSERT_TRUE(file.Open(dir.In("f.txt"), error));
    file.Write("new");
    EXPECT_EQ(dir.Read("f.txt"), "old");
  }  // dropped without commit
  EXPECT_EQ(dir.Read("f.txt"), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);

  ReplacementFile file;
  std::string error;
  ASSERT_TRUE(file.Open(dir.In("f.txt"), error));
  file.Write("new ");
  ASSERT_TRUE(file.CopyFrom(dir.In("f.txt"), 1, 2, error));
  ASSERT_TRUE(file.Commit(error)) << error;
  EXPECT_EQ(dir.Read("f.txt"), "new ld");

  EXPECT_FALSE(file.Open("/proc/f.txt", error));  // a folder nobody writes in
  EXPECT_NE(error.find("cannot write in the folder /proc"), std::string::npos) << error;
  ASSERT_TRUE(file.Open(dir.In("g.txt"), error));
  EXPECT_FALSE(file.CopyFrom(dir.In("f.txt"), 2, 10, error));  // shorter than asked
}

}  // namespace
}  // namespace mornax::geo
