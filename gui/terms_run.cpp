#include "gui/terms_run.h"

#include <QApplication>
#include <QPointer>
#include <QThread>

#include <filesystem>
#include <memory>
#include <utility>

#include "core/engine_state.h"
#include "front/console_messages.h"
#include "front/entry.h"
#include "front/progress_window.h"

namespace mornax::gui {
namespace {

// How long a run on a worker thread waits for the interface thread to answer
// before it reports on the console instead (as the library does).
constexpr int kInterfaceAnswerMs = 5000;

QApplication* WidgetApplication() {
  return qobject_cast<QApplication*>(QCoreApplication::instance());
}

// The program's progress window for these runs: made on the interface thread
// by the first one, kept between runs, gone when the application quits.
ProgressWindow& ProgramWindow(QApplication& app) {
  struct Slot {
    std::unique_ptr<ProgressWindow> window;
    QPointer<QApplication> owner;
    // After the application object is gone a widget must not be deleted.
    ~Slot() { static_cast<void>(window.release()); }
  };
  static Slot slot;
  if (slot.window && slot.owner != &app) static_cast<void>(slot.window.release());
  if (!slot.window) {
    slot.window = std::make_unique<ProgressWindow>();
    slot.owner = &app;
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [] { slot.window.reset(); });
  }
  return *slot.window;
}

std::filesystem::path CurrentFolder() {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::current_path(error);
  if (error) folder.clear();  // the names alone: the open reports the failure
  return folder;
}

}  // namespace

void RunWithTerms(int task, int method, int mode, FILENAME* fileName, SVAR* svar, FVAR* fvar,
                  IPL* ipl, const project::ModelTermsRecord* terms) {
  // The work arrays live on the heap, like the library's process-wide state.
  auto state = std::make_unique<EngineState>();
  state->projectFolder = CurrentFolder();
  if (terms != nullptr) {
    project::EngineTerms engineTerms = project::ToEngineTerms(*terms);
    state->ipl.terms = ModelTerms{engineTerms.anisotropy, std::move(engineTerms.structures)};
  }
  QApplication* app = WidgetApplication();
  if (app != nullptr && QThread::currentThread() == app->thread()) {
    ProgressWindow& window = ProgramWindow(*app);
    const ProgressWindow::RunScope scope(window);
    RunEntryGuarded(task, method, mode, fileName, svar, fvar, ipl, window, *state);
    return;
  }
  if (app != nullptr) {
    const auto relay = ProgressRelay::Connect(
        []() -> ProgressWindow* {
          QApplication* own = WidgetApplication();
          return own != nullptr ? &ProgramWindow(*own) : nullptr;
        },
        kInterfaceAnswerMs, true);
    if (relay) {
      RunEntryGuarded(task, method, mode, fileName, svar, fvar, ipl, *relay, *state);
      return;
    }
  }
  ConsoleMessages console;
  RunEntryGuarded(task, method, mode, fileName, svar, fvar, ipl, console, *state);
}

}  // namespace mornax::gui
