// Whether a library run produced its result: the run reports nothing to its
// caller, so the program looks at what it left behind (the result file it
// must rewrite), at what it showed (its message boxes) and at whether the
// user pressed Cancel in the progress report.
#pragma once

#include <filesystem>
#include <optional>

#include <QObject>
#include <QString>

#include "project/project.h"

namespace mornax::gui {

struct RunOutcome {
  bool succeeded = false;
  bool written = false;  // the result file was written anew, whatever else happened
  QString note;          // one line for the status bar
};

class RunWatch : public QObject {
  Q_OBJECT

 public:
  // Notes the state of the run's result file before the run starts and
  // counts the message boxes that come up from now on.
  RunWatch(int task, int method, int mode, const project::FileSet& files);
  ~RunWatch() override;
  RunWatch(const RunWatch&) = delete;
  RunWatch& operator=(const RunWatch&) = delete;

  // The verdict once the run has returned. A semivariogram, fit or
  // interpolation succeeded when its result file was written anew; an error
  // message also fails every run except the fit, whose convergence warnings
  // come with a complete report. A run the user stopped never succeeded.
  RunOutcome Finish() const;

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Counts the Cancel clicks of the library's progress window once it exists.
  void WatchCancel(QWidget* window);

  QString label_;
  std::filesystem::path result_;
  std::optional<std::filesystem::file_time_type> before_;
  bool warningsAllowed_;
  int messages_ = 0;
  bool cancelWatched_ = false;
  bool stopRequested_ = false;
};

}  // namespace mornax::gui
