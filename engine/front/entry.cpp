#include "front/entry.h"

#include "driver/run_driver.h"

namespace mornax {
namespace {

constexpr std::string_view kStartLine = "MORNAX: Start Computation";
constexpr std::string_view kCompleteLine = "MORNAX: Computation Complete";
constexpr std::string_view kBadName = "Project name must have 1 to 12 characters";
constexpr std::string_view kNoRecords = "No Parameters specified";

}  // namespace

EngineState& ProcessEngineState() {
  static EngineState state;
  return state;
}

void RunEntry(int task, int method, int mode, const FILENAME* fileName, const SVAR* svar,
              const FVAR* fvar, const IPL* ipl, Messages& messages, EngineState& state) {
  messages.AddLine(0, kStartLine);
  messages.Show();
  if (fileName == nullptr || svar == nullptr || fvar == nullptr || ipl == nullptr) {
    messages.ShowMessage(kNoRecords);
  } else if (fileName->nameLength < 1 || fileName->nameLength > kBaseNameLength) {
    messages.ShowMessage(kBadName);
  } else {
    LoadFileName(*fileName, state);
    LoadParameters(*svar, *fvar, *ipl, state);
    RunTask(task, method, mode, state, messages);
  }
  messages.AddLine(2, kCompleteLine);
}

}  // namespace mornax
