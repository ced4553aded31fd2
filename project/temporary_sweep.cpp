#include "project/temporary_sweep.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "mornax_files.h"

namespace mornax::project {
namespace {

// Only a process that does not exist counts as dead; one of another user
// (EPERM) is alive.
bool ProcessGone(long pid) {
  if (pid <= 0 || pid == static_cast<long>(::getpid())) return false;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace

std::vector<std::string> SweepStaleTemporaries(const std::filesystem::path& folder) {
  std::vector<std::string> removed;
  const std::filesystem::path where = folder.empty() ? std::filesystem::path(".") : folder;
  std::error_code status;
  for (std::filesystem::directory_iterator it(where, status), end; !status && it != end;
       it.increment(status)) {
    const std::string name = it->path().filename().string();
    const auto parts = files::ParseTemporaryName(name);
    std::error_code kind;
    if (!parts || !it->is_regular_file(kind) || !ProcessGone(parts->pid)) continue;
    std::error_code failed;
    if (std::filesystem::remove(it->path(), failed)) removed.push_back(name);
  }
  return removed;
}

}  // namespace mornax::project
