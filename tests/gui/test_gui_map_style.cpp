// The map's styles: ramps and classed scales, interval levels, blanking
// areas, labels kept off the data points, posted values, the legend heading
// beside its bar at any size, and the style panel that marks a wrong field
// and keeps the map's last good style.
#include <cmath>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTableWidget>

#include "gui/gui_test_support.h"
#include "gui/map/map_style_panel.h"
#include "gui/map/residual_table.h"
#include "gui/render/blanking.h"
#include "gui/render/colour_scale.h"
#include "gui/render/map_furniture.h"
#include "gui/render/map_page.h"
#include "gui/render/map_painter.h"
#include "gui/render/map_style.h"

namespace mornax::render {
namespace {

class MapStyleTest : public ::testing::Test {
 protected:
  QApplication& app = testing::GuiApp();
};

TEST_F(MapStyleTest, RampsAndClassedScales) {
  const struct {
    ColourRamp ramp;
    double t;
    QRgb colour;
  } ends[] = {{ColourRamp::kViridis, 0.0, qRgb(68, 1, 84)},
              {ColourRamp::kCividis, 1.0, qRgb(254, 232, 56)},
              {ColourRamp::kMagma, 1.0, qRgb(252, 253, 191)},
              {ColourRamp::kBlueWhiteRed, 0.5, qRgb(247, 247, 247)}};
  for (const auto& e : ends) EXPECT_EQ(RampColour(e.ramp, e.t), e.colour) << ColourRampName(e.ramp);
  EXPECT_EQ(ColourRampFromName("magma"), ColourRamp::kMagma);
  EXPECT_FALSE(ColourRampFromName("rainbow").has_value());

  // Classes between 20, 50 and 80 on 0..100: one colour per class.
  ColourScale scale(ColourRamp::kViridis, 0.0, 100.0);
  scale.SetClasses({50.0, 20.0, 80.0, 150.0});  // unsorted; 150 is outside
  ASSERT_EQ(scale.breaks(), (std::vector<double>{20.0, 50.0, 80.0}));
  EXPECT_EQ(scale.ColourOf(21.0), scale.ColourOf(49.0));
  EXPECT_NE(scale.ColourOf(49.0), scale.ColourOf(51.0));
  EXPECT_EQ(scale.ValueOfColour(scale.ColourOf(60.0)), 65.0);  // the class's middle
  // A fixed-range scale clamps what lies beyond it.
  const ColourScale fixed(ColourRamp::kMagma, 10.0, 20.0);
  EXPECT_EQ(fixed.ColourOf(-5.0), fixed.ColourOf(10.0));
}

TEST_F(MapStyleTest, IntervalLevels) {
  const struct {
    std::optional<double> minimum, maximum;
    double interval;
    std::size_t count;
    double first, last;
  } cases[] = {
      {std::nullopt, std::nullopt, 5.0, 4, 15.0, 30.0},  // the surface's 12.3..31
      {10.0, 20.0, 2.5, 5, 10.0, 20.0},
      {std::nullopt, 17.0, 0.1, 48, 12.3, 17.0},
  };
  for (const auto& c : cases) {
    LevelSpec spec{LevelMode::kInterval, c.minimum, c.maximum, c.interval, {}};
    std::vector<double> levels;
    std::string error;
    ASSERT_TRUE(IntervalLevels(spec, 12.3, 31.0, levels, error)) << error;
    ASSERT_EQ(levels.size(), c.count) << c.interval;
    EXPECT_EQ(levels.front(), c.first);
    EXPECT_EQ(levels.back(), c.last);
  }
  std::vector<double> levels;
  std::string error;
  for (const LevelSpec& wrong : {LevelSpec{LevelMode::kInterval, {}, {}, 0.0, {}},
                                 LevelSpec{LevelMode::kInterval, 30.0, 10.0, 1.0, {}},
                                 LevelSpec{LevelMode::kInterval, {}, {}, 1e-6, {}}}) {
    EXPECT_FALSE(IntervalLevels(wrong, 12.3, 31.0, levels, error)) << wrong.interval;
  }
  EXPECT_NE(error.find("more than"), std::string::npos) << error;
}

TEST_F(MapStyleTest, BlankingAreas) {
  // The hull of a square's corners and an inner point is the square.
  const QPolygonF hull = ConvexHull({{0, 0}, {10, 0}, {5, 5}, {10, 10}, {0, 10}, {0, 0}});
  EXPECT_EQ(hull.size(), 4);
  EXPECT_TRUE(ConvexHull({{0, 0}, {1, 1}, {2, 2}}).isEmpty());  // a line has no area
  // A square with a hole: the hole is outside.
  const std::vector<QPolygonF> rings = {QPolygonF({{0, 0}, {10, 0}, {10, 10}, {0, 10}}),
                                        QPolygonF({{4, 4}, {6, 4}, {6, 6}, {4, 6}})};
  EXPECT_TRUE(InsideRings(rings, {2, 2}));
  EXPECT_FALSE(InsideRings(rings, {5, 5}));
  EXPECT_FALSE(InsideRings(rings, {12, 5}));
  GridSurface grid;
  grid.cols = grid.rows = 13;  // nodes at -1, 0, ..., 11
  grid.x0 = grid.y0 = -1.0;
  grid.values.assign(169, 1.0);
  grid.values[0] = std::nan("");
  // Outside: the 48 nodes at -1 and 11 (one was blank already) and the
  // hole's middle node; nodes on an edge of the area stay.
  const std::size_t blanked = BlankGridOutside(grid, rings);
  EXPECT_EQ(blanked, 47u + 1u);
  EXPECT_FALSE(std::isnan(grid.At(11, 11)));  // (10, 10), the square's corner
  EXPECT_FALSE(std::isnan(grid.At(5, 7)));    // (4, 6), on the hole's edge
  EXPECT_TRUE(std::isnan(grid.At(6, 6)));     // (5, 5), the hole's middle
  EXPECT_FALSE(std::isnan(grid.At(2, 2)));
}

MapScene LineScene() {
  MapScene scene;
  scene.title = "Labels";
  scene.layerTitle = "Estimate";
  scene.extent = QRectF(0, 0, 100, 100);
  scene.scale.emplace(ColourRamp::kViridis, 0.0, 10.0);
  // A horizontal contour; a data point right at its middle.
  scene.contours.push_back({5.0, {{0.0, 50.0}, {100.0, 50.0}}});
  scene.dataPoints = {{50.0, 50.0}};
  scene.dataValues = {7.25};
  return scene;
}

QImage Draw(const MapScene& scene, QSize size, int dpi, MapLayout* layout = nullptr) {
  QImage image(size, QImage::Format_RGB32);
  image.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
  image.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
  image.fill(Qt::white);
  QPainter painter(&image);
  const MapLayout drawn = PaintMap(painter, scene, QRectF(QPointF(0, 0), size));
  if (layout != nullptr) *layout = drawn;
  return image;
}

TEST_F(MapStyleTest, LabelsAvoidTheDataPointsAndValuesArePosted) {
  MapScene scene = LineScene();
  MapLayout layout;
  const QImage image = Draw(scene, {600, 600}, 96, &layout);
  // The point is drawn black: no label box covers it.
  const QPointF point = layout.ToDevice(50, 50);
  EXPECT_LT(qGray(image.pixel(point.toPoint())), 60);
  // No value posted: the row right of the point is the white of the line's
  // neighbourhood only (the line itself lies on the row).
  auto darkRight = [&](const QImage& drawn) {
    int dark = 0;
    for (int y = static_cast<int>(point.y()) - 12; y < point.y() - 2; ++y) {
      for (int x = static_cast<int>(point.x()) + 4; x < point.x() + 40; ++x) {
        dark += qGray(drawn.pixel(x, y)) < 128 ? 1 : 0;
      }
    }
    return dark;
  };
  const int before = darkRight(image);
  scene.postValues = true;
  const QImage posted = Draw(scene, {600, 600}, 96);
  EXPECT_GT(
      darkRight(posted) +
          [&] {
            int dark = 0;  // the value may sit on any side of the point
            for (int y = static_cast<int>(point.y()) - 20; y < point.y() + 20; ++y) {
              for (int x = static_cast<int>(point.x()) - 40; x < point.x() + 40; ++x) {
                dark += qGray(posted.pixel(x, y)) < 128 ? 1 : 0;
              }
            }
            return dark;
          }(),
      before + 20);
}

TEST_F(MapStyleTest, TheLegendHeadingStaysBesideItsBarAndLongTitlesWrap) {
  MapScene scene = LineScene();
  scene.layerTitle = "Heading";
  // A wide picture: the map sits in the middle, far from the right edge.
  for (const int dpi : {96, 300}) {
    MapLayout layout;
    const QImage image = Draw(scene, {3600, 1200}, dpi, &layout);
    const double barLeft = layout.mapArea.right() + 14.0 * layout.unit;
    // The heading is written in the band above the bar; its leftmost ink.
    int leftmost = image.width();
    for (int y = std::max(0, static_cast<int>(layout.mapArea.top() - 20 * layout.unit));
         y < layout.mapArea.top() - layout.unit; ++y) {
      for (int x = static_cast<int>(layout.mapArea.right()) + 2; x < image.width(); ++x) {
        if (qGray(image.pixel(x, y)) < 128) leftmost = std::min(leftmost, x);
      }
    }
    EXPECT_NEAR(leftmost, barLeft, 3 * layout.unit) << dpi;
  }
  MapLayout shortTitle, longTitle;
  Draw(scene, {400, 400}, 96, &shortTitle);
  scene.title = QString("A long title that cannot fit on one line of a small picture ").repeated(3);
  Draw(scene, {400, 400}, 96, &longTitle);
  EXPECT_GT(longTitle.available.top(), shortTitle.available.top() + 20);
}

TEST_F(MapStyleTest, ResidualStatistics) {
  const ResidualTable table = SummariseResiduals(
      {{0, 0, 10, 13, 3}, {1, 0, 10, 6, -4}, {2, 0, 10, std::nan(""), std::nan("")}});
  EXPECT_EQ(table.counted, 2u);
  EXPECT_DOUBLE_EQ(table.rmse, std::sqrt(12.5));
  EXPECT_DOUBLE_EQ(table.meanError, -0.5);
  gui::ResidualTableView view;
  view.Show(table);
  EXPECT_EQ(view.table().rowCount(), 3);
  EXPECT_TRUE(view.summary().startsWith("RMSE 3.53553")) << view.summary().toStdString();
}

TEST_F(MapStyleTest, SmoothCellsInterpolateBetweenNodes) {
  MapScene scene;
  GridSurface grid;
  grid.cols = 3;
  grid.rows = 1;
  grid.values = {0.0, 10.0, std::nan("")};
  scene.grid = grid;
  scene.scale.emplace(ColourRamp::kViridis, 0.0, 10.0);
  scene.smoothCells = true;
  BuildColourImage(scene);
  const QImage& image = scene.colourImage;
  ASSERT_GT(image.width(), 3 * 8);
  const int factor = image.width() / 3;
  // Half-way between the first two nodes: 5; past the last value the
  // neighbour fills in up to the node without one, which stays blank.
  const auto value = [&](int x) { return scene.scale->ValueOfColour(image.pixel(x, 0)); };
  EXPECT_NEAR(*value(factor), 5.0, 0.5);
  EXPECT_NEAR(*value(factor + factor / 2), 10.0, 0.1);
  EXPECT_EQ(qAlpha(image.pixel(image.width() - 1, 0)), 0);
  scene.smoothCells = false;
  BuildColourImage(scene);
  EXPECT_EQ(scene.colourImage.width(), 3);
}

TEST_F(MapStyleTest, PaperScaleOfAPrintedPage) {
  MapLayout layout;
  layout.valid = true;
  layout.scale = 300 / 0.0254 / 25000.0;  // device units per metre at 1:25,000 and 300 dpi
  EXPECT_EQ(PaperScale(layout, "m", 300), "1:25,000");
  EXPECT_EQ(PaperScale(layout, "km", 300), "1:25,000,000");
  EXPECT_EQ(PaperScale(layout, "deg", 300), "");
  EXPECT_EQ(PaperScale(layout, "", 300), "");
}

TEST_F(MapStyleTest, ScaleBarLengthsAreRound) {
  EXPECT_EQ(detail::ScaleBarLength(730.0), 500.0);
  EXPECT_EQ(detail::ScaleBarLength(0.31), 0.2);
  EXPECT_EQ(detail::ScaleBarLength(100.0), 100.0);
  EXPECT_EQ(detail::ScaleBarLength(-1.0), 0.0);
}

}  // namespace
}  // namespace mornax::render

namespace mornax::gui {
namespace {

TEST(MapStylePanelTest, AWrongFieldIsMarkedAndTheLastGoodStyleKept) {
  testing::GuiApp();
  MapStylePanel panel;
  int changed = 0;
  QObject::connect(&panel, &MapStylePanel::styleChanged, [&changed] { ++changed; });
  auto* mode = panel.findChild<QComboBox*>("levelMode");
  auto* interval = panel.findChild<QLineEdit*>("levelInterval");
  mode->setCurrentIndex(2);  // Interval
  const struct {
    const char* text;
    bool good;
    const char* said;
  } cases[] = {{"5", true, ""}, {"x5", false, "'x5' is not a number"}, {"0", false, "above 0"}};
  for (const auto& c : cases) {
    interval->setText(c.text);
    emit interval->editingFinished();
    EXPECT_EQ(panel.problem().isEmpty(), c.good) << c.text;
    EXPECT_TRUE(panel.problem().contains(c.said)) << panel.problem().toStdString();
    EXPECT_EQ(interval->styleSheet().isEmpty(), c.good) << c.text;
    EXPECT_FALSE(panel.problem().contains("--levels"));
  }
  // Only the good text reached the map.
  EXPECT_EQ(changed, 1);
  ASSERT_TRUE(panel.style().levels.has_value());
  EXPECT_EQ(panel.style().levels->interval, 5.0);

  std::vector<double> values;
  QString problem;
  EXPECT_TRUE(ParseLevelList("70, 60;65  75", values, problem));
  EXPECT_EQ(values, (std::vector<double>{60, 65, 70, 75}));
  EXPECT_FALSE(ParseLevelList("60, sixty", values, problem));
  EXPECT_TRUE(problem.contains("'sixty'")) << problem.toStdString();
}

}  // namespace
}  // namespace mornax::gui
