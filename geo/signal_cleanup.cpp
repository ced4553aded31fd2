#include "geo/signal_cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <mutex>

namespace mornax::geo {
namespace {

constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};
constexpr std::size_t kSlots = 32;

enum SlotState : int { kFree, kFilling, kActive };

// What the handler may touch: fixed buffers and lock-free atomics only.
struct Slot {
  std::atomic<int> state{kFree};
  char folder[PATH_MAX] = {};
  char prefix[NAME_MAX + 1] = {};
};

// The registry is process-wide by nature, as signal dispositions are; it is
// constant-initialised, so the handler never meets it half made.
std::array<Slot, kSlots> slots;
std::array<struct sigaction, kSignals.size()> previousActions{};
std::array<bool, kSignals.size()> previousInstalled{};
std::atomic<int> holds{0};
std::atomic<int> deferredSignal{0};

bool StartsWith(const char* name, const char* prefix) {
  return std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}

// The entries of one folder whose names start with the slot's prefix,
// unlinked through the raw directory stream (getdents64 and unlinkat are
// plain system calls, safe in a handler; readdir may allocate).
void RemoveSlotFiles(const Slot& slot) {
  const int folder = ::open(slot.folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return;
  alignas(8) char buffer[4096];
  while (true) {
    const long read = ::syscall(SYS_getdents64, folder, buffer, sizeof buffer);
    if (read <= 0) break;
    for (long offset = 0; offset < read;) {
      // struct linux_dirent64: inode, offset, record length, type, name.
      unsigned short length = 0;
      std::memcpy(&length, buffer + offset + 16, sizeof length);
      const char* name = buffer + offset + 19;
      if (StartsWith(name, slot.prefix)) ::unlinkat(folder, name, 0);
      offset += length;
    }
  }
  ::close(folder);
}

void RemoveRegisteredFiles() {
  for (const Slot& slot : slots) {
    if (slot.state.load(std::memory_order_acquire) == kActive) RemoveSlotFiles(slot);
  }
}

void Reraise(int signal) {
  for (std::size_t k = 0; k < kSignals.size(); ++k) {
    if (kSignals[k] == signal && previousInstalled[k]) {
      ::sigaction(signal, &previousActions[k], nullptr);
    }
  }
  ::raise(signal);
}

extern "C" void OnTerminationSignal(int signal) {
  const int savedErrno = errno;
  if (holds.load() > 0) {
    deferredSignal.store(signal);
  } else {
    RemoveRegisteredFiles();
    Reraise(signal);
  }
  errno = savedErrno;
}

void InstallHandlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (std::size_t k = 0; k < kSignals.size(); ++k) {
      struct sigaction current {};
      if (::sigaction(kSignals[k], nullptr, &current) != 0) continue;
      if (current.sa_handler == SIG_IGN) continue;  // nohup and the like: stay ignored
      struct sigaction action {};
      action.sa_handler = OnTerminationSignal;
      sigemptyset(&action.sa_mask);
      for (int other : kSignals) sigaddset(&action.sa_mask, other);
      action.sa_flags = SA_RESTART;
      previousActions[k] = current;
      previousInstalled[k] = ::sigaction(kSignals[k], &action, nullptr) == 0;
    }
  });
}

bool Copy(char* target, std::size_t size, const std::string& text) {
  if (text.size() >= size) return false;
  std::memcpy(target, text.c_str(), text.size() + 1);
  return true;
}

}  // namespace

RemoveOnSignal::RemoveOnSignal(const std::filesystem::path& folder, const std::string& prefix) {
  InstallHandlers();
  const std::string folderText = folder.empty() ? std::string(".") : folder.string();
  for (std::size_t k = 0; k < kSlots; ++k) {
    Slot& slot = slots[k];
    int expected = kFree;
    if (!slot.state.compare_exchange_strong(expected, kFilling)) continue;
    if (!Copy(slot.folder, sizeof slot.folder, folderText) ||
        !Copy(slot.prefix, sizeof slot.prefix, prefix)) {
      slot.state.store(kFree);
      return;
    }
    slot.state.store(kActive, std::memory_order_release);
    slot_ = static_cast<int>(k);
    return;
  }
}

RemoveOnSignal::~RemoveOnSignal() {
  if (slot_ >= 0) slots[static_cast<std::size_t>(slot_)].state.store(kFree);
}

HoldTerminationSignals::HoldTerminationSignals() {
  holds.fetch_add(1);
  sigset_t block;
  sigemptyset(&block);
  for (int signal : kSignals) sigaddset(&block, signal);
  blocked_ = ::pthread_sigmask(SIG_BLOCK, &block, &savedMask_) == 0;
}

HoldTerminationSignals::~HoldTerminationSignals() {
  // A signal another thread took during the hold acts now; one blocked in
  // this thread is delivered when the mask is restored.
  if (holds.fetch_sub(1) == 1) {
    const int signal = deferredSignal.exchange(0);
    if (signal != 0) {
      RemoveRegisteredFiles();
      Reraise(signal);
    }
  }
  if (blocked_) ::pthread_sigmask(SIG_SETMASK, &savedMask_, nullptr);
}

}  // namespace mornax::geo
