#include "project/project_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "project/text_scanner.h"

namespace mornax::project {
namespace {

constexpr std::chrono::milliseconds kPoll(50);

long ReadHolder(int descriptor) {
  char buffer[32] = {};
  const ssize_t count = ::pread(descriptor, buffer, sizeof buffer - 1, 0);
  if (count <= 0) return 0;
  TextScanner scanner(std::string(buffer, static_cast<std::size_t>(count)));
  double pid = 0.0;
  return scanner.ScanDouble(pid) && pid > 0.0 ? static_cast<long>(pid) : 0;
}

// True while `descriptor` is the file that `path` names: a holder that gave
// the lock back removed the file, and a newcomer may have made another.
bool StillTheLockFile(int descriptor, const std::filesystem::path& path) {
  struct stat open {
  }, named{};
  return ::fstat(descriptor, &open) == 0 && ::stat(path.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

}  // namespace

std::filesystem::path ProjectLock::LockFileOf(const std::filesystem::path& document) {
  std::filesystem::path lock = document;
  lock += ".lock";
  return lock;
}

ProjectLock::Outcome ProjectLock::Acquire(const std::filesystem::path& document,
                                          std::chrono::milliseconds wait,
                                          std::optional<ProjectLock>& lock, long& holder) {
  const std::filesystem::path path = LockFileOf(document);
  const auto deadline = std::chrono::steady_clock::now() + wait;
  holder = 0;
  for (;;) {
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0) return Outcome::kUnlocked;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
      if (StillTheLockFile(descriptor, path)) {
        const std::string pid = std::to_string(static_cast<long>(::getpid())) + "\n";
        // The id is for the messages of others only; a failed write is no fault.
        if (::ftruncate(descriptor, 0) == 0) {
          [[maybe_unused]] const ssize_t written = ::pwrite(descriptor, pid.data(), pid.size(), 0);
        }
        lock.emplace(ProjectLock(descriptor, path));
        return Outcome::kLocked;
      }
      ::close(descriptor);  // the lock file of a holder that has just finished
      if (std::chrono::steady_clock::now() >= deadline) return Outcome::kBusy;
      continue;
    }
    const int fault = errno;
    holder = ReadHolder(descriptor);
    ::close(descriptor);
    if (fault != EWOULDBLOCK && fault != EINTR) return Outcome::kUnlocked;
    if (std::chrono::steady_clock::now() >= deadline) return Outcome::kBusy;
    std::this_thread::sleep_for(kPoll);
  }
}

ProjectLock::ProjectLock(ProjectLock&& other) noexcept
    : descriptor_(other.descriptor_), path_(std::move(other.path_)) {
  other.descriptor_ = -1;
}

ProjectLock& ProjectLock::operator=(ProjectLock&& other) noexcept {
  if (this != &other) {
    Release();
    descriptor_ = other.descriptor_;
    path_ = std::move(other.path_);
    other.descriptor_ = -1;
  }
  return *this;
}

ProjectLock::~ProjectLock() {
  Release();
}

void ProjectLock::Release() {
  if (descriptor_ < 0) return;
  // Removed while still held, so that nobody takes a file on its way out.
  ::unlink(path_.c_str());
  ::close(descriptor_);
  descriptor_ = -1;
}

std::string BusyMessage(const std::filesystem::path& document, long holder) {
  std::string project = document.filename().string();
  if (project.size() > 4 && project[project.size() - 4] == '.') project.resize(project.size() - 4);
  std::string message = "another mornax command is changing " + project;
  if (holder > 0) message += " (pid " + std::to_string(holder) + ")";
  return message + "; try again when it has finished";
}

}  // namespace mornax::project
