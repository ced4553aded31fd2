// A result file written record by record.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "io/fortran_format.h"

namespace mornax::io {

class RecordFile {
 public:
  RecordFile() = default;
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  // Creates or overwrites the project file `name` in the current directory (an
  // existing file whose name differs only in case is the one overwritten).
  // False when the file cannot be opened.
  bool Create(std::string_view name);
  bool IsOpen() const { return file_ != nullptr; }

  // One WRITE statement with a format.
  template <typename... Args>
  void Write(const FortranFormat& format, const Args&... args) {
    const FortranValue values[] = {FortranFormat::ToValue(args)..., FortranValue(std::int64_t{0})};
    buffer_.clear();
    format.Render(std::span<const FortranValue>(values, sizeof...(Args)), buffer_);
    Put(buffer_);
  }
  // List-directed WRITE of one text: a blank, then the text.
  void WriteFreeText(std::string_view text);
  // List-directed WRITE of one integer: right-aligned in 12 columns.
  void WriteFreeInteger(std::int64_t value);
  // Writes `text` unchanged (already formatted records with their line ends).
  void Put(std::string_view text);

  // Closes the file; closing a file that is not open does nothing.
  void Close();

  // True when a write or the closing of the current or last file failed
  // (a full disk, for instance); cleared by Create.
  bool Failed() const { return failed_; }

 private:
  std::FILE* file_ = nullptr;
  bool failed_ = false;
  std::string buffer_;
  // The stream's buffer: large, because a run writes up to a million records.
  std::unique_ptr<char[]> streamBuffer_;
};

}  // namespace mornax::io
