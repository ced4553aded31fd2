// The one rule for the names of an export's temporary files, and the sweep
// of those a process left behind when it was killed. A driver writes
// STEM.mornax-partial-PID.EXT and its sidecars under that stem; while a set
// of files is replaced, the old ones are kept aside as
// STEM.mornax-partial-PID-previous.EXT. PID is the writing process's id.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mornax::geo {

// The temporary stem of an output whose stem is `stem`, for process `pid`.
std::string PartialStem(std::string_view stem, long pid);

// The stem under which the old files of that output are kept aside.
std::string PreviousStem(std::string_view stem, long pid);

// The id of the process that wrote the temporary `fileName`; nothing when
// the name follows no rule above.
std::optional<long> PartialOwner(std::string_view fileName);

// Removes the temporaries in `folder` whose process no longer exists (a
// process of another user counts as existing). Returns how many it removed.
std::size_t SweepStalePartials(const std::filesystem::path& folder);

}  // namespace mornax::geo
