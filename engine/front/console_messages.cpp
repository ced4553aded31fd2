#include "front/console_messages.h"

#include <array>
#include <csignal>
#include <cstddef>
#include <cstdlib>

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

ConsoleMessages::ConsoleMessages(std::FILE* out, std::FILE* err)
    : out_(out), err_(err), terminal_(isatty(fileno(out)) != 0) {}

void ConsoleMessages::EndOverwritableLine() {
  if (overwritable_) {
    std::fputc('\n', out_);
    overwritable_ = false;
  }
}

void ConsoleMessages::AddLine(int mode, std::string_view text) {
  const int magnitude = std::abs(mode);
  if (magnitude == kListMessageBox) {
    ShowMessage(text);
    return;
  }
  if (magnitude > kListMessageBox) return;
  const std::string line(text);
  if (magnitude == kListReplaceLast && terminal_ && overwritable_) {
    // Replace the previous line in place: return to column 0 and clear it.
    std::fprintf(out_, "\r\033[K%s", line.c_str());
  } else {
    EndOverwritableLine();
    std::fputs(line.c_str(), out_);
    if (terminal_) {
      overwritable_ = true;
    } else {
      std::fputc('\n', out_);
    }
  }
  std::fflush(out_);
}

void ConsoleMessages::ShowMessage(std::string_view text) {
  EndOverwritableLine();
  std::fflush(out_);
  std::fwrite(text.data(), 1, text.size(), err_);
  std::fputc('\n', err_);
  std::fflush(err_);
  ++messageCount_;
}

void ConsoleMessages::WriteOutput(std::string_view line) {
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
