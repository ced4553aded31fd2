// A project file replaced whole: written beside itself under the system's
// temporary name, flushed to disk and renamed over the old file, so that a
// failure at any point (a full disk, a file-size limit, a killed process)
// leaves the old file intact. The document is written this way by the
// program and by the batch tool.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mornax::project {

// Replaces (or creates) `path` with `contents`. A symbolic link is followed:
// the file it names is replaced. The new file keeps the old one's
// permissions. False with `error` giving the reason ("No space left on
// device") when nothing was replaced.
bool ReplaceFile(const std::filesystem::path& path, std::string_view contents, std::string& error);

}  // namespace mornax::project
