// The message implementation for a process without a window: progress lines
// on standard output, message boxes as single lines on standard error, Cancel
// as Ctrl-C.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "core/messages.h"

namespace mornax {

// "1,234,567 of 10,000,000 (12.3 %), 0:42 left": a count as a person reads
// it; without a total the count alone, and the time left only once it can
// be judged (`elapsed` at least a second, something done).
std::string ProgressText(std::int64_t done, std::int64_t total, double elapsedSeconds);
// Its share and time left alone: "12.3 %, 1:11 left" (empty without a total).
std::string ProgressShare(std::int64_t done, std::int64_t total, double elapsedSeconds);

// When a count reaches a reader: on a terminal every count (the line is
// rewritten in place); elsewhere at most one line every `interval`, none
// before the first interval has passed and none for the last count, so
// that short runs print what they always printed.
class CountThrottle {
 public:
  using Clock = std::chrono::steady_clock;
  explicit CountThrottle(bool terminal, Clock::duration interval = std::chrono::seconds(5))
      : terminal_(terminal), interval_(interval) {}

  // The text to show for this count at `now`, or nothing.
  std::optional<std::string> Take(std::int64_t done, std::int64_t total, Clock::time_point now);
  // Seconds since the loop of the last count began.
  double Elapsed(Clock::time_point now) const {
    return std::chrono::duration<double>(now - start_).count();
  }

 private:
  bool terminal_;
  Clock::duration interval_;
  Clock::time_point start_{}, lastShown_{};
  std::int64_t lastDone_ = -1, lastTotal_ = -1;
};

class ConsoleMessages : public Messages {
 public:
  // `out` receives the progress lines, `err` the message-box texts.
  explicit ConsoleMessages(std::FILE* out = stdout, std::FILE* err = stderr);
  ~ConsoleMessages() override;
  ConsoleMessages(const ConsoleMessages&) = delete;
  ConsoleMessages& operator=(const ConsoleMessages&) = delete;

  void AddLine(int mode, std::string_view text) override;
  void ShowMessage(std::string_view text) override;
  bool PollCancel() override;
  void WriteOutput(std::string_view line) override;
  // On a terminal the count joins the last line, rewritten in place; in a
  // pipe or a log a line of its own every few seconds.
  void Count(std::int64_t done, std::int64_t total) override;

  // Number of message boxes shown so far.
  int messageCount() const { return messageCount_; }

 private:
  void EndOverwritableLine();
  // Writes the counter line a pipe is holding back, if any.
  void WriteHeld();

  std::FILE* out_;
  std::FILE* err_;
  bool terminal_;
  bool overwritable_ = false;  // the last line on a terminal may be replaced
  std::string lastLine_;       // the terminal's last line, without the count
  std::string count_;          // the count shown after it
  std::string held_;           // not a terminal: the last counter line, not yet written
  CountThrottle throttle_;
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
