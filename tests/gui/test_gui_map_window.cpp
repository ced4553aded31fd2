// The map in the program: the menu entries and toolbar button, the map shown
// by itself after an interpolation run (and not after opening a project or a
// cancelled dialog), the canvas's read-out, zoom, pan and fit, and pictures
// exported and copied from the plot and the map.
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

#include "gui/gui_test_support.h"
#include "gui/main_frame.h"
#include "gui/map/map_canvas.h"
#include "gui/map/map_hooks.h"
#include "gui/map/picture_dialog.h"
#include "gui/map/result_map_window.h"
#include "gui/mornax_doc.h"
#include "gui/mornax_view.h"
#include "support/temp_dir.h"

namespace mornax::gui {
namespace {

// Stands in for the library: a kriging run writes a 6 x 5 grid of results
// into the current directory (the project's folder).
// How many of the 30 network points the stand-in writes (a stopped run
// writes fewer), and whether it then shows a message (the run failed).
std::size_t gWrittenPoints = 30;
bool gShowsMessage = false;

void GridEngine(int, int, int, FILENAME*, SVAR*, FVAR*, IPL*) {
  std::string dfl = "Grid site\n2\n10 10 1\n40 30 2\n30\n";
  std::string dat = "    0   30    0 ;" + std::string(40, ' ') + "STD\n";
  std::string wl;
  std::size_t written = 0;
  for (int r = 4; r >= 0; --r) {
    for (int c = 0; c < 6; ++c) {
      char line[120];
      std::snprintf(line, sizeof line, "%d %d\n", c * 10, r * 10);
      dfl += line;
      if (written++ >= gWrittenPoints) continue;
      std::snprintf(line, sizeof line, "  %15.1f%15.1f%15.5f%15.5f\n", c * 10.0, r * 10.0,
                    c + 2.0 * r, 0.5);
      dat += line;
      std::snprintf(line, sizeof line, "%15.5f%15.5f%15.5f\n", c * 10.0, r * 10.0, c + 2.0 * r);
      wl += line;
    }
  }
  for (const auto& [name, text] : {std::pair<const char*, std::string>{"P.dfl", dfl},
                                   {"P.dat", dat},
                                   {"P.wl", wl},
                                   {"P.lev", "    1 ;\n       5\n"}}) {
    if (std::FILE* file = std::fopen(name, "w")) {
      std::fputs(text.c_str(), file);
      std::fclose(file);
    }
  }
  if (gShowsMessage) {
    QMessageBox box;
    QTimer::singleShot(0, &box, &QMessageBox::accept);
    box.exec();
  }
}

// The stand-in library writes interpolation results: the dialog asks for them.
int Interpolate(QDialog& dialog) {
  testing::Radio(dialog, "runMode_1")->setChecked(true);
  testing::SetField(dialog, "points", "1");  // the stand-in's data file has two points
  return testing::PressOk(dialog);
}

class MapWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    document.OnNewDocument();
    ASSERT_TRUE(
        document.OnSaveDocument(QString::fromStdString((folder.path() / "P.mnx").string())));
  }
  QAction* Action(const char* name) { return frame.findChild<QAction*>(name); }
  // Starts a run from its menu command and waits for the worker to finish it.
  void RunAndWait(const char* name) {
    Action(name)->trigger();
    QElapsedTimer clock;
    clock.start();
    while (document.isRunning() && clock.elapsed() < 10000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ASSERT_FALSE(document.isRunning());
  }

  QApplication& app = testing::GuiApp();
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  CMornaxDoc document{prompts, &GridEngine};
  CMainFrame frame{document};
};

TEST_F(MapWindowTest, MenusToolbarAndTheMapAfterARun) {
  ASSERT_NE(Action("actionResultMap"), nullptr);
  EXPECT_TRUE(frame.menuBar()
                  ->findChild<QMenu*>("menuView")
                  ->actions()
                  .contains(Action("actionResultMap")));
  EXPECT_TRUE(frame.findChild<QToolBar*>("toolBar")->actions().contains(Action("actionResultMap")));
  ASSERT_NE(Action("actionExportPicture"), nullptr);
  EXPECT_TRUE(Action("actionCopy")->isEnabled());

  // A cancelled dialog runs nothing and shows nothing.
  Action("actionKriging")->trigger();
  EXPECT_FALSE(frame.findChild<ResultMapWindow*>());

  prompts.onDialog = Interpolate;
  RunAndWait("actionKriging");
  auto* map = frame.findChild<ResultMapWindow*>();
  ASSERT_NE(map, nullptr);
  EXPECT_TRUE(map->isVisible());
  EXPECT_EQ(map->layer(), render::MapLayer::kEstimate);
  const render::MapScene& scene = map->canvas().scene();
  EXPECT_TRUE(scene.failure.isEmpty()) << scene.failure.toStdString();
  ASSERT_TRUE(scene.grid.has_value());
  EXPECT_EQ(scene.grid->cols, 6);

  // A minimised map comes back with View > Result Map.
  map->showMinimized();
  ASSERT_TRUE(map->isMinimized());
  Action("actionResultMap")->trigger();
  EXPECT_FALSE(map->isMinimized());
  EXPECT_TRUE(map->isVisible());

  // Opening the project again shows the same results: no new map.
  map->hide();
  ASSERT_TRUE(frame.OpenDocumentFile(QString::fromStdString((folder.path() / "P.mnx").string())));
  EXPECT_FALSE(map->isVisible());

  // An open map follows the document to another project, and leaves a
  // layer that project's results lack.
  map->show();
  map->SetLayer(render::MapLayer::kStandardError);
  map->Reload();
  EXPECT_TRUE(map->canvas().scene().failure.isEmpty());
  testing::ScopedTempDir other;
  other.Write("Q.dfl", "Other\n1\n0 0 1\n0\n");
  ASSERT_TRUE(document.OnSaveDocument(QString::fromStdString((other.path() / "Q.mnx").string())));
  EXPECT_TRUE(map->documentPath().endsWith("Q.mnx")) << map->documentPath().toStdString();
  EXPECT_TRUE(map->canvas().scene().failure.contains("No results"))
      << map->canvas().scene().failure.toStdString();
  EXPECT_EQ(map->layer(), render::MapLayer::kEstimate);
  EXPECT_FALSE(map->LayerAvailable(render::MapLayer::kStandardError));
  ASSERT_TRUE(frame.OpenDocumentFile(QString::fromStdString((folder.path() / "P.mnx").string())));

  // Layers switch; one the method lacks says so on the canvas.
  map->SetLayer(render::MapLayer::kGuess);
  map->Reload();
  EXPECT_TRUE(map->canvas().scene().failure.contains("guess"));
}

TEST_F(MapWindowTest, CanvasReadsOutZoomsPansAndFits) {
  prompts.onDialog = Interpolate;
  RunAndWait("actionKriging");
  ASSERT_NE(frame.findChild<ResultMapWindow*>(), nullptr);
  MapCanvas& canvas = frame.findChild<ResultMapWindow*>()->canvas();
  canvas.resize(800, 600);
  canvas.grab();
  const render::MapLayout fitted = canvas.layout();
  ASSERT_TRUE(fitted.valid);

  const QPointF node = fitted.ToDevice(30.0, 20.0);  // value 3 + 2 * 2 = 7
  EXPECT_TRUE(canvas.ReadOut(node).contains("= 7")) << canvas.ReadOut(node).toStdString();
  const QPointF well = fitted.ToDevice(40.0, 30.0);
  EXPECT_TRUE(canvas.ReadOut(well).contains("data point (40, 30) measured 2"))
      << canvas.ReadOut(well).toStdString();
  EXPECT_TRUE(canvas.ReadOut(QPointF(1, 1)).isEmpty());  // outside the map

  const QPointF at = fitted.ToDevice(20.0, 10.0);
  canvas.ZoomAt(at, 2.0);
  canvas.grab();
  EXPECT_NEAR(canvas.layout().scale, 2 * fitted.scale, 1e-9);
  const QPointF still = canvas.layout().ToWorld(at);
  EXPECT_NEAR(still.x(), 20.0, 1e-6);
  EXPECT_NEAR(still.y(), 10.0, 1e-6);

  const QPointF before = canvas.layout().worldCentre;
  canvas.PanBy(QPointF(100, -50));
  canvas.grab();
  EXPECT_NEAR(canvas.layout().worldCentre.x(), before.x() - 100 / canvas.layout().scale, 1e-9);
  EXPECT_NEAR(canvas.layout().worldCentre.y(), before.y() - 50 / canvas.layout().scale, 1e-9);

  // A wheel zoom tells the read-out what lies under the cursor now.
  QString readOut;
  QObject::connect(&canvas, &MapCanvas::readOutChanged,
                   [&readOut](const QString& text) { readOut = text; });
  const QPointF cursor = canvas.layout().ToDevice(10.0, 10.0);
  QWheelEvent wheel(cursor, canvas.mapToGlobal(cursor), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&canvas, &wheel);
  EXPECT_EQ(readOut, canvas.ReadOut(cursor));
  EXPECT_TRUE(readOut.contains("x = 10")) << readOut.toStdString();

  canvas.FitToWindow();
  canvas.grab();
  EXPECT_TRUE(canvas.viewport().fitted);
  EXPECT_NEAR(canvas.layout().scale, fitted.scale, 1e-9);
}

TEST_F(MapWindowTest, PicturesOfThePlotAndTheMap) {
  folder.Write("P.dfl", "Wells\n2\n0 0 1\n100 50 2\n0\n");
  document.SetDisplayMode(3);
  const std::string plot = (folder.path() / "plot.png").string();
  prompts.onDialog = testing::AcceptWith<PictureExportDialog>([&](PictureExportDialog& d) {
    d.SetPath(QString::fromStdString(plot));
    d.SetPictureSize(QSize(320, 240));
  });
  Action("actionExportPicture")->trigger();
  EXPECT_EQ(QImage(QString::fromStdString(plot)).size(), QSize(320, 240));
  EXPECT_TRUE(prompts.messages.empty());

  // A picture that cannot be written is reported.
  prompts.onDialog = testing::AcceptWith<PictureExportDialog>([&](PictureExportDialog& d) {
    d.SetPath(QString::fromStdString((folder.path() / "plot.gif").string()));
  });
  Action("actionExportPicture")->trigger();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find(".png, .svg and .pdf"), std::string::npos);

  frame.view().resize(400, 300);
  Action("actionCopy")->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(400, 300));

  frame.mapHooks().map().ShowProject(QString::fromStdString((folder.path() / "P.mnx").string()));
  const std::string map = (folder.path() / "map.svg").string();
  prompts.onDialog = testing::AcceptWith<PictureExportDialog>(
      [&](PictureExportDialog& d) { d.SetPath(QString::fromStdString(map)); });
  frame.mapHooks().map().ExportPicture();
  EXPECT_NE(folder.Read("map.svg").find("<svg"), std::string::npos);

  // A picture for a report: 16 x 12 cm at 300 dpi, labels at their printed
  // size, the resolution recorded in the file.
  const std::string report = (folder.path() / "report.png").string();
  prompts.onDialog = testing::AcceptWith<PictureExportDialog>([&](PictureExportDialog& d) {
    d.SetPath(QString::fromStdString(report));
    d.SetCentimetres(16, 12, 300);
    EXPECT_EQ(d.pictureSize(), QSize(1890, 1417));
  });
  frame.mapHooks().map().ExportPicture();
  const QImage printed(QString::fromStdString(report));
  EXPECT_EQ(printed.size(), QSize(1890, 1417));
  EXPECT_NEAR(printed.dotsPerMeterX() * 0.0254, 300.0, 0.5);

  // On paper through the printer: a PDF page at the printer's resolution.
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString((folder.path() / "printed.pdf").string()));
  frame.mapHooks().map().PrintOn(printer);
  EXPECT_GT(std::filesystem::file_size(folder.path() / "printed.pdf"), 1000u);
}

TEST(MapAfterAStoppedRunTest, TheOpenMapShowsThePartialRunMarkedOnce) {
  QApplication& app = testing::GuiApp();
  static_cast<void>(app);
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  CMornaxDoc document{prompts, &GridEngine, EngineRunner::Thread::kCaller};
  CMainFrame frame{document};
  ASSERT_TRUE(document.OnSaveDocument(QString::fromStdString((folder.path() / "P.mnx").string())));
  prompts.onDialog = Interpolate;
  gWrittenPoints = 30;
  frame.findChild<QAction*>("actionKriging")->trigger();
  frame.mapHooks().ShowResultMap();
  auto* map = frame.findChild<ResultMapWindow*>();
  ASSERT_NE(map, nullptr);
  EXPECT_TRUE(map->canvas().scene().badge.isEmpty());

  // The next run stops after 12 points (and says so in a message): the
  // files hold the partial run, and so does the open map, at once.
  gWrittenPoints = 12;
  gShowsMessage = true;
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // a newer file time
  frame.findChild<QAction*>("actionKriging")->trigger();
  gWrittenPoints = 30;
  gShowsMessage = false;
  const render::MapScene& scene = map->canvas().scene();
  EXPECT_EQ(scene.badge, "Stopped run: 12 of 30 points")
      << scene.failure.toStdString() << scene.notes.join(" | ").toStdString()
      << frame.statusBar()->currentMessage().toStdString();
  int said = 0;
  for (const QString& note : scene.notes) said += note.contains("stopped") ? 1 : 0;
  EXPECT_EQ(said, 1) << scene.notes.join(" | ").toStdString();
}

}  // namespace
}  // namespace mornax::gui
