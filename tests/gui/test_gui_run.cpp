// Computations off the interface thread: the event loop keeps turning during
// a long run, Cancel stops it within a bound, a message box holds the run
// until it is answered, the main window shows the run, and a run that did not
// produce its result leaves the plot alone with a note in the status bar.
#include <QAction>
#include <QElapsedTimer>
#include <QImage>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

#include <atomic>
#include <fstream>
#include <thread>

#include "gui/dialogs/kriging_dialog.h"
#include "gui/dialogs/semivariogram_dialog.h"
#include "gui/gui_test_support.h"
#include "gui/main_frame.h"
#include "gui/mornax_doc.h"
#include "gui/mornax_view.h"
#include "gui/plot_pass.h"
#include "gui/program_records.h"
#include "support/temp_dir.h"

namespace mornax::gui {
namespace {

using testing::AcceptWith;

constexpr int kNetworkSide = 330;  // 108900 network points: about a second of kriging

QWidget* ProgressWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->windowTitle() == "Progress Report") return widget;
  }
  return nullptr;
}

QPushButton* ProgressButton(const QString& text) {
  QWidget* window = ProgressWindow();
  if (window == nullptr) return nullptr;
  for (auto* button : window->findChildren<QPushButton*>()) {
    if (button->text() == text) return button;
  }
  return nullptr;
}

// Answers the library's message boxes after `delayMs` and keeps their texts.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(int delayMs = 0) : delayMs_(delayMs) {
    timer_.callOnTimeout([this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) {
        seen_.invalidate();
        return;
      }
      if (!seen_.isValid()) seen_.start();
      if (seen_.elapsed() < delayMs_) return;
      texts.push_back(box->text().toStdString());
      box->done(QMessageBox::Ok);
      seen_.invalidate();
    });
    timer_.start(10);
  }
  std::vector<std::string> texts;

 private:
  int delayMs_;
  QElapsedTimer seen_;
  QTimer timer_;
};

// A scattered data set and a square network, written as the project's data file.
void WriteKrigingData(const std::filesystem::path& file) {
  std::ofstream out(file);
  out << "Generated field\n2000\n";
  std::uint32_t state = 12345;
  const auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / double(1u << 24);
  };
  for (int i = 0; i < 2000; ++i) {
    const double x = 10000.0 * next(), y = 10000.0 * next();
    out << x << ' ' << y << ' ' << 50.0 + x / 1000.0 - y / 2000.0 + next() << '\n';
  }
  out << kNetworkSide * kNetworkSide << '\n';
  for (int i = 0; i < kNetworkSide; ++i) {
    for (int j = 0; j < kNetworkSide; ++j) out << 30.0 * i << ' ' << 30.0 * j << '\n';
  }
}

std::size_t LineCount(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::size_t lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  return lines;
}

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(folder.path().string()));
    document.OnNewDocument();
    frame.resize(800, 600);
    frame.show();
  }

  // A saved kriging project on the generated data, interpolating with 16
  // nearest points.
  void KrigingProject() {
    WriteKrigingData(folder.path() / "BIG.dfl");
    ASSERT_TRUE(
        document.OnSaveDocument(QString::fromStdString((folder.path() / "BIG.mnx").string())));
    // The data map of 110000 points takes a while to draw; draw it now, so
    // that the measurements see the run alone.
    QCoreApplication::processEvents();
    prompts.onDialog = AcceptWith<CKrigingDlg>([](CKrigingDlg& d) {
      testing::SetField(d, "points", "16");
      testing::Radio(d, "runMode_1")->setChecked(true);
    });
  }

  QApplication& app = testing::GuiApp();
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  CMornaxDoc document{prompts};  // the library, on a worker thread
  CMainFrame frame{document};
};

TEST_F(RunTest, ALongRunKeepsTheEventLoopTurningAndTheWindowShowsIt) {
  KrigingProject();
  // A timer of 50 ms records the longest gap between its ticks.
  QElapsedTimer clock;
  qint64 lastTick = 0, longestGap = 0;
  int ticks = 0;
  QTimer ticker;
  ticker.callOnTimeout([&] {
    const qint64 now = clock.elapsed();
    longestGap = std::max(longestGap, now - lastTick);
    lastTick = now;
    ++ticks;
  });
  // Looked at while the run lasts.
  bool sawBusyState = false, progressAbove = false;
  QTimer watcher;
  watcher.callOnTimeout([&] {
    if (!document.isRunning()) return;
    sawBusyState = sawBusyState || (!frame.findChild<QAction*>("actionKriging")->isEnabled() &&
                                    !frame.findChild<QAction*>("actionOpen")->isEnabled() &&
                                    frame.view().cursor().shape() == Qt::BusyCursor &&
                                    frame.findChild<QAction*>("actionShowFile1")->isEnabled());
    QWidget* progress = ProgressWindow();
    progressAbove =
        progressAbove || (progress != nullptr && progress->isVisible() &&
                          progress->windowHandle()->transientParent() == frame.windowHandle());
  });
  watcher.start(100);
  // MORNAX_SCREENSHOT_DIR: the screen while the run lasts (under a display server).
  QTimer::singleShot(700, [] {
    const QString dir = qEnvironmentVariable("MORNAX_SCREENSHOT_DIR");
    if (dir.isEmpty() || QGuiApplication::primaryScreen() == nullptr) return;
    QGuiApplication::primaryScreen()->grabWindow(0).save(dir +
                                                         "/progress-over-busy-main-window.png");
  });

  frame.findChild<QAction*>("actionKriging")->trigger();
  // The command returned while the library computes.
  EXPECT_TRUE(document.isRunning());
  EXPECT_FALSE(frame.close());  // no leaving in the middle of a run
  EXPECT_TRUE(frame.statusBar()->currentMessage().startsWith("A computation is running"));
  clock.start();
  ticker.start(50);
  document.WaitForRun();
  const qint64 runTime = clock.elapsed();
  ticker.stop();

  RecordProperty("runMs", static_cast<int>(runTime));
  RecordProperty("longestTimerGapMs", static_cast<int>(longestGap));
  ASSERT_GT(runTime, 300) << "the run was too short to show anything";
  EXPECT_GE(ticks, runTime / 50 / 2);
  EXPECT_LT(longestGap, 250);
  EXPECT_TRUE(sawBusyState);
  EXPECT_TRUE(progressAbove);
  EXPECT_EQ(LineCount(folder.path() / "BIG.dat"), kNetworkSide * kNetworkSide + 1u);
  EXPECT_TRUE(frame.findChild<QAction*>("actionKriging")->isEnabled());
  EXPECT_NE(frame.view().cursor().shape(), Qt::BusyCursor);
  EXPECT_TRUE(frame.statusBar()->currentMessage().startsWith("Kriging finished"))
      << frame.statusBar()->currentMessage().toStdString();
  const auto* list = ProgressWindow()->findChild<QListWidget*>();
  EXPECT_EQ(list->item(0)->text(), "MORNAX: Start Computation");
}

TEST_F(RunTest, CancelStopsTheRunWithinAFifthOfASecond) {
  KrigingProject();
  QElapsedTimer sinceCancel;
  frame.findChild<QAction*>("actionKriging")->trigger();
  // Cancel a while into the computation: the window's OK is disabled while
  // the run lasts, so that the window stays up.
  QTimer::singleShot(300, [&] {
    QPushButton* cancel = ProgressButton("Cancel");
    ASSERT_NE(cancel, nullptr);
    EXPECT_FALSE(ProgressButton("OK")->isEnabled());
    sinceCancel.start();
    cancel->click();
  });
  document.WaitForRun();
  ASSERT_TRUE(sinceCancel.isValid()) << "the run ended before Cancel";
  RecordProperty("cancelToEndMs", static_cast<int>(sinceCancel.elapsed()));
  // The loop polls once per estimated point, a fraction of a millisecond.
  EXPECT_LT(sinceCancel.elapsed(), 200);
  EXPECT_LT(LineCount(folder.path() / "BIG.dat"), kNetworkSide * kNetworkSide + 1u);
  EXPECT_TRUE(frame.statusBar()->currentMessage().startsWith("Kriging stopped"))
      << frame.statusBar()->currentMessage().toStdString();
  EXPECT_TRUE(ProgressButton("OK")->isEnabled());
}

TEST_F(RunTest, AMessageBoxHoldsTheRunUntilItIsAnswered) {
  BoxAnswerer answerer(150);
  std::atomic<bool> returned{false};
  QElapsedTimer clock;
  clock.start();
  // Missing records make the entry show a message box from the worker.
  std::thread worker([&] {
    mornaxDLL(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE, nullptr, nullptr, nullptr,
              nullptr);
    returned = true;
  });
  while (!returned) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  worker.join();
  EXPECT_GE(clock.elapsed(), 150);
  EXPECT_EQ(answerer.texts, std::vector<std::string>{"No Parameters specified"});
  QCoreApplication::processEvents();  // the queued last line
  const auto* list = ProgressWindow()->findChild<QListWidget*>();
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(1)->text(), "MORNAX: Computation Complete");
}

// The program cannot ask the library whether a run worked: it checks that the
// result file was written anew and that no error message came up.
void WritesFit(int, int, int, FILENAME*, SVAR*, FVAR*, IPL*) {
  std::ofstream(ProgramFiles()[project::kFit]) << " title\n1\n1.0 2.0\n";
}
void WritesNothing(int, int, int, FILENAME*, SVAR*, FVAR*, IPL*) {}

TEST(RunOutcomeTest, OnlyARunThatWroteItsResultChangesThePlot) {
  QApplication& app = testing::GuiApp();
  static_cast<void>(app);
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  prompts.onDialog = AcceptWith<CSemiVariogramDlg>();
  const QString path = QString::fromStdString((folder.path() / "P.mnx").string());

  CMornaxDoc failing(prompts, &WritesNothing, EngineRunner::Thread::kCaller);
  ASSERT_TRUE(failing.OnSaveDocument(path));
  folder.Write("P.fit", "stale\n");  // an older result stays an older result
  QString note;
  QObject::connect(&failing, &CMornaxDoc::runFinished,
                   [&note](bool, const QString& text) { note = text; });
  failing.OnComputation();
  EXPECT_EQ(failing.displayMode(), 3);  // still the data map
  EXPECT_TRUE(note.startsWith("Semivariogram failed or was stopped: no new P.fit"))
      << note.toStdString();

  CMornaxDoc working(prompts, &WritesFit, EngineRunner::Thread::kCaller);
  ASSERT_TRUE(working.OnSaveDocument(path));
  bool succeeded = false;
  QObject::connect(&working, &CMornaxDoc::runFinished,
                   [&succeeded](bool ok, const QString&) { succeeded = ok; });
  working.OnComputation();
  EXPECT_TRUE(succeeded);
  EXPECT_EQ(working.displayMode(), 1);
}

// A semivariogram whose lag classes all stayed empty: the library writes one
// class at (0, 0) and says why in a message.
void WritesEmptyClasses(int, int, int, FILENAME*, SVAR*, FVAR*, IPL*) {
  std::ofstream(ProgramFiles()[project::kFit]) << " Semi-Variogram: t\n     1\n  0.0000  0.0000\n";
  QMessageBox box;
  QTimer::singleShot(0, &box, &QMessageBox::accept);
  box.exec();
}

TEST(RunOutcomeTest, AFailedSemivariogramThatRewroteItsFileIsPlottedWithoutAStalePoint) {
  QApplication& app = testing::GuiApp();
  static_cast<void>(app);
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  prompts.onDialog = AcceptWith<CSemiVariogramDlg>();
  CMornaxDoc document(prompts, &WritesEmptyClasses, EngineRunner::Thread::kCaller);
  ASSERT_TRUE(document.OnSaveDocument(QString::fromStdString((folder.path() / "P.mnx").string())));
  folder.Write("P.fit", " old\n 2\n 100.0 5.0\n 200.0 9.0\n");
  document.SetDisplayMode(1);
  const unsigned before = document.plotGeneration();
  QString note;
  QObject::connect(&document, &CMornaxDoc::runFinished,
                   [&note](bool, const QString& text) { note = text; });
  document.OnComputation();
  EXPECT_TRUE(note.startsWith("Semivariogram failed")) << note.toStdString();
  // The plot was told to read the new file: no stale curve stays up.
  EXPECT_EQ(document.displayMode(), 1);
  EXPECT_NE(document.plotGeneration(), before);
  // The new file holds only an empty class: nothing is plotted at (0, 0),
  // and no second message follows the library's.
  QImage image(400, 300, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  const PlotOutcome outcome =
      RunPlotPass(painter, image.size(), false, 1, ProgramRecords().fileName, ProgramFiles());
  painter.end();
  EXPECT_EQ(outcome.condition, PlotCondition::kNone);
  int dark = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
  }
  EXPECT_LT(dark, 4000);  // the note's text, no axes
}

TEST_F(RunTest, AFailedLibraryRunKeepsTheDataMapAndSaysSo) {
  // No data file: the library reports it in message boxes and writes no .fit.
  ASSERT_TRUE(
      document.OnSaveDocument(QString::fromStdString((folder.path() / "NODATA.mnx").string())));
  BoxAnswerer answerer;
  prompts.onDialog = AcceptWith<CSemiVariogramDlg>();
  frame.findChild<QAction*>("actionComputation")->trigger();
  document.WaitForRun();
  EXPECT_FALSE(answerer.texts.empty());
  EXPECT_EQ(document.displayMode(), 3);
  EXPECT_TRUE(frame.statusBar()->currentMessage().startsWith("Semivariogram failed"))
      << frame.statusBar()->currentMessage().toStdString();
}

}  // namespace
}  // namespace mornax::gui
