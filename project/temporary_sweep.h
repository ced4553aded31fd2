// Temporaries left behind by processes that died before they could remove
// them (killed, out of power), found by the system's temporary names and
// removed by the next command in the folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mornax::project {

// Removes the temporaries in `folder` (not below it) whose writing process
// is no longer alive. A temporary of a living process, or of one whose state
// cannot be told, is kept. Returns the names removed.
std::vector<std::string> SweepStaleTemporaries(const std::filesystem::path& folder);

}  // namespace mornax::project
