// The message implementation for a process without a window: progress lines
// on standard output, message boxes as single lines on standard error, Cancel
// as Ctrl-C.
#pragma once

#include <cstdio>
#include <string>

#include "core/messages.h"

namespace mornax {

class ConsoleMessages : public Messages {
 public:
  // `out` receives the progress lines, `err` the message-box texts.
  explicit ConsoleMessages(std::FILE* out = stdout, std::FILE* err = stderr);

  void AddLine(int mode, std::string_view text) override;
  void ShowMessage(std::string_view text) override;
  bool PollCancel() override;
  void WriteOutput(std::string_view line) override;

  // Number of message boxes shown so far.
  int messageCount() const { return messageCount_; }

 private:
  void EndOverwritableLine();

  std::FILE* out_;
  std::FILE* err_;
  bool terminal_;
  bool overwritable_ = false;  // the last line on a terminal may be replaced
  int messageCount_ = 0;
};

// While an object of this class lives, the stop signals chosen do not end the
// process: each one becomes a Cancel request that the next poll consumes, so
// that a run ends as the Cancel button would end it, its temporary files
// removed or committed. A library call takes Ctrl-C (SIGINT) alone; the batch
// tool also the termination a system or a closed terminal sends (SIGTERM,
// SIGHUP).
class InterruptAsCancel {
 public:
  enum class Signals { kInterrupt, kInterruptTerminateHangup };

  explicit InterruptAsCancel(Signals which = Signals::kInterrupt);
  ~InterruptAsCancel();
  InterruptAsCancel(const InterruptAsCancel&) = delete;
  InterruptAsCancel& operator=(const InterruptAsCancel&) = delete;

  // Consumes one pending interrupt; true when there was one.
  static bool Consume();
  // The last stop signal received while an object lives (consumed or not);
  // 0 when none came.
  static int LastSignal();

 private:
  bool installed_ = false;
};

}  // namespace mornax
