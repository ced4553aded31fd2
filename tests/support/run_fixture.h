// The set-up of the whole-run tests: a project in a fresh temporary folder,
// the engine state that runs it (base name loaded, the folder as the
// project's folder) and the recorded messages of its runs.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/engine_state.h"
#include "core/run_env.h"
#include "support/recorder_messages.h"
#include "support/temp_dir.h"

namespace mornax::testing {

// Points `state` at the project `base` in `folder`: the base name as the
// program passes it (document BASE.mnx) and the folder of its files.
void UseProject(EngineState& state, std::string_view base, const std::filesystem::path& folder);

class ProjectRun : public ::testing::Test {
 protected:
  explicit ProjectRun(std::string base = "SITE");

  // Runs one task of the driver on `state`, recording into `messages`.
  void RunProject(int task, int method, int mode);

  // The run environment of a computation routine called directly.
  RunEnv Env(RunOptions options = {}, RunOutcome* outcome = nullptr);

  std::string base;
  ScopedTempDir dir;
  RecorderMessages messages;
  EngineState state;
};

}  // namespace mornax::testing
