// The plot: reading the three file kinds, the world range, the mapping to
// device units, markers on a rendered image and the one-time reports.
#include <QImage>
#include <QPainter>
#include <QPrinter>

#include "gui/mornax_doc.h"
#include "gui/mornax_view.h"
#include "gui/plot_geometry.h"
#include "gui/plot_pass.h"
#include "gui/plot_reader.h"
#include "gui/program_records.h"
#include "qt/gui_test_support.h"
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

TEST(PlotRange, ModelValuesAndNodesWidenTheRange) {
  PlotData data;
  ASSERT_EQ(ReadPlotData(kSol, 2, data), PlotReadStatus::kOk);
  const WorldRange sol = ComputeWorldRange(data, 2);
  EXPECT_EQ(sol.xMin, 100.0);
  EXPECT_EQ(sol.xMax, 400.0);
  EXPECT_EQ(sol.yMin, 10.0);
  EXPECT_EQ(sol.yMax, 60.0);  // the model's 60 is above every observation

  data = {};
  data.x = {1.0, 2.0};
  data.y = {5.0, 6.0};
  data.nodeX = {-3.0};
  data.nodeY = {9.0};
  const WorldRange map = ComputeWorldRange(data, 3);
  EXPECT_EQ(map.xMin, -3.0);
  EXPECT_EQ(map.yMax, 9.0);
  EXPECT_EQ(ComputeWorldRange(data, 1).xMin, 1.0);  // nodes belong to the map only
}

TEST(PlotRange, AnEmptyRangeIsWidenedAroundItsValue) {
  PlotData data;
  data.x = {10.0, 10.0};
  data.y = {0.0, 0.0};
  const WorldRange range = ComputeWorldRange(data, 1);
  EXPECT_EQ(range.xMin, 5.0);
  EXPECT_EQ(range.xMax, 15.0);
  EXPECT_EQ(range.yMin, -1.0);
  EXPECT_EQ(range.yMax, 1.0);
  const auto geometry = ComputePlotGeometry(1, range, QSize(800, 600), false);
  ASSERT_TRUE(geometry.has_value());
  EXPECT_EQ(geometry->ToDevice(10.0, 0.0), QPoint(300, 230));  // the middle of the area
}

TEST(PlotGeometryTest, ScreenMapping) {
  const WorldRange range{0.0, 400.0, 0.0, 740.0};
  const auto g = ComputePlotGeometry(1, range, QSize(800, 600), false);
  ASSERT_TRUE(g.has_value());
  // area 600 x 400, margins 100 and 15: 400 by 370 device units for the data
  EXPECT_EQ(g->xScale, 1.0);
  EXPECT_EQ(g->yScale, 2.0);
  EXPECT_EQ(g->ToDevice(0.0, 0.0), QPoint(100, 415));
  EXPECT_EQ(g->ToDevice(400.0, 740.0), QPoint(500, 45));
  EXPECT_EQ(g->ToDevice(100.5, 1.9), QPoint(200, 414));  // truncation toward zero

  const auto map = ComputePlotGeometry(3, range, QSize(800, 600), false);
  ASSERT_TRUE(map.has_value());
  EXPECT_EQ(map->xScale, 2.0);  // the larger scale on both axes
  EXPECT_EQ(map->ToDevice(400.0, 740.0), QPoint(300, 45));
}

TEST(PlotGeometryTest, PaperMappingAndSmallDevices) {
  const WorldRange range{0.0, 4100.0, 0.0, 5700.0};
  const auto page = ComputePlotGeometry(1, range, QSize(5000, 7000), true);
  ASSERT_TRUE(page.has_value());
  EXPECT_EQ(page->xMargin, 400);
  EXPECT_EQ(page->yMargin, 150);
  EXPECT_EQ(page->xScale, 1.0);
  EXPECT_EQ(page->yScale, 1.0);
  EXPECT_EQ(page->ToDevice(0.0, 0.0), QPoint(400, 6150));

  // A page smaller than the paper margins still gets a plot inside it.
  const auto small = ComputePlotGeometry(1, range, QSize(800, 800), true);
  ASSERT_TRUE(small.has_value());
  for (const QPoint p : {small->ToDevice(0.0, 0.0), small->ToDevice(4100.0, 5700.0)}) {
    EXPECT_TRUE(QRect(0, 0, 800, 800).contains(p)) << p.x() << "," << p.y();
  }
  EXPECT_FALSE(ComputePlotGeometry(1, range, QSize(0, 0), false).has_value());
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
  // scale 1 (400 wide, 200 high); (x, y) maps to (100 + x, 415 - y)
  EXPECT_TRUE(IsDark(image, 503, 415));  // data marker at (500, 415), half-size 3
  EXPECT_TRUE(IsDark(image, 500, 412));
  EXPECT_FALSE(IsDark(image, 506, 415));
  EXPECT_TRUE(IsDark(image, 103, 215));  // data marker at (100, 215)
  EXPECT_FALSE(IsDark(image, 106, 215));
  EXPECT_TRUE(IsDark(image, 299, 315));  // node marker at (300, 315), half-size 1
  EXPECT_TRUE(IsDark(image, 301, 315));
  EXPECT_FALSE(IsDark(image, 296, 315));
  EXPECT_TRUE(IsDark(image, 100, 300));  // the vertical axis
  EXPECT_FALSE(IsDark(image, 700, 100));
}

TEST_F(PlotRenderTest, FittedModelDrawsAPolylineThroughTheModelValues) {
  folder.Write("P.sol", kSol);
  const QImage image = Render(2);
  EXPECT_EQ(outcome.condition, PlotCondition::kNone);
  // x 100..400 over 400 units (scale 0.75), y 10..60 over 370: the model's
  // first segment runs from (100, 15 + trunc(400 - 14.8)) = (100, 400) to
  // (100 + trunc(133.3), 15 + trunc(400 - 133.2)) = (233, 281).
  const QPoint middle(166, 340);
  bool dark = false;
  for (int dy = -2; dy <= 2; ++dy) dark = dark || IsDark(image, middle.x(), middle.y() + dy);
  EXPECT_FALSE(IsDark(image, 166, 300));
  EXPECT_TRUE(dark);
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
