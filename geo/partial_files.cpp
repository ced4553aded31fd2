#include "geo/partial_files.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <system_error>

namespace mornax::geo {
namespace {

constexpr std::string_view kMarker = ".mornax-partial-";
constexpr std::string_view kPrevious = "-previous";

bool ProcessExists(long pid) {
  if (pid == static_cast<long>(::getpid())) return true;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

std::string PartialStem(std::string_view stem, long pid) {
  return std::string(stem) + std::string(kMarker) + std::to_string(pid);
}

std::string PreviousStem(std::string_view stem, long pid) {
  return PartialStem(stem, pid) + std::string(kPrevious);
}

std::optional<long> PartialOwner(std::string_view fileName) {
  const std::size_t marker = fileName.rfind(kMarker);
  if (marker == std::string_view::npos || marker == 0) return std::nullopt;
  const std::string_view rest = fileName.substr(marker + kMarker.size());
  long pid = 0;
  const auto [end, status] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
  if (status != std::errc() || end == rest.data() || pid <= 0) return std::nullopt;
  std::string_view after(end, static_cast<std::size_t>(rest.data() + rest.size() - end));
  if (after.starts_with(kPrevious)) after.remove_prefix(kPrevious.size());
  if (!after.starts_with('.')) return std::nullopt;
  return pid;
}

std::size_t SweepStalePartials(const std::filesystem::path& folder) {
  std::size_t removed = 0;
  std::error_code status;
  for (std::filesystem::directory_iterator it(folder, status), end; !status && it != end;
       it.increment(status)) {
    const std::optional<long> owner = PartialOwner(it->path().filename().string());
    if (!owner || ProcessExists(*owner)) continue;
    std::error_code ignored;
    if (it->is_regular_file(ignored) && std::filesystem::remove(it->path(), ignored)) ++removed;
  }
  return removed;
}

}  // namespace mornax::geo
