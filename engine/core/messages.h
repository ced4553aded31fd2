// The engine's only contact with the user: progress lines, message boxes and
// the Cancel poll. Three implementations exist: the Qt progress window, the
// console (no window in the process) and a recorder used by the tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "api/message_codes.h"

namespace mornax {

// Modes of Messages::AddLine and ProgressMessage. The negated mode makes the
// same change without the immediate repaint.
enum ListMode : int {
  kListRestart = 0,      // empty the list, then add the line
  kListReplaceLast = 1,  // replace the last line (a running counter)
  kListAppend = 2,       // add the line at the end
  kListMessageBox = 3    // show the text in a message box; the list is unchanged
};

class Messages {
 public:
  virtual ~Messages() = default;

  // Changes the progress list by the list rules: |mode| 0 empties the list and
  // adds the line, 1 replaces the last line, 2 appends, 3 shows a message box;
  // a negative mode skips the immediate repaint.
  virtual void AddLine(int mode, std::string_view text) = 0;

  // Shows a modal message box with an OK button holding exactly this text and
  // returns when it has been dismissed.
  virtual void ShowMessage(std::string_view text) = 0;

  // A message box about `code`: the same box as ShowMessage, for callers that
  // act on what a message is about (the in-memory interface collects both).
  virtual void Notify(api::MessageCode code, std::string_view text) {
    static_cast<void>(code);
    ShowMessage(text);
  }

  // True when one pending Cancel request was consumed by this poll.
  virtual bool PollCancel() = 0;

  // Progress as counts: `done` items of `total` (-1 when unknown). The loops
  // call it at most about ten times a second, and with the last count.
  virtual void Count(std::int64_t done, std::int64_t total) {
    static_cast<void>(done);
    static_cast<void>(total);
  }

  // Writes one free-form line to the engine's standard output (diagnostics
  // that belong to no window or file, such as a zero divisor in a solve).
  virtual void WriteOutput(std::string_view line) = 0;

  // Shows the progress report and repaints it at once (start of a run).
  virtual void Show() {}
};

// The engine routines of the progress report, with the length and code rules
// of the record-based interface.

// The line is the first `length` characters of `text`.
void ProgressMessage(Messages& messages, int mode, int length, std::string_view text);

// code 0: the first `length` characters of `text` as the message, about `what`.
// code != 0: `text` is a project file name whose length is nameLength + 4;
// code < 0 gives the end-of-file wording, code > 0 the data-format wording.
void ErrorMessage(Messages& messages, int length, std::string_view text, int code, int nameLength,
                  api::MessageCode what = api::MessageCode::kUnclassified);

// What an input-file message of read status `code` is about.
api::MessageCode InputFileCode(int code);

// The text ErrorMessage shows for a nonzero code: the input-file wording and
// the first nameLength + 4 characters of `name`.
std::string InputFileMessage(int code, std::string_view name, int nameLength);

// Returns 1 when the user asked to stop, else 0.
int CheckCancel(Messages& messages);

}  // namespace mornax
