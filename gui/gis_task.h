// A GIS operation of the program (import, grid, coordinate system, export)
// run as the batch tool runs its command: under the project's lock, after
// the sweep of temporaries that ended processes left, and off the interface
// thread so that the window keeps painting while GDAL reads and writes.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <QString>

class QWidget;

namespace mornax::gui {

struct GisOutcome {
  bool ok = false;
  std::string error{};                  // why it was refused or failed
  std::vector<std::string> lines{};     // what was done
  std::vector<std::string> warnings{};  // what was read around

  // The lines, the warnings and the error, one a line, for a message box.
  QString Text() const;
};

// How long a GIS operation waits for another holder of the project's lock,
// as the batch tool's commands wait.
inline constexpr std::chrono::milliseconds kGisLockWait{10'000};

// Runs `work` on a worker thread holding the lock of the project of
// `document`, waiting up to `wait` for another holder (then refused with the
// batch tool's message). A busy dialog titled `title` shows while it runs.
GisOutcome RunGisTask(QWidget* parent, const QString& title, const std::filesystem::path& document,
                      const std::function<GisOutcome()>& work,
                      std::chrono::milliseconds wait = kGisLockWait);

}  // namespace mornax::gui
