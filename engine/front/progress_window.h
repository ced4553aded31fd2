// The "Progress Report" window: a modeless dialog listing a run's lines, with
// OK (hides it) and Cancel (asks the running computation to stop). It is the
// message implementation of a process that has a QApplication.
#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>

#include "core/messages.h"
#include "front/console_messages.h"
#include "front/progress_list.h"

class QCloseEvent;
class QEvent;
class QListWidget;
class QMessageBox;
class QProgressBar;
class QPushButton;

namespace mornax {

class ProgressWindow;

// Application-wide input gate for the duration of a run. No event loop of the
// program runs during a computation, but a Cancel poll processes pending
// events; the gate makes sure that the only user input with an effect is a
// left-button press on Cancel (counted for the polls), except while one of the
// window's message boxes is up, which receives its own input.
class RunInputGate : public QObject {
 public:
  explicit RunInputGate(ProgressWindow& window) : window_(window) {}

  bool eventFilter(QObject* watched, QEvent* event) override;

  // Consumes one counted Cancel press; true when there was one.
  bool ConsumeCancel();
  void ResetCancels() { pendingCancels_ = 0; }

 private:
  bool Admits(QObject* watched, QEvent* event) const;

  ProgressWindow& window_;
  int pendingCancels_ = 0;
};

// Watches the application for its Quit request. The user cannot close the
// window, but quitting closes every window first and must not be refused.
class QuitWatcher : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool quitting() const { return quitting_; }

 private:
  bool quitting_ = false;
};

class ProgressWindow : public QDialog, public Messages {
  Q_OBJECT

 public:
  ProgressWindow();
  ~ProgressWindow() override;

  // While an object of this class lives, the window's input gate is installed
  // on the application. Scopes nest; the outermost one starts with no pending
  // Cancel presses.
  class RunScope {
   public:
    explicit RunScope(ProgressWindow& window);
    ~RunScope();
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

   private:
    ProgressWindow& window_;
  };

  void AddLine(int mode, std::string_view text) override;
  void ShowMessage(std::string_view text) override;
  bool PollCancel() override;
  void WriteOutput(std::string_view line) override;
  void Show() override;
  // The bar under the list: the share done, the count and the time left; it
  // appears with a run's first count and goes when the list starts again.
  void Count(std::int64_t done, std::int64_t total) override;

  // Shows the window above the program's main window, waits until it is on
  // screen (at most a short while) and paints it, so that the user sees it
  // before the run's first line.
  void ShowPainted();

  // A run on another thread (see ProgressRelay) counts the Cancel button's
  // clicks into `cancels` from Begin to End; no input gate is installed, the
  // program's own windows stay usable.
  void BeginRelayRun(std::shared_ptr<std::atomic<int>> cancels);
  void EndRelayRun(const std::shared_ptr<std::atomic<int>>& cancels);

  // Cancel, Escape and the close box never close the window; OK hides it, and
  // so does the application's quitting.
  void reject() override {}

  bool runActive() const { return runDepth_ > 0; }
  const ProgressList& progressList() const { return list_; }
  QListWidget* listWidget() const { return listWidget_; }
  QPushButton* okButton() const { return okButton_; }
  QPushButton* cancelButton() const { return cancelButton_; }
  QProgressBar* progressBar() const { return progressBar_; }
  // The message box being shown, if any.
  QMessageBox* messageBox() const { return messageBox_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Brings the list widget in line with the list after one AddLine.
  void MirrorList();
  // Shows the list's top line at the top (as far as the list can scroll).
  void ScrollToTopLine();

  ProgressList list_;
  QListWidget* listWidget_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  CountThrottle countText_{true};
  QMessageBox* messageBox_ = nullptr;  // lives in ShowMessage's frame
  RunInputGate gate_;
  QuitWatcher quitWatcher_;
  int runDepth_ = 0;
  bool scrollPending_ = false;
  bool placed_ = false;
  std::shared_ptr<std::atomic<int>> relayCancels_;
};

// The messages of a run on a thread other than the application's: every call
// is carried to the progress window on the interface thread as a queued call.
// Lines are posted and the run goes on; a message box blocks the run until
// the user has answered it; Cancel is a counter the run polls without waiting.
// The interface thread must keep its event loop turning meanwhile.
class ProgressRelay : public Messages {
 public:
  // Asks the interface thread for the process's window. Null when there is no
  // application, no window, or the interface thread does not answer within
  // `timeoutMs` (no event loop runs there). With `forRun` the window counts its
  // Cancel clicks for this relay until it is destroyed.
  static std::unique_ptr<ProgressRelay> Connect(
      const std::function<ProgressWindow*()>& windowOnInterfaceThread, int timeoutMs, bool forRun);
  ~ProgressRelay() override;
  ProgressRelay(const ProgressRelay&) = delete;
  ProgressRelay& operator=(const ProgressRelay&) = delete;

  void AddLine(int mode, std::string_view text) override;
  void ShowMessage(std::string_view text) override;
  bool PollCancel() override;
  void WriteOutput(std::string_view line) override;
  void Show() override;
  void Count(std::int64_t done, std::int64_t total) override;

 private:
  ProgressRelay(ProgressWindow* window, bool forRun);

  QPointer<ProgressWindow> window_;
  bool forRun_;
  std::shared_ptr<std::atomic<int>> cancels_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace mornax
