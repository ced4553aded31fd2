// The result map's drawing read back from the pictures: colours map back to
// node values, contour lines and points land where they belong, x and y
// share one scale, sizes are physical on every device, and a scene that
// cannot be drawn says why.
#include <cmath>

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "gui/gui_test_support.h"
#include "gui/render/colour_scale.h"
#include "gui/render/map_painter.h"
#include "gui/render/map_scene.h"
#include "gui/render/nice_ticks.h"
#include "gui/render/picture_export.h"
#include "support/temp_dir.h"

namespace mornax::render {
namespace {

// z = x + 2y on a 41 x 31 grid with spacing 10 from (0, 0).
MapScene PlaneScene() {
  MapScene scene;
  scene.title = "Plane";
  scene.layerTitle = "Estimate";
  GridSurface grid;
  grid.cols = 41;
  grid.rows = 31;
  grid.dx = grid.dy = 10.0;
  for (int row = 0; row < grid.rows; ++row) {
    for (int col = 0; col < grid.cols; ++col) grid.values.push_back(col * 10.0 + 2 * row * 10.0);
  }
  scene.grid = grid;
  scene.scale.emplace(ColourMapKind::kSequential, 0.0, 400.0 + 600.0);
  scene.extent = grid.CellExtent();
  BuildColourImage(scene);
  return scene;
}

struct Rendered {
  QImage image;
  MapLayout layout;
};

Rendered Render(const MapScene& scene, QSize size = {800, 600}, int dpi = 96) {
  Rendered r;
  r.image = QImage(size, QImage::Format_RGB32);
  r.image.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
  r.image.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
  r.image.fill(Qt::white);
  QPainter painter(&r.image);
  r.layout = PaintMap(painter, scene, QRectF(QPointF(0, 0), size));
  return r;
}

int DarkRun(const QImage& image, int x, int y, int dx, int dy) {
  int n = 0;
  while (x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
         qGray(image.pixel(x, y)) < 100) {
    ++n;
    x += dx;
    y += dy;
  }
  return n;
}

class MapRenderTest : public ::testing::Test {
 protected:
  QApplication& app = testing::GuiApp();
};

TEST_F(MapRenderTest, ColourScalesMapValuesBackWithinOneStep) {
  for (const ColourMapKind kind : {ColourMapKind::kSequential, ColourMapKind::kDiverging}) {
    const ColourScale scale(kind, -3.0, 7.0);
    for (double v = scale.low(); v <= scale.high(); v += 0.37) {
      const auto back = scale.ValueOfColour(scale.ColourOf(v));
      ASSERT_TRUE(back.has_value()) << v;
      EXPECT_NEAR(*back, v, scale.step()) << v;
    }
    EXPECT_EQ(scale.ColourOf(1e9), scale.ColourAt(kColourSteps - 1));  // clamped
    EXPECT_EQ(qAlpha(scale.ColourOf(std::nan(""))), 0);
  }
  // Residuals: symmetric about zero, zero is the pale middle.
  const ColourScale residuals(ColourMapKind::kDiverging, -1.0, 4.0);
  EXPECT_EQ(residuals.low(), -4.0);
  EXPECT_GT(qGray(residuals.ColourOf(0.0)), 230);
  const ColourScale flat(ColourMapKind::kSequential, 5.0, 5.0);
  EXPECT_TRUE(flat.isConstant());
  EXPECT_EQ(flat.ColourOf(5.0), flat.ColourOf(-100.0));
}

TEST_F(MapRenderTest, NodePixelsMapBackToTheirValues) {
  const MapScene scene = PlaneScene();
  const Rendered r = Render(scene);
  ASSERT_TRUE(r.layout.valid);
  int checked = 0;
  for (int row = 0; row < scene.grid->rows; row += 5) {
    for (int col = 0; col < scene.grid->cols; col += 4) {
      const QPointF at = r.layout.ToDevice(col * 10.0, row * 10.0);
      const auto value = scene.scale->ValueOfColour(
          r.image.pixel(static_cast<int>(at.x()), static_cast<int>(at.y())));
      ASSERT_TRUE(value.has_value()) << col << "," << row;
      EXPECT_NEAR(*value, scene.grid->At(col, row), scene.scale->step() * 1.01);
      ++checked;
    }
  }
  EXPECT_GT(checked, 50);
}

TEST_F(MapRenderTest, XAndYShareOneScaleAndTheMapFitsTheFrame) {
  MapScene scene = PlaneScene();
  for (const QSize size : {QSize(800, 600), QSize(400, 900), QSize(1500, 300)}) {
    const Rendered r = Render(scene, size);
    ASSERT_TRUE(r.layout.valid);
    const QPointF origin = r.layout.ToDevice(0, 0);
    const QPointF east = r.layout.ToDevice(100, 0);
    const QPointF north = r.layout.ToDevice(0, 100);
    EXPECT_NEAR(east.x() - origin.x(), origin.y() - north.y(), 1e-9);
    // The whole extent is inside the frame, which lies inside the picture.
    const QPointF a = r.layout.ToDevice(scene.extent.left(), scene.extent.top());
    const QPointF b = r.layout.ToDevice(scene.extent.right(), scene.extent.bottom());
    EXPECT_TRUE(r.layout.mapArea.adjusted(-1, -1, 1, 1).contains(a));
    EXPECT_TRUE(r.layout.mapArea.adjusted(-1, -1, 1, 1).contains(b));
    EXPECT_TRUE(QRectF(0, 0, size.width(), size.height()).contains(r.layout.mapArea));
  }
  // Drawn, not only computed: a square of data points is a square of pixels.
  scene.grid.reset();
  scene.colourImage = QImage();
  scene.dataPoints = {{0, 0}, {200, 0}, {0, 200}};
  scene.extent = QRectF(0, 0, 1000, 200);
  const Rendered wide = Render(scene);
  const QPointF p0 = wide.layout.ToDevice(0, 0);
  const QPointF px = wide.layout.ToDevice(200, 0);
  const QPointF py = wide.layout.ToDevice(0, 200);
  for (const QPointF p : {p0, px, py}) {
    EXPECT_LT(qGray(wide.image.pixel(p.toPoint())), 100) << p.x() << "," << p.y();
  }
  EXPECT_NEAR(px.x() - p0.x(), p0.y() - py.y(), 1.0);
}

TEST_F(MapRenderTest, ContourLinesAndLabelsAreDrawnWhereTheyLie) {
  MapScene scene = PlaneScene();
  // The level 300 of z = x + 2y runs from (300, 0) to (0, 150).
  scene.contours.push_back({300.0, {{300.0, 0.0}, {0.0, 150.0}}});
  const Rendered r = Render(scene);
  int dark = 0;
  for (double t = 0.1; t <= 0.9; t += 0.05) {
    const QPointF at = r.layout.ToDevice(300.0 * (1 - t), 150.0 * t);
    bool near = false;
    for (int d = -2; d <= 2 && !near; ++d) {
      near = qGray(r.image.pixel(static_cast<int>(at.x()) + d, static_cast<int>(at.y()))) < 60;
    }
    dark += near ? 1 : 0;
  }
  EXPECT_GE(dark, 12);  // the label's box covers part of the line
  // Away from the line the surface colour is untouched.
  const QPointF off = r.layout.ToDevice(350.0, 250.0);
  EXPECT_TRUE(scene.scale->ValueOfColour(r.image.pixel(off.toPoint())).has_value());
}

TEST_F(MapRenderTest, SizesArePhysicalOnEveryDevice) {
  MapScene scene;
  scene.title = "Points";
  scene.dataPoints = {{50, 50}};
  scene.extent = QRectF(0, 0, 100, 100);
  const Rendered screen = Render(scene, {400, 400}, 96);
  const Rendered page = Render(scene, {5000, 5000}, 1200);
  const QPointF a = screen.layout.ToDevice(50, 50);
  const QPointF b = page.layout.ToDevice(50, 50);
  const int screenSide =
      DarkRun(screen.image, a.x(), a.y(), 1, 0) + DarkRun(screen.image, a.x(), a.y(), -1, 0);
  const int pageSide =
      DarkRun(page.image, b.x(), b.y(), 1, 0) + DarkRun(page.image, b.x(), b.y(), -1, 0);
  // 3 points: 4 pixels at 96 dpi, 50 at 1200 dpi.
  EXPECT_NEAR(screenSide * 25.4 / 96, kDataMarkerPoints * 25.4 / 72, 0.3);
  EXPECT_NEAR(pageSide * 25.4 / 1200, kDataMarkerPoints * 25.4 / 72, 0.05);
  EXPECT_NEAR(pageSide * 25.4 / 1200, screenSide * 25.4 / 96, 0.3);
}

TEST_F(MapRenderTest, PdfPagesPaintAtTheirResolutionAndPngAtTheSize) {
  testing::ScopedTempDir folder;
  int seenDpi = 0;
  QRectF seenTarget;
  const PaintRoutine record = [&](QPainter& painter, const QRectF& target) {
    seenDpi = painter.device()->logicalDpiY();
    seenTarget = target;
    PaintMap(painter, PlaneScene(), target);
  };
  PictureOptions options;
  options.pixels = QSize(960, 720);
  QString error;
  const QString pdf = QString::fromStdString((folder.path() / "map.pdf").string());
  ASSERT_TRUE(ExportPicture(pdf, options, record, error)) << error.toStdString();
  EXPECT_EQ(seenDpi, 1200);
  // 960 x 720 pixels at 96 dpi is 10 x 7.5 inches: 12000 x 9000 at 1200 dpi.
  EXPECT_NEAR(seenTarget.width(), 12000, 2);
  EXPECT_NEAR(seenTarget.height(), 9000, 2);
  EXPECT_GT(std::filesystem::file_size(folder.path() / "map.pdf"), 2000u);

  const QString png = QString::fromStdString((folder.path() / "map.png").string());
  ASSERT_TRUE(ExportPicture(png, options, record, error));
  EXPECT_EQ(QImage(png).size(), QSize(960, 720));
  const QString svg = QString::fromStdString((folder.path() / "map.svg").string());
  ASSERT_TRUE(ExportPicture(svg, options, record, error));
  EXPECT_TRUE(folder.Read("map.svg").find("<svg") != std::string::npos);

  // Refused: another extension, an absurd size, a folder that is not there.
  EXPECT_FALSE(ExportPicture(QString::fromStdString((folder.path() / "map.bmp").string()), options,
                             record, error));
  EXPECT_TRUE(error.contains(".png, .svg and .pdf"));
  options.pixels = QSize(0, 10);
  EXPECT_FALSE(ExportPicture(png, options, record, error));
  options.pixels = QSize(100, 100);
  EXPECT_FALSE(ExportPicture(QString::fromStdString((folder.path() / "no" / "map.png").string()),
                             options, record, error));
  EXPECT_TRUE(error.contains("map.png"));
  EXPECT_EQ(QImage(png).size(), QSize(960, 720));  // the earlier picture is kept
}

TEST_F(MapRenderTest, DegenerateScenesStillDrawOrSayWhy) {
  // One point, or points on a line: the map still has a scale.
  for (const QRectF extent : {QRectF(5, 5, 0, 0), QRectF(0, 7, 100, 0), QRectF(3, 0, 0, 50)}) {
    MapScene scene;
    scene.dataPoints = {extent.topLeft(), extent.bottomRight()};
    scene.extent = extent;
    const Rendered r = Render(scene);
    ASSERT_TRUE(r.layout.valid);
    EXPECT_LT(qGray(r.image.pixel(r.layout.ToDevice(extent.left(), extent.top()).toPoint())), 100);
  }
  // A constant surface: one colour, and the colour bar says so.
  MapScene flat = PlaneScene();
  for (double& v : flat.grid->values) v = 12.5;
  flat.scale.emplace(ColourMapKind::kSequential, 12.5, 12.5);
  BuildColourImage(flat);
  const Rendered r = Render(flat);
  const QRgb middle = r.image.pixel(r.layout.ToDevice(100, 100).toPoint());
  EXPECT_EQ(middle, r.image.pixel(r.layout.ToDevice(300, 250).toPoint()));
  EXPECT_EQ(middle, flat.scale->ColourOf(12.5));
  // A failed scene draws its message: dark text pixels, no frame.
  const Rendered failed = Render(FailedScene("T", "No results to map: SITE.dat is missing"));
  EXPECT_FALSE(failed.layout.valid);
  int dark = 0;
  for (int y = 250; y < 350; ++y) {
    for (int x = 0; x < 800; ++x) dark += qGray(failed.image.pixel(x, y)) < 128 ? 1 : 0;
  }
  EXPECT_GT(dark, 100);
  // A picture too small for a map says so instead of drawing garbage.
  EXPECT_FALSE(Render(PlaneScene(), {60, 40}).layout.valid);
}

TEST(NiceTicksTest, RoundStepsAndLabels) {
  EXPECT_EQ(NiceTicks(0, 1000, 5), (std::vector<double>{0, 200, 400, 600, 800, 1000}));
  EXPECT_EQ(NiceTicks(-0.13, 0.42, 6), (std::vector<double>{-0.1, 0.0, 0.1, 0.2, 0.3, 0.4}));
  EXPECT_TRUE(NiceTicks(1, 1, 5).empty());
  EXPECT_TRUE(NiceTicks(0, std::nan(""), 5).empty());
  EXPECT_TRUE(NiceTicks(1e18, 1e18 + 512, 5).empty());  // finer than the values' digits
  EXPECT_EQ(TickLabel(0.30000000000000004, 0.1), "0.3");
  EXPECT_EQ(TickLabel(-1e-17, 0.1), "0.0");
  EXPECT_EQ(TickLabel(2500, 500), "2500");
  EXPECT_EQ(TickLabel(2.25, 0.25), "2.25");  // not rounded to 2.3
  EXPECT_EQ(TickLabel(2.5, 0.5), "2.5");
}

}  // namespace
}  // namespace mornax::render
