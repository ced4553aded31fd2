#include "front/entry.h"

#include <new>
#include <string>

#include "dispatch/run_driver.h"
#include "front/record_copies.h"

namespace mornax {
namespace {

constexpr std::string_view kStartLine = "MORNAX: Start Computation";
constexpr std::string_view kCompleteLine = "MORNAX: Computation Complete";
constexpr std::string_view kBadName = "Project name must have 1 to 12 characters";
constexpr std::string_view kNoRecords = "No Parameters specified";
constexpr std::string_view kNoMemory = " Allocation Error, not enough memory";
constexpr std::string_view kUnexpected = "Computation stopped by an unexpected error";

// The closing line of a run that the user stopped: how many points reached
// the result files (none: the earlier results are kept as they were). The
// semivariogram and the fit write no points: their results are kept whole.
std::string StoppedLine(int task, const RunOutcome& outcome) {
  if (task == MNX_TASK_SEMIVARIOGRAM || task == MNX_TASK_FIT) {
    return "MORNAX: Computation stopped, earlier results kept";
  }
  if (outcome.written <= 0) return "MORNAX: Computation stopped, no points written";
  return "MORNAX: Computation stopped, " + std::to_string(outcome.written) +
         (outcome.written == 1 ? " point written" : " points written");
}

}  // namespace

EngineState& ProcessEngineState() {
  static EngineState state;
  return state;
}

void RunEntry(int task, int method, int mode, const FILENAME* fileName, const SVAR* svar,
              const FVAR* fvar, const IPL* ipl, Messages& messages, EngineState& state) {
  messages.AddLine(kListRestart, kStartLine);
  messages.Show();
  if (fileName == nullptr || svar == nullptr || fvar == nullptr || ipl == nullptr) {
    messages.ShowMessage(kNoRecords);
  } else if (fileName->nameLength < 1 || fileName->nameLength > kBaseNameLength) {
    messages.ShowMessage(kBadName);
  } else {
    LoadFileName(*fileName, state);
    if (state.baseLength < 1) {  // blanks only
      messages.ShowMessage(kBadName);
    } else {
      LoadParameters(*svar, *fvar, *ipl, state);
      RunTask(task, method, mode, state, messages);
      if (state.runOutcome.stopped) {
        messages.AddLine(kListAppend, StoppedLine(task, state.runOutcome));
        return;
      }
    }
  }
  messages.AddLine(kListAppend, kCompleteLine);
}

void RunEntryGuarded(int task, int method, int mode, const FILENAME* fileName, const SVAR* svar,
                     const FVAR* fvar, const IPL* ipl, Messages& messages,
                     EngineState& state) noexcept {
  std::string_view failure;
  try {
    RunEntry(task, method, mode, fileName, svar, fvar, ipl, messages, state);
    return;
  } catch (const std::bad_alloc&) {
    failure = kNoMemory;
  } catch (...) {
    failure = kUnexpected;
  }
  try {
    messages.ShowMessage(failure);
    messages.AddLine(kListAppend, kCompleteLine);
  } catch (...) {
  }
}

}  // namespace mornax
