#include "io/record_file.h"

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

#include <unistd.h>

#include "api/mornax_files.h"
#include "io/file_lookup.h"

namespace mornax::io {
namespace {

constexpr std::size_t kStreamBufferSize = std::size_t{1} << 20;
constexpr int kCreateAttempts = 100;

// Beside the target, so that the rename stays on one file system, and named
// by the system's rule for temporaries, so that the sweep of a later command
// finds it when this process dies before it could remove it.
std::filesystem::path TemporaryFor(const std::filesystem::path& target) {
  static std::atomic<unsigned long> serial{0};
  const std::string name = files::TemporaryName(target.filename().string(),
                                                static_cast<long>(::getpid()), serial.fetch_add(1));
  return target.has_parent_path() ? target.parent_path() / name : std::filesystem::path(name);
}

}  // namespace

RecordFile::~RecordFile() {
  Discard();
}

bool RecordFile::Create(const std::filesystem::path& target) {
  Discard();
  failed_ = false;
  target_ = target;
  if (!target.has_filename()) return false;
  // A result file that could not be overwritten in place (a folder in its
  // way, a file protected against writing) is not replaced by a rename
  // either: it counts as a file that cannot be opened.
  const std::filesystem::path existing = ResolveProjectFile(target);
  std::error_code status;
  if (std::filesystem::exists(existing, status) &&
      (!std::filesystem::is_regular_file(existing, status) ||
       ::access(existing.c_str(), W_OK) != 0)) {
    return false;
  }
  // Binary mode: every record ends with '\n' alone. "x": never reuse a file
  // that happens to exist under the temporary's name.
  for (int attempt = 0; attempt < kCreateAttempts && file_ == nullptr; ++attempt) {
    const std::filesystem::path temporary = TemporaryFor(target);
    file_ = std::fopen(temporary.c_str(), "wbx");
    if (file_ != nullptr) {
      temporary_ = temporary;
    } else if (errno != EEXIST) {
      break;
    }
  }
  if (file_ == nullptr) return false;
  if (!streamBuffer_) streamBuffer_ = std::make_unique<char[]>(kStreamBufferSize);
  std::setvbuf(file_, streamBuffer_.get(), _IOFBF, kStreamBufferSize);
  return true;
}

void RecordFile::WriteFreeText(std::string_view text) {
  buffer_.clear();
  buffer_.push_back(' ');
  buffer_.append(text);
  buffer_.push_back('\n');
  Put(buffer_);
}

void RecordFile::WriteFreeInteger(std::int64_t value) {
  buffer_ = FreeFormInteger(value);
  buffer_.push_back('\n');
  Put(buffer_);
}

void RecordFile::Put(std::string_view text) {
  if (file_ == nullptr || text.empty()) return;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) failed_ = true;
}

void RecordFile::Close() {
  if (file_ == nullptr) return;
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
}

bool RecordFile::Commit() {
  Close();
  if (temporary_.empty()) return false;
  if (failed_) {
    Discard();
    return false;
  }
  // An existing file whose name differs only in case is the one replaced, so
  // that no second case variant of a result file appears.
  const std::filesystem::path target = ResolveProjectFile(target_);
  std::error_code error;
  std::filesystem::rename(temporary_, target, error);
  if (error) {
    Discard();
    failed_ = true;
    return false;
  }
  temporary_.clear();
  return true;
}

void RecordFile::Discard() {
  Close();
  if (temporary_.empty()) return;
  std::error_code error;
  std::filesystem::remove(temporary_, error);
  temporary_.clear();
}

}  // namespace mornax::io
