#include "geo/partial_files.h"

#include <unistd.h>

#include <atomic>

#include "engine/api/mornax_files.h"
#include "project/temporary_sweep.h"

namespace mornax::geo {

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
  return project::SweepStaleTemporaries(folder).size();
}

}  // namespace mornax::geo
