// The plot: reading the three file kinds, the world range, the mapping to
// device units, markers on a rendered image and the one-time reports.
#include <cmath>

#include <QImage>
#include <QPainter>
#include <QPrinter>

#include "gui/gui_test_support.h"
#include "gui/mornax_doc.h"
#include "gui/mornax_view.h"
#include "gui/plot_geometry.h"
#include "gui/plot_labels.h"
#include "gui/plot_model.h"
#include "gui/plot_painter.h"
#include "gui/plot_pass.h"
#include "gui/plot_reader.h"
#include "gui/program_records.h"
#include "support/temp_dir.h"

namespace mornax::gui {
namespace {

constexpr char kSol[] =
    " Semi-Variogram: test\n"
    "     ICON=  0      CHI2=  1.0000000          ITERATION NO. =   3\n"
    " Sphe: SILL =  55.000     RANGE=  400.00     C0  =  5.0000\n"
    "        SOLUTIONS OF THE EQUATIONS      \n"
    "          B( 1)=   50.000000\n"
    "          B( 2)=   400.00000\n"
    "          B( 3)=   5.0000000\n"
    " 3\n"
    "   100.000    10.000    12.000  -0.200000E+01\n"
    "   200.000    30.000    28.000   0.200000E+01\n"
    "   400.000    50.000    60.000  -0.100000E+02\n";

// Three data points (one with a guess) and one network node.
constexpr char kDfl[] =
    "Test site\r\n"
    "3\r\n"
    "0 0 5.0\r\n"
    "400 0 6.0 1.0\r\n"
    "0 200 7.0\r\n"
    "1\r\n"
    "200 100\r\n";

bool IsDark(const QImage& image, int x, int y) {
  return qGray(image.pixel(x, y)) < 128;
}

TEST(PlotReader, FitPointsFlowAcrossLines) {
  PlotData data;
  ASSERT_EQ(ReadPlotData(" Semi: t\n    3\n 1.0 2.0\n 3.0\n 4.0 5.0 6.0\n", 1, data),
            PlotReadStatus::kOk);
  EXPECT_EQ(data.title, " Semi: t");
  EXPECT_EQ(data.x, (std::vector<double>{1.0, 3.0, 5.0}));
  EXPECT_EQ(data.y, (std::vector<double>{2.0, 4.0, 6.0}));
  // Empty lag classes (0, 0) are no points of the semivariogram.
  ASSERT_EQ(ReadPlotData(" t\n 3\n 0.0 0.0\n 50.0 3.0\n 0.0 0.0\n", 1, data), PlotReadStatus::kOk);
  EXPECT_EQ(data.x, (std::vector<double>{50.0}));
}

TEST(PlotReader, SolutionTitleIsTheModelLine) {
  PlotData data;
  ASSERT_EQ(ReadPlotData(kSol, 2, data), PlotReadStatus::kOk);
  EXPECT_EQ(data.title, " Sphe: SILL =  55.000     RANGE=  400.00     C0  =  5.0000");
  EXPECT_EQ(data.x, (std::vector<double>{100.0, 200.0, 400.0}));
  EXPECT_EQ(data.y, (std::vector<double>{10.0, 30.0, 50.0}));
  EXPECT_EQ(data.model, (std::vector<double>{12.0, 28.0, 60.0}));
}

TEST(PlotReader, DataFileKeepsTwoNumbersPerLineAndTheNodes) {
  PlotData data;
  ASSERT_EQ(ReadPlotData(kDfl, 3, data), PlotReadStatus::kOk);
  EXPECT_EQ(data.title, "Test site");
  EXPECT_EQ(data.x, (std::vector<double>{0.0, 400.0, 0.0}));
  EXPECT_EQ(data.y, (std::vector<double>{0.0, 0.0, 200.0}));
  EXPECT_EQ(data.nodeX, std::vector<double>{200.0});
  EXPECT_EQ(data.nodeY, std::vector<double>{100.0});

  ASSERT_EQ(ReadPlotData("t\n1\n1 2 3\n0\n", 3, data), PlotReadStatus::kOk);
  EXPECT_TRUE(data.nodeX.empty());
  ASSERT_EQ(ReadPlotData("t\n1\n1 2 3\n", 3, data), PlotReadStatus::kOk);  // no network
  EXPECT_EQ(data.x.size(), 1u);
}

TEST(PlotReader, BadCountsAndRecordsEndTheReading) {
  PlotData data;
  EXPECT_EQ(ReadPlotData("t\n0\n", 3, data), PlotReadStatus::kNoValues);
  EXPECT_EQ(ReadPlotData("t\n-2\n1 1\n", 1, data), PlotReadStatus::kNoValues);
  EXPECT_EQ(ReadPlotData("t\n3\n1 1\n2 2\n", 1, data), PlotReadStatus::kEndOfFile);
  EXPECT_EQ(ReadPlotData("t\n2\n1 1\n2 ********\n", 1, data), PlotReadStatus::kFormatError);
  EXPECT_EQ(ReadPlotData("t\nmany\n", 3, data), PlotReadStatus::kFormatError);
  EXPECT_EQ(ReadPlotData("t\n1\n1 1 1\nsome\n", 3, data), PlotReadStatus::kFormatError);
  EXPECT_EQ(ReadPlotData("t\n1\n1 1 1\n2\n5 5\n", 3, data), PlotReadStatus::kEndOfFile);
  EXPECT_EQ(ReadPlotData("", 1, data), PlotReadStatus::kEndOfFile);
}

TEST(PlotRange, ModelValuesCurveAndNodesWidenTheRange) {
  PlotData data;
  ASSERT_EQ(ReadPlotData(kSol, 2, data), PlotReadStatus::kOk);
  const WorldRange sol = ComputeWorldRange(data, 2);
  EXPECT_EQ(sol.xMin, 0.0);    // semivariogram axes start at 0
  EXPECT_EQ(sol.xMax, 500.0);  // the curve runs to 1.25 times the range of 400
  EXPECT_EQ(sol.yMin, 0.0);
  EXPECT_EQ(sol.yMax, 60.0);  // the model's 60 is above every observation and the sill

  data = {};
  data.x = {1.0, 2.0};
  data.y = {5.0, 6.0};
  data.nodeX = {-3.0};
  data.nodeY = {9.0};
  const WorldRange map = ComputeWorldRange(data, 3);
  EXPECT_EQ(map.xMin, -3.0);
  EXPECT_EQ(map.yMin, 5.0);  // a map does not start at 0
  EXPECT_EQ(map.yMax, 9.0);
  EXPECT_EQ(ComputeWorldRange(data, 1).xMax, 2.0);  // nodes belong to the map only
}

TEST(PlotRange, AnEmptyRangeIsWidenedAroundItsValue) {
  PlotData data;
  data.x = {10.0, 10.0};
  data.y = {0.0, 0.0};
  const WorldRange range = ComputeWorldRange(data, 3);
  EXPECT_EQ(range.xMin, 5.0);
  EXPECT_EQ(range.xMax, 15.0);
  EXPECT_EQ(range.yMin, -1.0);
  EXPECT_EQ(range.yMax, 1.0);
  const auto geometry = ComputePlotGeometry(3, range, QSize(800, 600), 1.0);
  ASSERT_TRUE(geometry.has_value());
  EXPECT_TRUE(std::isfinite(geometry->xScale));
}

TEST(PlotGeometryTest, MarginsInProportionWithRoomForTheLabels) {
  const WorldRange range{0.0, 688.0, 0.0, 984.0};
  // 800 x 600 at 72 dpi: margins 10 %, 4 %, 8 % and 10 % of the sides.
  const auto g = ComputePlotGeometry(1, range, QSize(800, 600), 1.0);
  ASSERT_TRUE(g.has_value());
  EXPECT_EQ(g->xScale, 1.0);
  EXPECT_EQ(g->yScale, 2.0);
  EXPECT_EQ(g->ToDevice(0.0, 0.0), QPoint(80, 540));
  EXPECT_EQ(g->ToDevice(688.0, 984.0), QPoint(768, 48));
  EXPECT_EQ(g->ToDevice(100.5, 1.9), QPoint(180, 539));  // truncation toward zero

  const auto map = ComputePlotGeometry(3, range, QSize(800, 600), 1.0);
  ASSERT_TRUE(map.has_value());
  EXPECT_EQ(map->xScale, 2.0);  // the larger scale on both axes, centred
  EXPECT_EQ(map->ToDevice(0.0, 0.0), QPoint(252, 540));
  EXPECT_EQ(map->ToDevice(688.0, 984.0), QPoint(596, 48));

  // A page at 1200 dpi: the margins hold the labels, in physical size.
  const auto page = ComputePlotGeometry(1, range, QSize(9000, 12000), 1200.0 / 72.0);
  ASSERT_TRUE(page.has_value());
  EXPECT_EQ(page->xMargin, 967);  // 58 points
  EXPECT_EQ(page->yMargin, 960);  // 8 % of the height

  // A device smaller than the margins still gets a plot inside it.
  const auto small = ComputePlotGeometry(1, range, QSize(50, 40), 96.0 / 72.0);
  ASSERT_TRUE(small.has_value());
  for (const QPoint p : {small->ToDevice(0.0, 0.0), small->ToDevice(688.0, 984.0)}) {
    EXPECT_TRUE(QRect(0, 0, 50, 40).contains(p)) << p.x() << "," << p.y();
  }
  EXPECT_FALSE(ComputePlotGeometry(1, range, QSize(0, 0), 1.0).has_value());
  EXPECT_FALSE(ComputePlotGeometry(1, range, QSize(800, 600), 0.0).has_value());
}

TEST(PlotModelTest, CurvesOfTheSixModels) {
  FittedModel m{2, {50.0, 400.0, 5.0}, 1.0};
  EXPECT_EQ(EvaluateModel(m, 0.0), 5.0);
  EXPECT_EQ(EvaluateModel(m, 400.0), 55.0);
  EXPECT_EQ(EvaluateModel(m, 800.0), 55.0);  // flat at the sill past the range
  EXPECT_NEAR(EvaluateModel(m, 200.0), 5.0 + 50.0 * 0.5 * (1.5 - 0.125), 1e-12);
  m.model = 3;
  EXPECT_NEAR(EvaluateModel(m, 400.0), 5.0 + 50.0 * (1.0 - std::exp(-1.0)), 1e-12);
  m.model = 4;
  EXPECT_NEAR(EvaluateModel(m, 400.0), 5.0 + 50.0 * (1.0 - std::exp(-1.0)), 1e-12);
  m = {1, {2.0, 1.5, 1.0}, 1.0};
  EXPECT_NEAR(EvaluateModel(m, 4.0), 2.0 * 8.0 + 1.0, 1e-12);
  m = {5, {0.0, 3.0, 1.0}, 1.0};
  EXPECT_FALSE(std::isfinite(EvaluateModel(m, 0.0)));  // ln 0: no point at h = 0
  EXPECT_NEAR(EvaluateModel(m, std::exp(2.0)), 7.0, 1e-12);
  m = {6, {2.0, 3.0, 0.5}, 100.0};
  EXPECT_EQ(EvaluateModel(m, 0.0), 2.0);
  EXPECT_NEAR(EvaluateModel(m, 100.0), 2.0 * (1.0 + 3.0 * 0.5), 1e-12);  // one lag step

  // Past the range, but not without bound; a little past the last lag otherwise.
  EXPECT_EQ(CurveEnd({2, {50.0, 400.0, 5.0}, 1.0}, 300.0), 500.0);
  EXPECT_EQ(CurveEnd({2, {50.0, 1e9, 5.0}, 1.0}, 300.0), 1200.0);
  EXPECT_NEAR(CurveEnd({1, {1.0, 1.0, 0.0}, 1.0}, 300.0), 315.0, 1e-9);
  const auto curve = ModelCurve({5, {0.0, 3.0, 1.0}, 1.0}, 100.0);
  ASSERT_FALSE(curve.empty());
  EXPECT_GT(curve.front().x(), 0.0);  // the undefined h = 0 is left out
}

// The plot reads the report with the project's reader: the model from the
// name on line 3, no curve for a report that names none.
TEST(PlotReader, TheReportsModelLineNamesTheCurve) {
  const std::string solTail(kSol + std::string(kSol).find("        SOLUTIONS"));
  const struct {
    const char* line;
    int model;
  } cases[] = {{" Sphe: SILL =  55.000", 2}, {"  k_R: SIGMA=  1.0", 6}, {"Other", 0}};
  for (const auto& c : cases) {
    PlotData data;
    ASSERT_EQ(ReadPlotData(std::string(" t\n ICON=  0\n") + c.line + "\n" + solTail, 2, data),
              PlotReadStatus::kOk);
    EXPECT_EQ(data.fitted.model, c.model) << c.line;
    EXPECT_EQ(data.x.size(), 3u);  // the points are plotted either way
  }
  PlotData data;
  EXPECT_EQ(ReadPlotData(std::string(kSol).substr(0, std::string(kSol).size() - 40), 2, data),
            PlotReadStatus::kEndOfFile);
}

TEST(PlotLabelsTest, LabelsStayOnThePageAndOptionalOnesNeverOverlap) {
  QApplication& app = testing::GuiApp();
  (void)app;
  QImage image(200, 100, QImage::Format_RGB32);
  QPainter painter(&image);
  LabelPlacer labels(QRectF(0, 0, 200, 100));
  EXPECT_TRUE(labels.Draw(painter, QPointF(-50, -20), Qt::AlignLeft | Qt::AlignTop, "outside"));
  EXPECT_GE(labels.placed().back().left(), 0.0);
  EXPECT_GE(labels.placed().back().top(), 0.0);
  EXPECT_TRUE(labels.Draw(painter, QPointF(250, 120), Qt::AlignLeft | Qt::AlignTop, "far"));
  EXPECT_LE(labels.placed().back().right(), 200.0);
  EXPECT_LE(labels.placed().back().bottom(), 100.0);
  EXPECT_TRUE(labels.Draw(painter, QPointF(100, 50), Qt::AlignCenter, "1000", true));
  EXPECT_FALSE(labels.Draw(painter, QPointF(104, 52), Qt::AlignCenter, "1200", true));
  EXPECT_EQ(labels.placed().size(), 3u);
}

class PlotRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    document.OnNewDocument();
    ASSERT_TRUE(
        document.OnSaveDocument(QString::fromStdString((folder.path() / "P.mnx").string())));
    prompts.messages.clear();
  }

  QImage Render(int mode, QSize size = QSize(800, 600), bool printing = false) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    outcome = RunPlotPass(painter, size, printing, mode, ProgramRecords().fileName, ProgramFiles());
    return image;
  }

  QApplication& app = testing::GuiApp();
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  CMornaxDoc document{prompts, &testing::RecordingEngine, EngineRunner::Thread::kCaller};
  PlotOutcome outcome;
};

TEST_F(PlotRenderTest, MapMarkersLandOnTheirPoints) {
  folder.Write("P.dfl", kDfl);
  const QImage image = Render(3);
  EXPECT_EQ(outcome.condition, PlotCondition::kNone);
  PlotData data;
  ASSERT_EQ(ReadPlotData(kDfl, 3, data), PlotReadStatus::kOk);
  const auto g = ComputePlotGeometry(3, ComputeWorldRange(data, 3), QSize(800, 600), 96.0 / 72.0);
  ASSERT_TRUE(g.has_value());
  // Data markers of half-size 3 pixels at 96 dpi, node markers of 1.
  const QPoint a = g->ToDevice(400.0, 0.0);
  EXPECT_TRUE(IsDark(image, a.x() + 3, a.y()));
  EXPECT_TRUE(IsDark(image, a.x(), a.y() - 3));
  EXPECT_FALSE(IsDark(image, a.x() + 6, a.y() - 6));
  const QPoint b = g->ToDevice(0.0, 200.0);
  EXPECT_TRUE(IsDark(image, b.x() + 3, b.y()));
  const QPoint node = g->ToDevice(200.0, 100.0);
  EXPECT_TRUE(IsDark(image, node.x() - 1, node.y()));
  EXPECT_TRUE(IsDark(image, node.x() + 1, node.y()));
  EXPECT_FALSE(IsDark(image, node.x() - 4, node.y()));
  const QPoint axis = g->ToDevice(0.0, 100.0);
  EXPECT_TRUE(IsDark(image, axis.x(), axis.y()));  // the vertical axis
}

TEST_F(PlotRenderTest, MarkersKeepTheirPhysicalSizeOnA1200DpiPage) {
  folder.Write("P.dfl", kDfl);
  auto markerWidth = [&](int dpi, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
    image.fill(Qt::white);
    QPainter painter(&image);
    RunPlotPass(painter, size, true, 3, ProgramRecords().fileName, ProgramFiles());
    PlotData data;
    ReadPlotData(kDfl, 3, data);
    const auto g = ComputePlotGeometry(3, ComputeWorldRange(data, 3), size, dpi / 72.0);
    // The marker at (0, 200) sits on the vertical axis, whose ticks point
    // left: measure its right half.
    const QPoint at = g->ToDevice(0.0, 200.0);
    const int reach = static_cast<int>(2 * kDataMarkerPoints * dpi / 72.0);
    int last = at.x();
    for (int x = at.x(); x <= at.x() + reach; ++x) {
      if (IsDark(image, x, at.y())) last = x;
    }
    const int width = 2 * (last - at.x()) + 1;
    return width * 25.4 / dpi;  // millimetres
  };
  const double screen = markerWidth(96, QSize(800, 600));
  const double page = markerWidth(1200, QSize(4000, 3000));
  EXPECT_NEAR(screen, 2 * kDataMarkerPoints * 25.4 / 72, 0.4);
  EXPECT_NEAR(page, screen, 0.35);
  EXPECT_GT(page, 1.0);  // not a speck of 0.05 mm
}

TEST_F(PlotRenderTest, FittedModelDrawsThePolylineAndTheCurvePastTheRange) {
  folder.Write("P.sol", kSol);
  const QImage image = Render(2);
  EXPECT_EQ(outcome.condition, PlotCondition::kNone);
  PlotData data;
  ASSERT_EQ(ReadPlotData(kSol, 2, data), PlotReadStatus::kOk);
  const auto g = ComputePlotGeometry(2, ComputeWorldRange(data, 2), QSize(800, 600), 96.0 / 72.0);
  ASSERT_TRUE(g.has_value());
  auto darkNear = [&](QPoint p) {
    for (int dy = -2; dy <= 2; ++dy) {
      if (IsDark(image, p.x(), p.y() + dy)) return true;
    }
    return false;
  };
  // The polyline through the model values, half-way between the first two lags.
  EXPECT_TRUE(darkNear(g->ToDevice(150.0, 20.0)));
  // The curve runs on from the last lag at the sill (55), in its own colour,
  // and stops at 1.25 times the range.
  const QPoint beyond = g->ToDevice(470.0, 55.0);
  bool red = false;
  for (int dy = -2; dy <= 2; ++dy) {
    const QRgb c = image.pixel(beyond.x(), beyond.y() + dy);
    red = red || qRed(c) - qGreen(c) > 50;
  }
  EXPECT_TRUE(red);
  const QPoint end = g->ToDevice(500.0, 55.0);
  for (int x = end.x() + 3; x < 800; ++x) EXPECT_FALSE(IsDark(image, x, end.y()));
  // ... and starts at the nugget at distance 0.
  const QPoint start = g->ToDevice(20.0, EvaluateModel(data.fitted, 20.0));
  bool curveAtZero = false;
  for (int dy = -3; dy <= 3; ++dy) {
    const QRgb c = image.pixel(start.x(), start.y() + dy);
    curveAtZero = curveAtZero || qRed(c) - qGreen(c) > 50;
  }
  EXPECT_TRUE(curveAtZero);
}

TEST_F(PlotRenderTest, ConditionsAreReportedNotDrawn) {
  Render(1);
  EXPECT_EQ(outcome.condition, PlotCondition::kFileMissing);
  EXPECT_EQ(outcome.message, "Data file not found!");
  folder.Write("P.fit", " t\n    0\n");
  Render(1);
  EXPECT_EQ(outcome.message, "No Values in Data file!");
  folder.Write("P.fit", " t\n    2\n 1 2\n x y\n");
  Render(1);
  EXPECT_EQ(outcome.message, "Data format error in input file : P.fit");
  Render(0);
  EXPECT_EQ(outcome.condition, PlotCondition::kNone);
}

TEST_F(PlotRenderTest, ReadOnlyFilesArePlotted) {
  folder.Write("P.dfl", kDfl);
  std::filesystem::permissions(folder.path() / "P.dfl", std::filesystem::perms::owner_read);
  const QImage image = Render(3, QSize(400, 300), true);  // a page smaller than the margins
  EXPECT_EQ(outcome.condition, PlotCondition::kNone);
  int dark = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) dark += IsDark(image, x, y) ? 1 : 0;
  }
  EXPECT_GT(dark, 20);
}

TEST_F(PlotRenderTest, ThePlotPrintsToAPage) {
  folder.Write("P.dfl", kDfl);
  CMornaxView view(document);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString((folder.path() / "map.pdf").string()));
  view.Print(printer);
  QCoreApplication::processEvents();
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_GT(std::filesystem::file_size(folder.path() / "map.pdf"), 1000u);
}

TEST_F(PlotRenderTest, ViewReportsEachConditionOncePerChange) {
  CMornaxView view(document);
  view.resize(600, 400);
  for (int i = 0; i < 3; ++i) {
    view.grab();
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(prompts.messages, std::vector<std::string>{"Data file not found!"});
  document.SetDisplayMode(1);
  view.grab();
  view.grab();
  QCoreApplication::processEvents();
  EXPECT_EQ(prompts.messages.size(), 2u);

  document.OnNewDocument();  // nothing to plot, nothing to report
  view.grab();
  QCoreApplication::processEvents();
  EXPECT_EQ(prompts.messages.size(), 2u);
  document.SetDisplayMode(2);
  view.grab();
  QCoreApplication::processEvents();
  EXPECT_EQ(prompts.messages.back(), "New Document, Filename empty!");
}

}  // namespace
}  // namespace mornax::gui
