#include "geo/partial_files.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <system_error>

#include "engine/api/mornax_files.h"

namespace mornax::geo {
namespace {

// Only a process that does not exist counts as gone; one of another user
// (EPERM) is alive.
bool ProcessGone(long pid) {
  if (pid <= 0 || pid == static_cast<long>(::getpid())) return false;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace

std::string PartialStem(std::string_view stem, long pid, unsigned long serial) {
  return std::string(stem) + files::TemporaryMarker(pid, serial);
}

std::string NewPartialStem(std::string_view stem) {
  // Process-wide by nature: serials are unique within the process.
  static std::atomic<unsigned long> serials{0};
  return PartialStem(stem, static_cast<long>(::getpid()), serials.fetch_add(1));
}

std::optional<long> PartialOwner(std::string_view fileName) {
  const auto parts = files::ParseTemporaryName(fileName);
  if (!parts) return std::nullopt;
  return parts->pid;
}

std::size_t SweepStalePartials(const std::filesystem::path& folder) {
  std::size_t removed = 0;
  std::error_code status;
  for (std::filesystem::directory_iterator it(folder, status), end; !status && it != end;
       it.increment(status)) {
    const std::optional<long> owner = PartialOwner(it->path().filename().string());
    std::error_code ignored;
    if (!owner || !ProcessGone(*owner) || !it->is_regular_file(ignored)) continue;
    if (std::filesystem::remove(it->path(), ignored)) ++removed;
  }
  return removed;
}

}  // namespace mornax::geo
