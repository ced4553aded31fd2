#include "run_command.h"

#include <array>
#include <filesystem>
#include <memory>

#include "document_commands.h"
#include "driver/engine_state.h"
#include "exit_status.h"
#include "front/console_messages.h"
#include "front/entry.h"
#include "help.h"
#include "project/project.h"

namespace mornax::batch {
namespace {

// The arguments the program's computation commands pass to the library.
struct Computation {
  std::string_view name;
  int task;
  int method;
  bool interpolation;  // takes the run mode: 1 error analysis, 2 interpolation
};

constexpr std::array<Computation, 5> kComputations = {{{"variogram", 1, 0, false},
                                                       {"fit", 2, 0, false},
                                                       {"weighting", 3, 1, true},
                                                       {"kriging", 3, 2, true},
                                                       {"bayes", 3, 3, true}}};

const Computation* FindComputation(std::string_view name) {
  for (const Computation& computation : kComputations) {
    if (computation.name == name) return &computation;
  }
  return nullptr;
}

int EntryMode(const Computation& computation, const Invocation& invocation) {
  if (!computation.interpolation) return 0;
  return invocation.runMode == RunMode::kErrorAnalysis ? 1 : 2;
}

}  // namespace

int RunComputation(const Invocation& invocation) {
  const Computation* computation = FindComputation(invocation.computation);
  if (computation == nullptr) {
    ReportError("unknown computation " + invocation.computation +
                " (variogram, fit, weighting, kriging or bayes)");
    std::fprintf(stderr, "%s\n", UsageLine().c_str());
    return kExitUsage;
  }
  if (!computation->interpolation && invocation.runMode != RunMode::kUnset) {
    ReportError("--error-analysis and --interpolate are for weighting, kriging and bayes only");
    return kExitUsage;
  }

  const std::filesystem::path path(invocation.project);
  project::Records records;
  project::SetDefaults(records);
  project::FileSet files;
  std::string error;
  if (!project::ReadDocumentFile(path, records, error) ||
      !ApplyAssignments(invocation.assignments, records, error) ||
      !project::SetFileNames(path.filename().string(), records.fileName, files, error)) {
    ReportError(error);
    return kExitUsage;
  }
  // The engine finds the data file and writes its results in the current
  // directory, which is to be the document's folder.
  if (path.has_parent_path()) {
    std::error_code status;
    std::filesystem::current_path(path.parent_path(), status);
    if (status) {
      ReportError("cannot enter the folder of " + invocation.project + ": " + status.message());
      return kExitUsage;
    }
  }

  ConsoleMessages messages(stdout, stderr);
  InterruptAsCancel interrupts;
  // The engine state holds the work arrays; it lives on the heap like the
  // library's process-wide one.
  auto state = std::make_unique<EngineState>();
  state->threadCount = invocation.threads;
  RunEntry(computation->task, computation->method, EntryMode(*computation, invocation),
           &records.fileName, &records.svar, &records.fvar, &records.ipl, messages, *state);
  return messages.messageCount() > 0 ? kExitMessageShown : kExitSuccess;
}

}  // namespace mornax::batch
