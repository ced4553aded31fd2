// The lock a command holds on a project while it changes the project's files,
// so that two commands never both succeed with one change lost: an advisory
// lock (flock) on the file PROJECT.mnx.lock beside the document, which also
// names the holder's process. The lock file is removed when the lock is given
// back; a holder that dies gives the lock back with its process.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

namespace mornax::project {

class ProjectLock {
 public:
  ProjectLock(ProjectLock&& other) noexcept;
  ProjectLock& operator=(ProjectLock&& other) noexcept;
  ProjectLock(const ProjectLock&) = delete;
  ProjectLock& operator=(const ProjectLock&) = delete;
  ~ProjectLock();

  enum class Outcome {
    kLocked,    // the lock is held
    kBusy,      // another process held it for the whole wait
    kUnlocked,  // the folder takes no lock file (missing, read-only): nobody can change it here
  };

  // Takes the lock of the project of `document`, waiting up to `wait` for
  // another holder. kBusy sets `holder` to the other process's id (0 when it
  // cannot be read).
  static Outcome Acquire(const std::filesystem::path& document, std::chrono::milliseconds wait,
                         std::optional<ProjectLock>& lock, long& holder);

  // The lock file of a document: the document's path followed by ".lock".
  static std::filesystem::path LockFileOf(const std::filesystem::path& document);

 private:
  ProjectLock(int descriptor, std::filesystem::path path)
      : descriptor_(descriptor), path_(std::move(path)) {}
  void Release();

  int descriptor_ = -1;
  std::filesystem::path path_;
};

// The refusal of a busy project: "another mornax command is changing SITE1
// (pid 4711); try again when it has finished".
std::string BusyMessage(const std::filesystem::path& document, long holder);

}  // namespace mornax::project
