// Project files live in the current directory; a name that differs only in
// case reaches the same file (BASE.DFL and BASE.dfl, site1.DFL).
#pragma once

#include <filesystem>
#include <string_view>

namespace mornax::io {

// The exact name when such a file exists; otherwise the first entry of the
// current directory (in sorted order) whose name equals `name` without regard
// to case; otherwise `name` itself.
std::filesystem::path ResolveProjectFile(std::string_view name);

}  // namespace mornax::io
