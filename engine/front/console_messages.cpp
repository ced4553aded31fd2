#include "front/console_messages.h"

#include <array>
#include <cmath>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <utility>

#include <unistd.h>

namespace mornax {
namespace {

// Interrupts not yet consumed by a Cancel poll, and the last signal number. A
// signal handler can only reach process-wide state.
volatile std::sig_atomic_t pendingInterrupts = 0;
volatile std::sig_atomic_t lastSignal = 0;
volatile std::sig_atomic_t interruptsInstalled = 0;

constexpr std::array<int, 3> kStopSignals = {SIGINT, SIGTERM, SIGHUP};
std::array<struct sigaction, kStopSignals.size()> previousActions;
std::size_t installedSignals = 0;

extern "C" void OnInterrupt(int signal) {
  if (pendingInterrupts < 1000) pendingInterrupts = pendingInterrupts + 1;
  lastSignal = signal;
}

}  // namespace

namespace {

// 1234567 as "1,234,567" (counts are never negative).
std::string Grouped(std::int64_t number) {
  const std::string digits = std::to_string(number);
  std::string text;
  text.reserve(digits.size() + digits.size() / 3);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0 && digits[i - 1] != '-') text.push_back(',');
    text.push_back(digits[i]);
  }
  return text;
}

std::string Duration(double seconds) {
  const auto whole = std::llround(seconds);
  char text[32];
  if (whole >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  }
  return text;
}

}  // namespace

std::string ProgressShare(std::int64_t done, std::int64_t total, double elapsedSeconds) {
  if (total <= 0) return {};
  const double share = static_cast<double>(done) / static_cast<double>(total);
  char percent[32];
  std::snprintf(percent, sizeof percent, "%.1f %%", 100.0 * share);
  std::string text = percent;
  if (done > 0 && done < total && elapsedSeconds >= 1.0) {
    text += ", " + Duration(elapsedSeconds * (1.0 - share) / share) + " left";
  }
  return text;
}

std::string ProgressText(std::int64_t done, std::int64_t total, double elapsedSeconds) {
  if (total <= 0) return Grouped(done);
  std::string text = Grouped(done);
  text.append(" of ").append(Grouped(total)).append(" (");
  text.append(ProgressShare(done, total, elapsedSeconds)).push_back(')');
  return text;
}

std::optional<std::string> CountThrottle::Take(std::int64_t done, std::int64_t total,
                                               Clock::time_point now) {
  // A count that falls back or a new total is a new loop.
  if (done < lastDone_ || total != lastTotal_ || lastDone_ < 0) {
    start_ = now;
    lastShown_ = now;
  }
  lastDone_ = done;
  lastTotal_ = total;
  const double elapsed = Elapsed(now);
  if (terminal_) return ProgressText(done, total, elapsed);
  if (done == total || now - lastShown_ < interval_) return std::nullopt;
  lastShown_ = now;
  return "progress: " + ProgressText(done, total, elapsed);
}

ConsoleMessages::ConsoleMessages(std::FILE* out, std::FILE* err)
    : out_(out), err_(err), terminal_(isatty(fileno(out)) != 0), throttle_(terminal_) {}

void ConsoleMessages::Count(std::int64_t done, std::int64_t total) {
  const auto now = CountThrottle::Clock::now();
  std::optional<std::string> text = throttle_.Take(done, total, now);
  if (!text) return;
  // Beside the engine's own counter the share and the time left say the
  // rest; a second count, a moment older, would only disagree with it.
  if (terminal_ && !lastLine_.empty() && total > 0) {
    std::string share(1, '(');
    share.append(ProgressShare(done, total, throttle_.Elapsed(now)));
    share.push_back(')');
    text = std::move(share);
  }
  if (!terminal_) {
    WriteHeld();
    std::fprintf(out_, "%s\n", text->c_str());
  } else {
    count_ = *text;
    const std::string joined = lastLine_.empty() ? count_ : lastLine_ + "  " + count_;
    std::fprintf(out_, overwritable_ ? "\r\033[K%s" : "%s", joined.c_str());
    overwritable_ = true;
  }
  std::fflush(out_);
}

ConsoleMessages::~ConsoleMessages() {
  WriteHeld();
  std::fflush(out_);
}

void ConsoleMessages::WriteHeld() {
  if (held_.empty()) return;
  std::fprintf(out_, "%s\n", held_.c_str());
  held_.clear();
}

void ConsoleMessages::EndOverwritableLine() {
  if (overwritable_) {
    std::fputc('\n', out_);
    overwritable_ = false;
  }
  lastLine_.clear();
  count_.clear();
}

void ConsoleMessages::AddLine(int mode, std::string_view text) {
  const int magnitude = std::abs(mode);
  if (magnitude == kListMessageBox) {
    ShowMessage(text);
    return;
  }
  if (magnitude > kListMessageBox) return;
  const std::string line(text);
  if (magnitude == kListReplaceLast && !terminal_) {
    // A pipe or a log gets a counter line only when something else follows
    // it or a count is due: a run of 10^7 points says where it is every few
    // seconds, not in hundreds of thousands of lines.
    held_ = line;
    return;
  }
  WriteHeld();
  if (magnitude == kListReplaceLast && terminal_ && overwritable_) {
    // Replace the previous line in place: return to column 0 and clear it.
    lastLine_ = line;
    std::fprintf(out_, "\r\033[K%s%s%s", line.c_str(), count_.empty() ? "" : "  ", count_.c_str());
  } else {
    EndOverwritableLine();
    std::fputs(line.c_str(), out_);
    if (terminal_) {
      lastLine_ = line;
      overwritable_ = true;
    } else {
      std::fputc('\n', out_);
    }
  }
  std::fflush(out_);
}

void ConsoleMessages::ShowMessage(std::string_view text) {
  WriteHeld();
  EndOverwritableLine();
  std::fflush(out_);
  std::fwrite(text.data(), 1, text.size(), err_);
  std::fputc('\n', err_);
  std::fflush(err_);
  ++messageCount_;
}

void ConsoleMessages::WriteOutput(std::string_view line) {
  WriteHeld();
  EndOverwritableLine();
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
}

bool ConsoleMessages::PollCancel() {
  return InterruptAsCancel::Consume();
}

InterruptAsCancel::InterruptAsCancel(Signals which) {
  if (interruptsInstalled != 0) return;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  pendingInterrupts = 0;
  lastSignal = 0;
  const std::size_t count = which == Signals::kInterrupt ? 1 : kStopSignals.size();
  installedSignals = 0;
  while (installedSignals < count && sigaction(kStopSignals[installedSignals], &action,
                                               &previousActions[installedSignals]) == 0) {
    ++installedSignals;
  }
  // A termination or hangup the caller chose to ignore (nohup) stays ignored.
  for (std::size_t k = 1; k < installedSignals; ++k) {
    if (previousActions[k].sa_handler == SIG_IGN) {
      sigaction(kStopSignals[k], &previousActions[k], nullptr);
    }
  }
  interruptsInstalled = 1;
  installed_ = true;
}

InterruptAsCancel::~InterruptAsCancel() {
  if (!installed_) return;
  for (std::size_t k = 0; k < installedSignals; ++k) {
    sigaction(kStopSignals[k], &previousActions[k], nullptr);
  }
  installedSignals = 0;
  interruptsInstalled = 0;
  pendingInterrupts = 0;
}

int InterruptAsCancel::LastSignal() {
  return lastSignal;
}

bool InterruptAsCancel::Consume() {
  if (pendingInterrupts > 0) {
    pendingInterrupts = pendingInterrupts - 1;
    return true;
  }
  return false;
}

}  // namespace mornax
