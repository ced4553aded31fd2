// The temporary files of exports, named by the system's one rule for
// temporaries (engine/api/mornax_files.h): a driver writes
// STEM.<pid>-<serial>.part.EXT and its sidecars under that stem, and while a
// set of files is replaced the old ones wait under a second such stem. Also
// the sweep of those a killed process left behind.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mornax::geo {

// The temporary stem of an output whose stem is `stem`, for process `pid`
// and its `serial`-th temporary.
std::string PartialStem(std::string_view stem, long pid, unsigned long serial);

// A temporary stem for this process that no other of its temporaries has.
std::string NewPartialStem(std::string_view stem);

// The id of the process that wrote the temporary `fileName`; nothing when
// the name is no temporary.
std::optional<long> PartialOwner(std::string_view fileName);

// Removes the temporaries in `folder` whose process no longer exists (a
// process of another user counts as existing), by the project room's one
// sweep. Returns how many it removed.
std::size_t SweepStalePartials(const std::filesystem::path& folder);

}  // namespace mornax::geo
