#include "io/record_file.h"

#include "io/file_lookup.h"

namespace mornax::io {
namespace {
constexpr std::size_t kStreamBufferSize = std::size_t{1} << 20;
}  // namespace

RecordFile::~RecordFile() {
  Close();
}

bool RecordFile::Create(std::string_view name) {
  Close();
  failed_ = false;
  const std::filesystem::path path = ResolveProjectFile(name);
  // Binary mode: every record ends with '\n' alone.
  file_ = std::fopen(path.c_str(), "wb");
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

}  // namespace mornax::io
