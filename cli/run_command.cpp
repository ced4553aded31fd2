#include "run_command.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "api/mornax.h"
#include "core/engine_state.h"
#include "document_commands.h"
#include "engine_terms.h"
#include "exit_status.h"
#include "front/console_messages.h"
#include "front/entry.h"
#include "help.h"
#include "models/model_numbers.h"
#include "project/fields.h"
#include "project/project.h"
#include "raster_run.h"
#include "run_preparation.h"

namespace mornax::batch {
namespace {

// The arguments the program's computation commands pass to the library.
struct Computation {
  std::string_view name;
  int task;
  int method;
  bool interpolation;  // takes the run mode: error analysis or interpolation
};

constexpr std::array<Computation, 5> kComputations = {
    {{"variogram", MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, false},
     {"fit", MNX_TASK_FIT, MNX_METHOD_NONE, false},
     {"weighting", MNX_TASK_INTERPOLATION, MNX_METHOD_WEIGHTING, true},
     {"kriging", MNX_TASK_INTERPOLATION, MNX_METHOD_KRIGING, true},
     {"bayes", MNX_TASK_INTERPOLATION, MNX_METHOD_BAYES, true}}};

const Computation* FindComputation(std::string_view name) {
  for (const Computation& computation : kComputations) {
    if (computation.name == name) return &computation;
  }
  return nullptr;
}

int EntryMode(const Computation& computation, const Invocation& invocation) {
  if (!computation.interpolation) return MNX_MODE_NONE;
  return invocation.runMode == RunMode::kErrorAnalysis ? MNX_MODE_ERROR_ANALYSIS
                                                       : MNX_MODE_INTERPOLATION;
}

// The fields a computation uses, stored or set: its parameters and every
// count that sizes its work arrays (all three nearest-point counts size the
// neighbourhood of every interpolation).
constexpr std::array<std::string_view, 7> kVariogramFields = {
    "subtract",  "logTransform", "lagCount",     "lagDistance",
    "tolerance", "direction",    "fitPointCount"};
constexpr std::array<std::string_view, 13> kFitFields = {
    "lagCount", "fitPointCount", "bestFit",  "model",    "initial1", "initial2", "initial3",
    "minimum1", "minimum2",      "minimum3", "maximum1", "maximum2", "maximum3"};
constexpr std::array<std::string_view, 3> kNearestFields = {"dwPoints", "krigPoints",
                                                            "bayesPoints"};
constexpr std::array<std::string_view, 2> kWeightingFields = {"dwScheme", "trendDegree"};
constexpr std::array<std::string_view, 7> kKrigingFields = {
    "krigModel", "krigOrder", "logTransform", "sill", "a", "c", "c0"};
constexpr std::array<std::string_view, 3> kBayesFields = {"bayesModel", "scaleGuess",
                                                          "logTransform"};
// k_Rho has parameters of its own; the guesses' sill enters its standard
// error of log-transformed values.
constexpr std::array<std::string_view, 5> kKRhoFields = {"sigma", "k", "rho", "lagD", "guessSill"};
constexpr std::array<std::string_view, 8> kBayesModelFields = {
    "sill", "a", "c", "c0", "guessSill", "guessA", "guessC", "guessC0"};

std::vector<std::string_view> FieldsUsed(const Computation& computation,
                                         const project::Records& records) {
  std::vector<std::string_view> names;
  // One name at a time: GCC 12 misreads a range insert from these tables as
  // an out-of-bounds copy (-Warray-bounds) once the function is inlined.
  auto add = [&names](std::span<const std::string_view> more) {
    for (const std::string_view name : more) names.push_back(name);
  };
  if (computation.task == MNX_TASK_SEMIVARIOGRAM) {
    add(kVariogramFields);
  } else if (computation.task == MNX_TASK_FIT) {
    add(kFitFields);
  } else {
    add(kNearestFields);
    if (computation.method == MNX_METHOD_WEIGHTING) {
      add(kWeightingFields);
    } else if (computation.method == MNX_METHOD_KRIGING) {
      add(kKrigingFields);
      for (const project::FieldInfo& term : project::TermFields()) names.push_back(term.name);
    } else {
      for (const project::FieldInfo& term : project::TermFields()) names.push_back(term.name);
      add(kBayesFields);
      if (records.ipl.bayesModel == kKRhoModel) {
        add(kKRhoFields);
      } else {
        add(kBayesModelFields);
      }
    }
  }
  return names;
}

// Every field the computation uses must be in the range `set` accepts; a
// stored document is not trusted more than the command line.
bool FieldsInRange(const Computation& computation, const project::Records& records,
                   std::string& error) {
  for (const std::string_view name : FieldsUsed(computation, records)) {
    const project::FieldInfo* field = project::FindField(name);
    if (field != nullptr && !project::FieldInRange(records, *field, error)) return false;
  }
  return true;
}

// The computation through the library's entry code: the result files and
// the progress lines as the program shows them.
int RunFileTask(const Computation& computation, int mode, const Invocation& invocation,
                const RunContext& context, project::Records& records, bool& stopped) {
  // Stop signals became Cancel requests when the command began (main).
  ConsoleMessages messages(stdout, stderr);
  // The engine state holds the work arrays; it lives on the heap like the
  // library's process-wide one.
  auto state = std::make_unique<EngineState>();
  state->threadCount = invocation.threads;
  // The data file and the results lie beside the document.
  state->projectFolder = context.folder;
  PutModelTerms(records, *state);
  RunEntry(computation.task, computation.method, mode, &records.fileName, &records.svar,
           &records.fvar, &records.ipl, messages, *state);
  // A stopped run did not do what was asked, even when it showed no message.
  stopped = state->runOutcome.stopped;
  if (stopped) return kExitMessageShown;
  // A signal that came after the last stop poll did not stop the run, but it
  // asked the tool to end: say so, with the results complete.
  if (InterruptAsCancel::LastSignal() != 0) {
    stopped = true;
    ReportError("a stop signal came as the run ended; its results are complete");
    return kExitMessageShown;
  }
  return messages.messageCount() > 0 ? kExitMessageShown : kExitSuccess;
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
  if (invocation.autoLag && computation->task != MNX_TASK_SEMIVARIOGRAM) {
    ReportError("--auto-lag is for variogram only");
    return kExitUsage;
  }

  const std::filesystem::path path(invocation.project);
  project::Records records;
  RunContext context{invocation, path.parent_path(), {}, {}};
  std::string error;
  if (!ReadDocument(invocation.project, records, error) ||
      !ApplyAssignments(invocation.assignments, records, error) ||
      !project::SetFileNames(path.filename().string(), records.fileName, context.files, error) ||
      !FieldsInRange(*computation, records, error)) {
    ReportError(error);
    return kExitUsage;
  }
  for (const std::string& assignment : invocation.assignments) {
    context.assigned.insert(assignment.substr(0, assignment.find('=')));
  }
  if (const std::string refused = CheckRasterOptions(invocation, computation->method, records);
      !refused.empty()) {
    ReportError(refused);
    return kExitUsage;
  }
  const int mode = EntryMode(*computation, invocation);
  const Preparation preparation =
      computation->task == MNX_TASK_SEMIVARIOGRAM ? PrepareVariogram(context, records)
      : computation->task == MNX_TASK_FIT
          ? PrepareFit(context, records)
          : PrepareInterpolation(context, computation->method, mode == MNX_MODE_INTERPOLATION,
                                 records);
  if (!preparation.proceed) return preparation.status;

  const bool text = invocation.raster.empty() || !invocation.noText;
  bool stopped = false;
  const int status =
      text ? RunFileTask(*computation, mode, invocation, context, records, stopped) : kExitSuccess;
  if (invocation.raster.empty()) return status;
  if (stopped) {
    ReportError(invocation.raster + " not written: the run was stopped");
    return status;
  }
  // The text run has shown the computation's messages; the raster's run
  // computes the same and shows only what is its own.
  const int rasterStatus = RunToRaster(
      {invocation, path, context.File(project::kDfl), computation->method, text}, records);
  return std::max(status, rasterStatus);
}

}  // namespace mornax::batch
