#include "gui/map/map_hooks.h"

#include <utility>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QToolBar>

#include "gui/map/picture_dialog.h"
#include "gui/map/result_map_window.h"
#include "gui/mornax_doc.h"
#include "gui/mornax_view.h"
#include "gui/plot_pass.h"
#include "gui/program_records.h"
#include "gui/user_prompts.h"

namespace mornax::gui {

MapHooks::MapHooks(QMainWindow& frame, CMornaxDoc& document, CMornaxView& view, QMenu* fileMenu)
    : QObject(&frame), frame_(frame), document_(document), view_(view) {
  auto* showMap = new QAction("Result &Map", &frame);
  showMap->setObjectName("actionResultMap");
  showMap->setShortcut(QKeySequence("Ctrl+M"));
  showMap->setStatusTip("Show the results of the last interpolation as a map");
  showMap->setToolTip("Result Map");
  connect(showMap, &QAction::triggered, this, &MapHooks::ShowResultMap);

  auto* exportPicture = new QAction("Export &Picture...", &frame);
  exportPicture->setObjectName("actionExportPicture");
  exportPicture->setStatusTip("Save the plot as a PNG, SVG or PDF picture");
  connect(exportPicture, &QAction::triggered, this, &MapHooks::ExportViewPicture);

  if (QMenu* viewMenu = frame.menuBar()->findChild<QMenu*>("menuView")) {
    viewMenu->addSeparator();
    viewMenu->addAction(showMap);
  }
  if (QToolBar* bar = frame.findChild<QToolBar*>("toolBar")) {
    bar->addSeparator();
    bar->addAction(showMap);
  }
  if (fileMenu != nullptr) {
    QAction* print = frame.findChild<QAction*>("actionPrint");
    fileMenu->insertAction(print, exportPicture);
    fileMenu->insertSeparator(print);
  }
  if (QAction* copy = frame.findChild<QAction*>("actionCopy")) {
    copy->setEnabled(true);
    copy->setStatusTip("Copy the plot to the Clipboard as a picture");
    connect(copy, &QAction::triggered, this, &MapHooks::CopyViewPicture);
  }
  for (const char* name : {"actionDistanceWeighting", "actionKriging", "actionBayesEstimation"}) {
    if (QAction* run = frame.findChild<QAction*>(name)) {
      // Connected after the command itself: a run done in the command is
      // over here; one still going ends with a views change.
      connect(run, &QAction::triggered, this, [this] {
        awaitingRun_ = true;
        AfterRun();
      });
    }
  }
  connect(&document_, &CMornaxDoc::viewsChanged, this, &MapHooks::AfterRun);
  // A run on the worker thread ends after its command returned; only one
  // that wrote new results shows them.
  connect(&document_, &CMornaxDoc::runFinished, this, [this](bool succeeded, const QString&) {
    if (succeeded) {
      // A run has ended here, whether its command has returned or not.
      awaitingRun_ = true;
      AfterRun();
    } else {
      awaitingRun_ = false;
      AfterStoppedRun();
    }
  });
}

ResultMapWindow& MapHooks::map() {
  if (map_ == nullptr) map_ = new ResultMapWindow(document_.prompts(), &frame_);
  return *map_;
}

void MapHooks::ShowResultMap() {
  if (document_.filePath().isEmpty()) {
    document_.prompts().Inform(&frame_, "New Document, Filename empty!");
    return;
  }
  map().ShowProject(document_.filePath());
  map().activateWindow();
}

void MapHooks::AfterRun() {
  if (document_.isRunning()) return;
  bool errorAnalysis = false;
  const QDateTime newest = ResultMapWindow::NewestResult(document_.filePath(), errorAnalysis);
  const bool fresh = newest.isValid() && (!seenResults_.isValid() || newest > seenResults_);
  seenResults_ = newest;
  // An open map follows the project: another document shows its own results.
  if (map_ != nullptr && map_->isVisible() && map_->documentPath() != document_.filePath()) {
    map_->FollowProject(document_.filePath());
  }
  const bool afterRun = std::exchange(awaitingRun_, false);
  // Opening a project, or a dialog the user cancelled, shows nothing new.
  if (!afterRun || !fresh || document_.filePath().isEmpty()) return;
  map().ShowRunResults(document_.filePath(), errorAnalysis);
}

void MapHooks::AfterStoppedRun() {
  // A run stopped (or failed) after writing part of its results: the files
  // hold the partial run now, so an open map shows it, marked as such; a
  // closed one stays closed.
  bool errorAnalysis = false;
  const QDateTime newest = ResultMapWindow::NewestResult(document_.filePath(), errorAnalysis);
  const bool fresh = newest.isValid() && (!seenResults_.isValid() || newest > seenResults_);
  if (!fresh || map_ == nullptr || !map_->isVisible() ||
      map_->documentPath() != document_.filePath()) {
    return;
  }
  seenResults_ = newest;
  map_->ShowRunResults(document_.filePath(), errorAnalysis);
}

namespace {

render::PaintRoutine ViewPaint(const CMornaxDoc& document) {
  const int mode = document.displayMode();
  return [mode](QPainter& painter, const QRectF& target) {
    RunPlotPass(painter, target.size().toSize(), false, mode, ProgramRecords().fileName,
                ProgramFiles());
  };
}

}  // namespace

void MapHooks::ExportViewPicture() {
  if (document_.displayMode() <= 0 || document_.filePath().isEmpty()) {
    document_.prompts().Inform(&frame_, "There is no plot to export: open or save a document.");
    return;
  }
  const QFileInfo file(document_.filePath());
  const QString suggestion = file.absoluteDir().filePath(file.completeBaseName() + "-plot.png");
  ExportPictureInteractively(&frame_, document_.prompts(), suggestion, view_.size(),
                             ViewPaint(document_));
}

void MapHooks::CopyViewPicture() {
  if (document_.displayMode() <= 0) return;
  CopyPictureToClipboard(view_.size(), ViewPaint(document_));
}

}  // namespace mornax::gui
