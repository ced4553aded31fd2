// A file written beside its destination and renamed over it only when it is
// complete, so that a failure at any point leaves the old file whole. The
// temporary goes on failure and when SIGINT, SIGTERM or SIGHUP end the
// process.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "geo/signal_cleanup.h"

namespace mornax::geo {

class ReplacementFile {
 public:
  ReplacementFile() = default;
  ~ReplacementFile();  // removes the temporary file unless committed
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Creates the temporary file in the destination's folder. False with
  // `error` naming the folder when it cannot be written there.
  bool Open(const std::filesystem::path& destination, std::string& error);

  // Appends text; a write fault is remembered and reported by Commit.
  void Write(std::string_view text);
  // Appends `length` bytes of another file from byte `offset` (all the rest
  // with kToEnd). False with `error` set on a read fault or a shorter file.
  static constexpr std::uintmax_t kToEnd = UINTMAX_MAX;
  bool CopyFrom(const std::filesystem::path& source, std::uintmax_t offset, std::uintmax_t length,
                std::string& error);

  // Flushes, closes and renames the temporary file over the destination.
  // False with `error` set (and the destination untouched) on any fault.
  bool Commit(std::string& error);

  // The system's reason for the last failure of Open or Commit ("No space
  // left on device"), for callers that name the file in their own words.
  const std::string& reason() const { return reason_; }

 private:
  void Discard();

  std::FILE* file_ = nullptr;
  std::filesystem::path destination_;
  std::filesystem::path temporary_;
  std::unique_ptr<RemoveOnSignal> onSignal_;
  bool failed_ = false;
  int writeError_ = 0;  // errno of the first failed write
  std::string reason_;
};

}  // namespace mornax::geo
