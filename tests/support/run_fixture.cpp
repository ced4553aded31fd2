#include "support/run_fixture.h"

#include <cstring>
#include <utility>

#include "dispatch/run_driver.h"
#include "front/record_copies.h"

namespace mornax::testing {

void UseProject(EngineState& state, std::string_view base, const std::filesystem::path& folder) {
  FILENAME name{};
  const std::string document = std::string(base) + ".mnx";
  name.nameLength = static_cast<std::int32_t>(base.size());
  std::strncpy(name.name, document.c_str(), sizeof name.name - 1);
  LoadFileName(name, state);
  state.projectFolder = folder;
}

ProjectRun::ProjectRun(std::string projectBase) : base(std::move(projectBase)) {
  UseProject(state, base, dir.path());
}

void ProjectRun::RunProject(int task, int method, int mode) {
  RunTask(task, method, mode, state, messages);
}

RunEnv ProjectRun::Env(RunOptions options, RunOutcome* outcome) {
  return RunEnv(messages, base, static_cast<int>(base.size()), options, outcome, dir.path());
}

}  // namespace mornax::testing
