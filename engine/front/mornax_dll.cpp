// The library's one export. With a QApplication on the calling thread the run
// reports through the progress window; called from another thread of a widget
// application, through the same window on the interface thread (whose event
// loop keeps turning); otherwise through the console.
#include <QApplication>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string_view>

#include "api/mornax.h"
#include "front/console_messages.h"
#include "front/entry.h"
#include "front/progress_window.h"

namespace {

constexpr std::string_view kAlreadyRunning = "A computation is already running";
// How long a run on another thread waits for the interface thread to answer
// before it reports through the console instead.
constexpr int kInterfaceAnswerMs = 5000;

// The application whose thread this is, when it is a widget application.
QApplication* GuiApplication() {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (app == nullptr || QThread::currentThread() != app->thread()) return nullptr;
  return app;
}

// A widget application whose thread is not this one.
bool RemoteGuiApplication() {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  return app != nullptr && QThread::currentThread() != app->thread();
}

// The process's progress window: created by the first call, kept between
// calls, destroyed when the application quits.
struct WindowSlot {
  std::unique_ptr<mornax::ProgressWindow> window;
  QPointer<QApplication> owner;

  // Static destruction comes after the application object is gone, and a
  // widget must not be deleted then: what is left ends with the process.
  ~WindowSlot() { static_cast<void>(window.release()); }
};

mornax::ProgressWindow& ProcessWindow(QApplication& app) {
  static WindowSlot slot;
  // A window left over from an earlier application object (never quit through
  // its event loop) belongs to a dead application and cannot be used or
  // safely deleted.
  if (slot.window && slot.owner != &app) static_cast<void>(slot.window.release());
  if (!slot.window) {
    slot.window = std::make_unique<mornax::ProgressWindow>();
    slot.owner = &app;
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [] { slot.window.reset(); });
  }
  return *slot.window;
}

// Runs never overlap: the engine state is process-wide. A nested call from the
// running thread or a call from another thread is refused.
class RunClaim {
 public:
  RunClaim() : owned_(!Active().exchange(true)) {}
  ~RunClaim() {
    if (owned_) Active().store(false);
  }
  RunClaim(const RunClaim&) = delete;
  RunClaim& operator=(const RunClaim&) = delete;

  bool owned() const { return owned_; }

 private:
  static std::atomic<bool>& Active() {
    static std::atomic<bool> active{false};
    return active;
  }

  bool owned_;
};

// The library's callers keep their project in the current directory: the run
// finds and writes its files there, in the folder current when the call began.
std::filesystem::path CurrentFolder() {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::current_path(error);
  if (error) folder.clear();  // the names alone: the open reports the failure
  return folder;
}

// The relay to the window, asked for from a thread other than the interface thread.
std::unique_ptr<mornax::ProgressRelay> ConnectRelay(bool forRun) {
  if (!RemoteGuiApplication()) return nullptr;
  return mornax::ProgressRelay::Connect(
      []() -> mornax::ProgressWindow* {
        QApplication* app = GuiApplication();
        return app != nullptr ? &ProcessWindow(*app) : nullptr;
      },
      kInterfaceAnswerMs, forRun);
}

}  // namespace

extern "C" void mornaxDLL(int task, int method, int mode, FILENAME* fileName, SVAR* svar,
                          FVAR* fvar, IPL* ipl) {
  QApplication* app = GuiApplication();
  const RunClaim claim;
  if (!claim.owned()) {
    if (app != nullptr) {
      ProcessWindow(*app).ShowMessage(kAlreadyRunning);
    } else if (const auto relay = ConnectRelay(false)) {
      relay->ShowMessage(kAlreadyRunning);
    } else {
      mornax::ConsoleMessages().ShowMessage(kAlreadyRunning);
    }
    return;
  }
  mornax::ProcessEngineState().projectFolder = CurrentFolder();
  if (app != nullptr) {
    mornax::ProgressWindow& window = ProcessWindow(*app);
    const mornax::ProgressWindow::RunScope scope(window);
    mornax::RunEntryGuarded(task, method, mode, fileName, svar, fvar, ipl, window,
                            mornax::ProcessEngineState());
  } else if (const auto relay = ConnectRelay(true)) {
    mornax::RunEntryGuarded(task, method, mode, fileName, svar, fvar, ipl, *relay,
                            mornax::ProcessEngineState());
  } else {
    mornax::ConsoleMessages console;
    const mornax::InterruptAsCancel interrupts;
    mornax::RunEntryGuarded(task, method, mode, fileName, svar, fvar, ipl, console,
                            mornax::ProcessEngineState());
  }
}
