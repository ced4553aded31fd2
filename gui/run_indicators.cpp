#include "gui/run_indicators.h"

#include <QAction>
#include <QMainWindow>
#include <QStatusBar>

#include "gui/mornax_doc.h"

namespace mornax::gui {

RunIndicators::RunIndicators(QMainWindow& frame, QWidget& view, CMornaxDoc& document)
    : QObject(&frame), frame_(frame), view_(view) {
  connect(&document, &CMornaxDoc::runStarted, this, [this] {
    SetRunning(true);
    frame_.statusBar()->showMessage("Computing... (Cancel in the Progress Report window stops it)");
  });
  connect(&document, &CMornaxDoc::runFinished, this, [this](bool, const QString& note) {
    SetRunning(false);
    frame_.statusBar()->showMessage(note);
  });
}

const QStringList& RunIndicators::BlockedActions() {
  static const QStringList names = {"actionCreateNew",    "actionNew",
                                    "actionNewFromData",  "actionOpen",
                                    "actionSave",         "actionPrint",
                                    "actionPrintPreview", "actionComputation",
                                    "actionFitting",      "actionDistanceWeighting",
                                    "actionKriging",      "actionBayesEstimation",
                                    "actionRecent1",      "actionRecent2",
                                    "actionRecent3",      "actionRecent4"};
  return names;
}

void RunIndicators::SetRunning(bool running) {
  for (const QString& name : BlockedActions()) {
    if (auto* action = frame_.findChild<QAction*>(name)) action->setEnabled(!running);
  }
  if (running) {
    view_.setCursor(Qt::BusyCursor);
  } else {
    view_.unsetCursor();
  }
}

}  // namespace mornax::gui
