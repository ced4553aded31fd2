// mornax-batch: creates, shows and edits project documents and runs their
// computations without a window.
#include <csignal>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "arguments.h"
#include "crs_command.h"
#include "directions_command.h"
#include "document_commands.h"
#include "exit_status.h"
#include "export_command.h"
#include "front/console_messages.h"
#include "grid_command.h"
#include "help.h"
#include "import_command.h"
#include "map_command.h"
#include "project_guard.h"
#include "run_command.h"
#include "use_fit_command.h"

namespace {

using namespace mornax::batch;

int Dispatch(const Invocation& invocation) {
  switch (invocation.command) {
    case Command::kHelp:
      std::fputs(
          (invocation.helpTopic.empty() ? HelpText() : CommandHelp(invocation.helpTopic)).c_str(),
          stdout);
      return kExitSuccess;
    case Command::kNew:
      return NewDocument(invocation);
    case Command::kShow:
      return ShowDocument(invocation);
    case Command::kSet:
      return SetDocumentFields(invocation);
    case Command::kUseFit:
      return UseFittedModel(invocation);
    case Command::kRun:
      return RunComputation(invocation);
    case Command::kGrid:
      return GridNetwork(invocation.commandArgs);
    case Command::kImport:
      return ImportPoints(invocation.commandArgs);
    case Command::kCrs:
      return SetProjectCrs(invocation.commandArgs);
    case Command::kExport: {
      const std::vector<std::string_view> exportArgs(invocation.commandArgs.begin(),
                                                     invocation.commandArgs.end());
      return ExportResultsCommand(exportArgs);
    }
    case Command::kMap:
      return MapPicture(invocation);
    case Command::kDirections:
      return DirectionalRun(invocation.commandArgs);
  }
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit makes a write fail with a message, not end the tool
  // half way through a file.
  std::signal(SIGXFSZ, SIG_IGN);
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  Invocation invocation;
  std::string error;
  if (!ParseArguments(args, invocation, error)) {
    ReportError(error);
    std::fprintf(stderr, "%s\n", UsageLine().c_str());
    return kExitUsage;
  }
  // A run stops on Ctrl-C, a termination or a hangup as on Cancel, its
  // temporaries removed or committed; from the start, so that a signal while
  // the command waits for the project or prepares the run is not lost.
  std::optional<mornax::InterruptAsCancel> stopSignals;
  if (invocation.command == Command::kRun) {
    stopSignals.emplace(mornax::InterruptAsCancel::Signals::kInterruptTerminateHangup);
  }
  // Every command that changes a project's files holds its lock throughout.
  ProjectGuard guard;
  if (const int refused = guard.Enter(invocation); refused != kExitSuccess) return refused;
  return Dispatch(invocation);
}
