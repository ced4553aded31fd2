#include "project/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "mornax_files.h"

namespace mornax::project {
namespace {

constexpr int kCreateAttempts = 100;

// Closes the descriptor and removes the temporary unless released.
class Temporary {
 public:
  ~Temporary() {
    if (descriptor_ >= 0) ::close(descriptor_);
    if (!path_.empty()) {
      std::error_code ignored;
      std::filesystem::remove(path_, ignored);
    }
  }

  // Creates a new temporary beside `target`; false with errno set.
  bool Create(const std::filesystem::path& target) {
    static std::atomic<unsigned long> serial{0};
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
      const std::filesystem::path name = files::TemporaryName(
          target.filename().string(), static_cast<long>(::getpid()), serial.fetch_add(1));
      const std::filesystem::path path =
          target.has_parent_path() ? target.parent_path() / name : name;
      descriptor_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (descriptor_ >= 0) {
        path_ = path;
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }

  int descriptor() const { return descriptor_; }
  const std::filesystem::path& path() const { return path_; }

  // Closes the file; false with errno set when the close reports a fault.
  bool Close() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return ::close(descriptor) == 0;
  }
  // The temporary is in place under its final name: nothing to remove.
  void Release() { path_.clear(); }

 private:
  int descriptor_ = -1;
  std::filesystem::path path_;
};

bool WriteAll(int descriptor, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t written = ::write(descriptor, contents.data(), contents.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    contents.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

bool ReplaceFile(const std::filesystem::path& path, std::string_view contents, std::string& error) {
  std::error_code status;
  std::filesystem::path target = path;
  if (std::filesystem::is_symlink(path, status)) {
    target = std::filesystem::weakly_canonical(path, status);
    if (status) target = path;
  }
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) {
    error = "it is a folder";
    return false;
  }
  Temporary temporary;
  const auto fail = [&error] {
    error = std::strerror(errno);
    return false;
  };
  if (!temporary.Create(target)) return fail();
  if (exists) ::fchmod(temporary.descriptor(), old.st_mode & 07777);
  if (!WriteAll(temporary.descriptor(), contents) || ::fsync(temporary.descriptor()) != 0 ||
      !temporary.Close()) {
    return fail();
  }
  if (std::rename(temporary.path().c_str(), target.c_str()) != 0) return fail();
  temporary.Release();
  return true;
}

}  // namespace mornax::project
