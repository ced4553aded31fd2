// The result map built from result files: a regular grid with contours at
// the plane's levels, a scattered network, residuals, and every kind of bad
// input turned into a message or a note rather than a crash or a blank map.
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include <QImage>
#include <QPainter>

#include "geo/project_crs.h"
#include "gui/gui_test_support.h"
#include "gui/render/map_loader.h"
#include "gui/render/map_painter.h"
#include "support/temp_dir.h"

namespace mornax::render {
namespace {

using testing::ScopedTempDir;

std::string Printf(const char* format, double a, double b = 0, double c = 0, double d = 0) {
  char line[200];
  std::snprintf(line, sizeof line, format, a, b, c, d);
  return line;
}

struct Network {
  std::vector<double> x, y;
};

Network Grid(int cols, int rows, double spacing) {
  Network n;
  for (int r = rows - 1; r >= 0; --r) {
    for (int c = 0; c < cols; ++c) {
      n.x.push_back(c * spacing);
      n.y.push_back(r * spacing);
    }
  }
  return n;
}

// Writes SITE.dfl (three data points and the network) and the kriging
// results; `estimate` gives each point's value text (a number, asterisks,
// "nan"), `written` how many points the run wrote.
void WriteKriging(const ScopedTempDir& dir, const Network& net,
                  const std::function<std::string(std::size_t)>& estimate, std::size_t written) {
  std::string dfl =
      "Plane site\n3\n5 5 1\n55 25 2\n105 45 3\n" + std::to_string(net.x.size()) + "\n";
  for (std::size_t i = 0; i < net.x.size(); ++i) dfl += Printf("%.3f %.3f\n", net.x[i], net.y[i]);
  dir.Write("SITE.dfl", dfl);
  std::string dat = "    0" + Printf("%5.0f", static_cast<double>(net.x.size())) + "    0 ;" +
                    std::string(40, ' ') + "STD\n";
  std::string wl, lev = "    2 ;\n       0\n      10\n";
  for (std::size_t i = 0; i < written; ++i) {
    const std::string value = estimate(i);
    dat += Printf("  %15.1f%15.1f", net.x[i], net.y[i]) + value + "        0.50000\n";
    wl += Printf("%15.5f%15.5f", net.x[i], net.y[i]) + value + "\n";
    lev += value + "\n";
  }
  dir.Write("SITE.dat", dat);
  dir.Write("SITE.wl", wl);
  dir.Write("SITE.lev", lev);
  dir.Write("SITE.mnx", "");
}

std::string Value(double v) {
  return Printf("%15.5f", v);
}

double Plane(double x, double y) {
  return 0.1 * x + 0.2 * y;
}

MapScene Load(const ScopedTempDir& dir, MapLayer layer = MapLayer::kEstimate,
              const std::string& levels = "auto") {
  return LoadMapScene(dir.path() / "SITE.mnx", MapRequest{layer, levels, false, {}});
}

bool HasNote(const MapScene& scene, const QString& word) {
  for (const QString& note : scene.notes) {
    if (note.contains(word, Qt::CaseInsensitive)) return true;
  }
  return false;
}

class MapLoaderTest : public ::testing::Test {
 protected:
  QApplication& app = testing::GuiApp();
  ScopedTempDir dir;
};

TEST_F(MapLoaderTest, ContourLinesOfAPlaneLieWhereThePlaneHasTheirLevel) {
  const Network net = Grid(21, 16, 10.0);
  WriteKriging(
      dir, net, [&](std::size_t i) { return Value(Plane(net.x[i], net.y[i])); }, net.x.size());
  const MapScene scene = Load(dir);
  ASSERT_TRUE(scene.failure.isEmpty()) << scene.failure.toStdString();
  ASSERT_TRUE(scene.grid.has_value());
  EXPECT_EQ(scene.grid->cols, 21);
  EXPECT_EQ(scene.grid->rows, 16);
  EXPECT_DOUBLE_EQ(scene.grid->At(3, 2), Plane(30, 20));  // rows from the bottom
  EXPECT_EQ(scene.dataPoints.size(), 3u);
  EXPECT_EQ(scene.title, "Plane site");
  ASSERT_FALSE(scene.contours.empty());
  std::size_t points = 0;
  for (const ContourLine& line : scene.contours) {
    for (const QPointF& p : line.points) {
      // Inside the nodes the plane is exact; beyond them the edge values are carried on.
      if (p.x() < 0 || p.x() > 200 || p.y() < 0 || p.y() > 150) continue;
      EXPECT_NEAR(Plane(p.x(), p.y()), line.level, 1e-6);
      ++points;
    }
  }
  EXPECT_GT(points, 20u);
  EXPECT_FALSE(scene.colourImage.isNull());

  // The .lev levels: 0 and 10 lie in the plane's range 0..50 (0 is its edge).
  const MapScene lev = Load(dir, MapLayer::kEstimate, "lev");
  for (const ContourLine& line : lev.contours) EXPECT_EQ(line.level, 10.0);
  EXPECT_FALSE(lev.contours.empty());
  // Given values; a bad list is a message, not a map.
  const MapScene given = Load(dir, MapLayer::kEstimate, "12.5,30");
  for (const ContourLine& line : given.contours)
    EXPECT_TRUE(line.level == 12.5 || line.level == 30);
  EXPECT_FALSE(Load(dir, MapLayer::kEstimate, "12,abc").failure.isEmpty());

  // Drawn: the pixel on the 25 line is dark, a pixel off it has the plane's colour.
  QImage image(900, 700, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  const MapScene at25 = Load(dir, MapLayer::kEstimate, "25");
  const MapLayout layout = PaintMap(painter, at25, QRectF(0, 0, 900, 700));
  painter.end();
  int dark = 0;
  for (double x = 20; x <= 180; x += 20) {  // 0.1x + 0.2y = 25
    const QPointF p = layout.ToDevice(x, (25 - 0.1 * x) / 0.2);
    bool near = false;
    for (int d = -2; d <= 2; ++d) near = near || qGray(image.pixel(p.x(), p.y() + d)) < 60;
    dark += near ? 1 : 0;
  }
  EXPECT_GE(dark, 7);
}

TEST_F(MapLoaderTest, StandardErrorAndLayersAMethodDoesNotWrite) {
  const Network net = Grid(5, 4, 10.0);
  WriteKriging(
      dir, net, [](std::size_t i) { return Value(static_cast<double>(i)); }, net.x.size());
  const MapScene std = Load(dir, MapLayer::kStandardError);
  ASSERT_TRUE(std.failure.isEmpty()) << std.failure.toStdString();
  EXPECT_TRUE(std.scale->isConstant());  // every standard error is 0.5
  EXPECT_TRUE(std.contours.empty());
  EXPECT_TRUE(HasNote(std, "constant"));
  EXPECT_TRUE(std.layerTitle.contains("Standard error"));
  const MapScene guess = Load(dir, MapLayer::kGuess);
  EXPECT_TRUE(guess.failure.contains("no guess layer")) << guess.failure.toStdString();
  const MapScene residuals = Load(dir, MapLayer::kResiduals);
  EXPECT_TRUE(residuals.failure.contains("No residuals")) << residuals.failure.toStdString();
}

TEST_F(MapLoaderTest, MissingTruncatedAndUnreadableResultsAreSaidInWords) {
  dir.Write("SITE.mnx", "");
  const MapScene none = Load(dir);
  EXPECT_FALSE(none.failure.isEmpty());
  EXPECT_TRUE(none.failure.contains("SITE")) << none.failure.toStdString();

  const Network net = Grid(6, 5, 10.0);
  // A stopped run: 12 of 30 points written. Asterisks and NaN text: no value.
  WriteKriging(
      dir, net,
      [](std::size_t i) {
        return i == 3 ? std::string(15, '*') : i == 4 ? std::string("            nan") : Value(i);
      },
      12);
  const MapScene stopped = Load(dir);
  ASSERT_TRUE(stopped.failure.isEmpty()) << stopped.failure.toStdString();
  ASSERT_TRUE(stopped.grid.has_value());
  std::size_t blank = 0;
  for (double v : stopped.grid->values) blank += std::isnan(v) ? 1 : 0;
  EXPECT_EQ(blank, 30u - 10u);
  // The stop is said once (the reader's note) and marked on the map; the
  // two values without a number get a note of their own.
  EXPECT_EQ(stopped.badge, "Stopped run: 12 of 30 points");
  int stoppedNotes = 0;
  for (const QString& note : stopped.notes) stoppedNotes += note.contains("stopped") ? 1 : 0;
  EXPECT_EQ(stoppedNotes, 1) << stopped.notes.join(" | ").toStdString();
  EXPECT_TRUE(HasNote(stopped, "2 of 30 network points have no estimate"));

  // Every value missing: a message instead of an empty map.
  WriteKriging(
      dir, net, [](std::size_t) { return std::string(15, '*'); }, 30);
  EXPECT_TRUE(Load(dir).failure.contains("No values")) << Load(dir).failure.toStdString();

  // Garbage in the .dat file.
  dir.Write("SITE.dat", "this is not a result file\n");
  EXPECT_FALSE(Load(dir).failure.isEmpty());
}

TEST_F(MapLoaderTest, StylesBlankClassAndFixTheRangeAndTheMapKnowsItsSystem) {
  const Network net = Grid(21, 16, 10.0);
  WriteKriging(
      dir, net, [&](std::size_t i) { return Value(Plane(net.x[i], net.y[i])); }, net.x.size());
  MapRequest request{MapLayer::kEstimate, "lev", false, {}};
  // The three data points lie on one line: no hull, a note, the map whole.
  request.style.blanking = Blanking::kHull;
  const MapScene hull = LoadMapScene(dir.path() / "SITE.mnx", request);
  ASSERT_TRUE(hull.failure.isEmpty()) << hull.failure.toStdString();
  EXPECT_TRUE(HasNote(hull, "no hull"));
  EXPECT_EQ(hull.dataValues, (std::vector<double>{1, 2, 3}));

  dir.Write("area.geojson", R"({"type": "FeatureCollection", "features": [{"type": "Feature",
    "properties": {}, "geometry": {"type": "Polygon", "coordinates":
    [[[0, 0], [100, 0], [100, 100], [0, 100], [0, 0]]]}}]})");
  request.style.blanking = Blanking::kPolygons;
  request.style.polygonFile = dir.path() / "area.geojson";
  request.style.levels = LevelSpec{LevelMode::kInterval, std::nullopt, std::nullopt, 5.0, {}};
  request.style.classed = true;
  const MapScene blanked = LoadMapScene(dir.path() / "SITE.mnx", request);
  ASSERT_TRUE(blanked.failure.isEmpty()) << blanked.failure.toStdString();
  std::size_t kept = 0;
  for (double v : blanked.grid->values) kept += std::isnan(v) ? 0 : 1;
  EXPECT_EQ(kept, 11u * 11u);  // x and y from 0 to 100
  EXPECT_EQ(blanked.blankingOutline.size(), 1u);
  // The range is the blanked surface's (0..30), classed by the levels in it.
  EXPECT_EQ(blanked.scale->high(), 30.0);
  EXPECT_EQ(blanked.scale->breaks(), (std::vector<double>{5, 10, 15, 20, 25}));
  for (const ContourLine& line : blanked.contours) {
    for (const QPointF& p : line.points) EXPECT_LE(p.x(), 105.0);
  }

  // A fixed range to compare maps; the project's coordinate system.
  request.style = MapStyle{};
  request.style.rangeLow = -100.0;
  request.style.rangeHigh = 100.0;
  std::string error;
  ASSERT_TRUE(geo::StoreProjectCrs(dir.path() / "SITE.mnx", "EPSG:32633", error)) << error;
  const MapScene fixed = LoadMapScene(dir.path() / "SITE.mnx", request);
  EXPECT_EQ(fixed.scale->low(), -100.0);
  EXPECT_EQ(fixed.scale->high(), 100.0);
  EXPECT_TRUE(fixed.crs.contains("EPSG:32633")) << fixed.crs.toStdString();
  EXPECT_EQ(fixed.axisUnit, "m");
}

TEST_F(MapLoaderTest, HugeValuesAreLeftOutOfTheScaleWithANote) {
  const Network net = Grid(4, 4, 10.0);
  WriteKriging(
      dir, net, [](std::size_t i) { return i == 5 ? std::string("    1.00000E+30") : Value(i); },
      net.x.size());
  const MapScene scene = Load(dir);
  ASSERT_TRUE(scene.failure.isEmpty()) << scene.failure.toStdString();
  EXPECT_LE(scene.scale->high(), 15.0);
  EXPECT_TRUE(HasNote(scene, "1e20") || HasNote(scene, "no estimate"));
}

TEST_F(MapLoaderTest, OnePointALineAndAScatteredNetworkStillMap) {
  for (const Network& net : {Network{{50}, {50}}, Network{{0, 10, 20, 30}, {5, 5, 5, 5}},
                             Network{{0, 17, 43, 80, 91}, {3, 60, 12, 44, 71}}}) {
    WriteKriging(
        dir, net, [](std::size_t i) { return Value(i * 1.5); }, net.x.size());
    const MapScene scene = Load(dir);
    ASSERT_TRUE(scene.failure.isEmpty()) << scene.failure.toStdString();
    QImage image(600, 450, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    EXPECT_TRUE(PaintMap(painter, scene, QRectF(0, 0, 600, 450)).valid) << net.x.size();
  }
  const MapScene scattered = Load(dir);
  EXPECT_FALSE(scattered.grid.has_value());
  EXPECT_EQ(scattered.valuePoints.size(), 5u);
  EXPECT_TRUE(HasNote(scattered, "not a regular grid"));
}

TEST_F(MapLoaderTest, ResultsOlderThanTheDataFileAreMarkedStale) {
  const Network net = Grid(4, 3, 10.0);
  WriteKriging(
      dir, net, [](std::size_t i) { return Value(i); }, net.x.size());
  EXPECT_FALSE(HasNote(Load(dir), "stale"));
  const auto later =
      std::filesystem::last_write_time(dir.path() / "SITE.dat") + std::chrono::seconds(5);
  std::filesystem::last_write_time(dir.path() / "SITE.dfl", later);
  EXPECT_TRUE(HasNote(Load(dir), "stale"));
}

}  // namespace
}  // namespace mornax::render
