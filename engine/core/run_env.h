// What every computation routine needs besides its parameters and arrays: the
// message routines, the project's folder and its base name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/messages.h"

namespace mornax {

// How a run may use the machine; no result depends on it.
struct RunOptions {
  int threads = 1;          // threads of the point loops and the pair loop; 1: sequential
  bool linearScan = false;  // nearest points by a scan of every point, without an index
};

// The options of a run that asks for `threads` (0: the environment variable
// MORNAX_THREADS, else every core of the machine); MORNAX_LINEAR_SCAN=1
// selects neighbours without the index (for comparing).
RunOptions ResolveRunOptions(int threads);

// How a run ended, for the entry point's closing line.
struct RunOutcome {
  bool stopped = false;   // the user's stop request ended the run
  long long written = 0;  // points whose records were written before the stop
};

class RunEnv {
 public:
  // `base` is the significant part of the base name (its first baseLength
  // characters); `nameLength` is the FILENAME record's nameLength. `outcome`,
  // when given, receives how the run ended. The project's files are read and
  // written in `folder` (empty: the current directory).
  RunEnv(Messages& messages, std::string base, int nameLength, RunOptions options = {},
         RunOutcome* outcome = nullptr, std::filesystem::path folder = {})
      : messages_(messages),
        base_(std::move(base)),
        nameLength_(nameLength),
        options_(options),
        outcome_(outcome),
        folder_(std::move(folder)) {}

  Messages& messages() const { return messages_; }
  const std::string& base() const { return base_; }
  int nameLength() const { return nameLength_; }
  const RunOptions& options() const { return options_; }

  const std::filesystem::path& folder() const { return folder_; }

  // The project file name: base name followed by the extension (".dfl", ...);
  // messages name a project file by it.
  std::string File(std::string_view extension) const { return base_ + std::string(extension); }
  // Where that file lies: the name inside the project's folder.
  std::filesystem::path Path(std::string_view extension) const { return folder_ / File(extension); }

  // ProgressMessage with the whole text as the line.
  void Progress(int mode, std::string_view text) const {
    ProgressMessage(messages_, mode, static_cast<int>(text.size()), text);
  }
  // ErrorMessage with code 0: a plain message box with the whole text, about
  // `code`.
  void Error(api::MessageCode code, std::string_view text) const {
    ErrorMessage(messages_, static_cast<int>(text.size()), text, 0, nameLength_, code);
  }
  void Error(std::string_view text) const { Error(api::MessageCode::kUnclassified, text); }
  // ErrorMessage with a read status: the input-file wording naming `fileName`,
  // followed by `detail` (where in the file, what was expected) when given.
  void InputError(int status, std::string_view fileName, std::string_view detail = {}) const {
    if (detail.empty()) {
      ErrorMessage(messages_, static_cast<int>(fileName.size()), fileName, status, nameLength_);
    } else {
      messages_.Notify(InputFileCode(status),
                       InputFileMessage(status, fileName, nameLength_) + std::string(detail));
    }
  }
  bool Cancelled() const { return CheckCancel(messages_) == 1; }
  // Progress as counts (throttled by the caller, see ProgressCounter).
  void Count(std::int64_t done, std::int64_t total) const { messages_.Count(done, total); }

  // Records that the user's stop ended the run after `written` points.
  void NoteStopped(long long written) const {
    if (outcome_ != nullptr) *outcome_ = RunOutcome{true, written};
  }

 private:
  Messages& messages_;
  std::string base_;
  int nameLength_;
  RunOptions options_;
  RunOutcome* outcome_;
  std::filesystem::path folder_;
};

}  // namespace mornax
