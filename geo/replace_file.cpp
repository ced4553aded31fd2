#include "geo/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace mornax::geo {
namespace {

constexpr std::size_t kStreamBuffer = 1 << 20;

std::string SystemMessage(int code) {
  return std::strerror(code);
}

// The mode a new file gets from the process's file-creation mask.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

ReplacementFile::~ReplacementFile() {
  Discard();
}

void ReplacementFile::Discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) {
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    temporary_.clear();
  }
  onSignal_.reset();
}

bool ReplacementFile::Open(const std::filesystem::path& destination, std::string& error) {
  Discard();
  failed_ = false;
  writeError_ = 0;
  destination_ = destination;
  std::string pattern = destination.string() + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int descriptor = ::mkstemp(name.data());
  if (descriptor < 0) {
    const std::filesystem::path folder =
        destination.has_parent_path() ? destination.parent_path() : std::filesystem::path(".");
    reason_ = SystemMessage(errno);
    error = "cannot write in the folder " + folder.string() + ": " + reason_;
    return false;
  }
  temporary_ = name.data();
  onSignal_ = std::make_unique<RemoveOnSignal>(
      temporary_.has_parent_path() ? temporary_.parent_path() : std::filesystem::path("."),
      temporary_.filename().string());
  // The replacement keeps the old file's permissions; a new file gets the
  // usual ones rather than the private mode of a temporary file.
  struct stat old {};
  const mode_t mode =
      ::stat(destination.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();
  ::fchmod(descriptor, mode);
  file_ = ::fdopen(descriptor, "wb");
  if (file_ == nullptr) {
    ::close(descriptor);
    reason_ = SystemMessage(errno);
    error = "cannot write " + temporary_.string() + ": " + reason_;
    Discard();
    return false;
  }
  std::setvbuf(file_, nullptr, _IOFBF, kStreamBuffer);
  return true;
}

void ReplacementFile::Write(std::string_view text) {
  if (file_ == nullptr || failed_ || text.empty()) return;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
    failed_ = true;
    writeError_ = errno;
  }
}

bool ReplacementFile::CopyFrom(const std::filesystem::path& source, std::uintmax_t offset,
                               std::uintmax_t length, std::string& error) {
  std::FILE* in = std::fopen(source.c_str(), "rb");
  if (in == nullptr || std::fseek(in, static_cast<long>(offset), SEEK_SET) != 0) {
    error = "cannot read " + source.string() + ": " + SystemMessage(errno);
    if (in != nullptr) std::fclose(in);
    return false;
  }
  std::vector<char> buffer(kStreamBuffer);
  std::uintmax_t left = length;
  while (left > 0) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uintmax_t>(left, buffer.size()));
    const std::size_t got = std::fread(buffer.data(), 1, want, in);
    if (got == 0) break;
    Write(std::string_view(buffer.data(), got));
    left -= got;
  }
  const bool readFault = std::ferror(in) != 0 || (length != kToEnd && left > 0);
  std::fclose(in);
  if (readFault) {
    error = "cannot read " + source.string();
    return false;
  }
  return true;
}

bool ReplacementFile::Commit(std::string& error) {
  if (file_ == nullptr) {
    error = "nothing to write for " + destination_.string();
    return false;
  }
  bool ok = !failed_ && std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
  const int code = failed_ ? writeError_ : errno;
  ok = (std::fclose(file_) == 0) && ok;
  file_ = nullptr;
  if (!ok) {
    reason_ = SystemMessage(code);
    error = "cannot write " + destination_.string() + ": " + reason_;
    Discard();
    return false;
  }
  if (std::rename(temporary_.c_str(), destination_.c_str()) != 0) {
    reason_ = SystemMessage(errno);
    error = "cannot replace " + destination_.string() + ": " + reason_;
    Discard();
    return false;
  }
  temporary_.clear();
  onSignal_.reset();
  return true;
}

}  // namespace mornax::geo
