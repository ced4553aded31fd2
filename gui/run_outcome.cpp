#include "gui/run_outcome.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>

namespace mornax::gui {
namespace {

std::optional<std::filesystem::file_time_type> WriteTime(const std::filesystem::path& path) {
  std::error_code error;
  const auto time = std::filesystem::last_write_time(path, error);
  if (error) return std::nullopt;
  return time;
}

// The library's window and its stop button, as the user sees them.
constexpr char kProgressTitle[] = "Progress Report";
constexpr char kCancelText[] = "Cancel";

QString MethodLabel(int task, int method) {
  if (task == MNX_TASK_SEMIVARIOGRAM) return "Semivariogram";
  if (task == MNX_TASK_FIT) return "Fit";
  if (method == MNX_METHOD_WEIGHTING) return "Distance weighting";
  if (method == MNX_METHOD_KRIGING) return "Kriging";
  return "Bayes estimation";
}

// The file that a successful run of the task always rewrites.
project::FileIndex ResultFile(int task, int mode) {
  if (task == MNX_TASK_SEMIVARIOGRAM) return project::kFit;
  if (task == MNX_TASK_FIT) return project::kSol;
  return mode == MNX_MODE_ERROR_ANALYSIS ? project::kLst : project::kDat;
}

}  // namespace

RunWatch::RunWatch(int task, int method, int mode, const project::FileSet& files)
    : label_(MethodLabel(task, method)),
      result_(files[ResultFile(task, mode)]),
      before_(WriteTime(result_)),
      warningsAllowed_(task == MNX_TASK_FIT) {
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->windowTitle() == kProgressTitle) WatchCancel(window);
  }
}

void RunWatch::WatchCancel(QWidget* window) {
  if (cancelWatched_) return;
  for (QPushButton* button : window->findChildren<QPushButton*>()) {
    if (button->text() != kCancelText) continue;
    connect(button, &QPushButton::clicked, this, [this] { stopRequested_ = true; });
    cancelWatched_ = true;
  }
}

RunWatch::~RunWatch() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool RunWatch::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (qobject_cast<QMessageBox*>(widget) != nullptr) ++messages_;
  if (widget->isWindow() && widget->windowTitle() == kProgressTitle) WatchCancel(widget);
  return false;
}

RunOutcome RunWatch::Finish() const {
  const auto after = WriteTime(result_);
  const bool written = after.has_value() && (!before_.has_value() || *after != *before_);
  const QString name = QString::fromStdString(result_.string());
  const QString shown =
      messages_ == 0 ? QString()
                     : QString(" (%1 message%2)").arg(messages_).arg(messages_ == 1 ? "" : "s");
  RunOutcome outcome;
  outcome.written = written;
  outcome.succeeded = written && !stopRequested_ && (messages_ == 0 || warningsAllowed_);
  if (stopRequested_) {
    outcome.note = written
                       ? QString("%1 stopped: %2 holds only what was computed before the stop%3")
                             .arg(label_, name, shown)
                       : QString("%1 stopped: %2 kept as it was%3").arg(label_, name, shown);
  } else if (outcome.succeeded) {
    outcome.note = QString("%1 finished: %2 written%3").arg(label_, name, shown);
  } else if (!written) {
    outcome.note = QString("%1 failed or was stopped: no new %2%3").arg(label_, name, shown);
  } else {
    outcome.note =
        QString("%1 failed%2: see the messages; %3 may be incomplete").arg(label_, shown, name);
  }
  return outcome;
}

}  // namespace mornax::gui
