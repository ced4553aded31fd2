// Project files live in the project's folder; a name that differs only in
// case reaches the same file (BASE.DFL and BASE.dfl, site1.DFL).
#pragma once

#include <filesystem>
#include <string_view>

namespace mornax::io {

// The file `name` inside `folder` (empty: the current directory): the exact
// name when such a file exists; otherwise the first entry of the folder (in
// sorted order) whose name equals `name` without regard to case; otherwise
// `name` itself. Only the file name is matched without regard to case; a
// folder part, in `folder` or in `name`, must be spelled as it is.
std::filesystem::path ResolveProjectFile(const std::filesystem::path& folder,
                                         std::string_view name);

// The same for a path whose folder part names the folder.
std::filesystem::path ResolveProjectFile(const std::filesystem::path& file);

}  // namespace mornax::io
