#include "support/batch_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

namespace mornax::testing {

BatchResult RunBatch(const ScopedTempDir& dir, const std::string& args, const std::string& env) {
  const std::string command = "cd '" + dir.path().string() + "' && " + env +
                              " '" MORNAX_BINARY_DIR "/cli/mornax-batch' " + args +
                              " >batch-out.txt 2>batch-err.txt </dev/null";
  const int raw = std::system(command.c_str());
  BatchResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = dir.Read("batch-out.txt");
  result.err = dir.Read("batch-err.txt");
  std::filesystem::remove(dir.path() / "batch-out.txt");
  std::filesystem::remove(dir.path() / "batch-err.txt");
  return result;
}

}  // namespace mornax::testing
