#include "project_guard.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "document_commands.h"
#include "exit_status.h"
#include "project/temporary_sweep.h"

namespace mornax::batch {
namespace {

constexpr double kDefaultWaitSeconds = 10.0;
constexpr double kLongestWaitSeconds = 3600.0;

bool ChangesProject(Command command) {
  return command != Command::kHelp && command != Command::kShow;
}

bool EndsWithDocumentExtension(const std::string& arg) {
  if (arg.size() < 5) return false;
  std::string extension = arg.substr(arg.size() - 4);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".mnx";
}

// The document the command names: for the commands that read their own
// arguments the first one that names a .mnx file, else the first operand.
std::string DocumentOf(const Invocation& invocation) {
  if (!invocation.project.empty()) return invocation.project;
  for (const std::string& arg : invocation.commandArgs) {
    if (EndsWithDocumentExtension(arg)) return arg;
  }
  for (const std::string& arg : invocation.commandArgs) {
    if (!arg.starts_with("-")) return arg;
  }
  return {};
}

std::chrono::milliseconds LockWait() {
  double seconds = kDefaultWaitSeconds;
  if (const char* text = std::getenv("MORNAX_LOCK_WAIT")) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end != text && *end == '\0' && value >= 0.0) seconds = value;
  }
  seconds = std::min(seconds, kLongestWaitSeconds);
  return std::chrono::milliseconds(static_cast<long long>(seconds * 1000.0));
}

}  // namespace

int ProjectGuard::Enter(const Invocation& invocation) {
  if (!ChangesProject(invocation.command)) return kExitSuccess;
  const std::string document = DocumentOf(invocation);
  if (document.empty()) return kExitSuccess;  // the command reports the missing name
  long holder = 0;
  using Outcome = project::ProjectLock::Outcome;
  if (project::ProjectLock::Acquire(document, LockWait(), lock_, holder) == Outcome::kBusy) {
    ReportError(project::BusyMessage(document, holder));
    return kExitMessageShown;
  }
  const std::filesystem::path folder = std::filesystem::path(document).parent_path();
  const std::vector<std::string> removed = project::SweepStaleTemporaries(folder);
  for (const std::string& name : removed) {
    std::fprintf(stderr, "mornax-batch: note: removed %s, left behind by a process that ended\n",
                 name.c_str());
  }
  return kExitSuccess;
}

}  // namespace mornax::batch
