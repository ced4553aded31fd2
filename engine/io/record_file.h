// A result file written record by record.
//
// The records go to a temporary file beside the target; Commit() renames it
// over the target, so that a run that fails before it has anything to show
// leaves the earlier result file byte for byte as it was. A file that is
// never committed is removed when the object is destroyed (or re-created).
#pragma once

#include <cstdio>
#include <filesystem>
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

  // Starts the project file `target` (a path in the project's folder, or a
  // name in the current directory): creates a new temporary file beside it,
  // in the same folder, so that the rename stays on one file system. The
  // target itself is untouched until Commit(). False when the temporary
  // cannot be created, or when the target exists and could not be written
  // (not a regular file, or protected). A file started earlier and not
  // committed is discarded.
  bool Create(const std::filesystem::path& target);
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

  // Closes the stream; the records stay in the temporary file until Commit()
  // or until the object is destroyed. Closing a file that is not open does
  // nothing.
  void Close();

  // Closes the file and renames the temporary over the target, replacing an
  // existing file whose name differs only in case. False (and the target
  // untouched, the temporary removed) when a write, the closing or the rename
  // failed, or when nothing was started.
  bool Commit();

  // Closes the file and removes the temporary; the target stays as it was.
  void Discard();

  // True while a temporary is waiting for Commit() or Discard().
  bool Pending() const { return !temporary_.empty(); }

  // True when a write or the closing of the current or last file failed
  // (a full disk, for instance); cleared by Create.
  bool Failed() const { return failed_; }

 private:
  std::FILE* file_ = nullptr;
  bool failed_ = false;
  std::filesystem::path target_;     // as passed to Create
  std::filesystem::path temporary_;  // empty when nothing is pending
  std::string buffer_;
  // The stream's buffer: large, because a run writes up to a million records.
  std::unique_ptr<char[]> streamBuffer_;
};

}  // namespace mornax::io
