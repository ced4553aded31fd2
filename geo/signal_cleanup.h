// Temporary files removed when the process is ended by SIGINT, SIGTERM or
// SIGHUP, so that an interrupted command leaves nothing half written. The
// handler (installed on first use, leaving ignored signals ignored) removes
// the registered files with async-signal-safe calls, then restores the
// signal's previous action and raises it again.
#pragma once

#include <signal.h>

#include <filesystem>
#include <string>

namespace mornax::geo {

// While alive, the files of `folder` whose names start with `prefix` are
// removed if one of the signals ends the process.
class RemoveOnSignal {
 public:
  RemoveOnSignal(const std::filesystem::path& folder, const std::string& prefix);
  ~RemoveOnSignal();
  RemoveOnSignal(const RemoveOnSignal&) = delete;
  RemoveOnSignal& operator=(const RemoveOnSignal&) = delete;

 private:
  int slot_ = -1;  // -1: no room left to register (the files then stay)
};

// While alive, the signals wait: a set of files being renamed into place is
// never cut in half. A signal that arrived meanwhile takes effect (cleanup,
// then the signal's previous action) when the hold ends.
class HoldTerminationSignals {
 public:
  HoldTerminationSignals();
  ~HoldTerminationSignals();
  HoldTerminationSignals(const HoldTerminationSignals&) = delete;
  HoldTerminationSignals& operator=(const HoldTerminationSignals&) = delete;

 private:
  bool blocked_ = false;
  sigset_t savedMask_{};  // the thread's mask before the hold
};

}  // namespace mornax::geo
