// How mornax names the temporary files it writes beside a file it replaces,
// for every part of the system and its callers: the library's result files,
// the document, the GIS exports, and the sweep that removes what a killed
// process left behind.
//
// A temporary carries the marker ".<pid>-<serial>.part": the id of the
// process that writes it and a number unique within that process. The marker
// follows the whole name ("SITE1.dat.4711-0.part"), or, for a file whose
// format a reader takes from its extension, stands before the extension
// ("map.4711-0.part.tif", and the sidecars "map.4711-0.part.dbf", ...).
// Removing the marker gives the name of the file being replaced.
#ifndef MORNAX_API_MORNAX_FILES_H
#define MORNAX_API_MORNAX_FILES_H

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace mornax::files {

inline constexpr std::string_view kTemporaryTag = ".part";

// The marker ".<pid>-<serial>.part".
// (Built by appending: GCC 12 warns falsely about chains of string +.)
inline std::string TemporaryMarker(long pid, unsigned long serial) {
  std::string marker(".");
  marker.append(std::to_string(pid)).append("-").append(std::to_string(serial));
  marker.append(kTemporaryTag);
  return marker;
}

// The temporary of file `name` (no folder): the marker after the whole name.
inline std::string TemporaryName(std::string_view name, long pid, unsigned long serial) {
  std::string temporary(name);
  temporary.append(TemporaryMarker(pid, serial));
  return temporary;
}

// The temporary of file `name` whose extension must stay last: the marker
// before the extension ("out.tif" -> "out.<pid>-<serial>.part.tif").
inline std::string TemporaryNameKeepingExtension(std::string_view name, long pid,
                                                 unsigned long serial) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return TemporaryName(name, pid, serial);
  std::string temporary(name.substr(0, dot));
  temporary.append(TemporaryMarker(pid, serial)).append(name.substr(dot));
  return temporary;
}

// What a temporary's name tells: the file it replaces and the writer's id.
struct TemporaryNameParts {
  std::string target;
  long pid = 0;
};

// The parts of a temporary's name (no folder); empty for any other name.
inline std::optional<TemporaryNameParts> ParseTemporaryName(std::string_view name) {
  const auto digits = [](std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
  };
  for (std::size_t tag = name.find(kTemporaryTag); tag != std::string_view::npos;
       tag = name.find(kTemporaryTag, tag + 1)) {
    const std::size_t after = tag + kTemporaryTag.size();
    if (after != name.size() && name[after] != '.') continue;
    const std::size_t dash = name.rfind('-', tag);
    if (dash == std::string_view::npos) continue;
    const std::size_t dot = name.rfind('.', dash);
    if (dot == std::string_view::npos || dot == 0) continue;
    const std::string_view pid = name.substr(dot + 1, dash - dot - 1);
    if (!digits(pid) || !digits(name.substr(dash + 1, tag - dash - 1))) continue;
    TemporaryNameParts parts;
    const auto [end, status] = std::from_chars(pid.data(), pid.data() + pid.size(), parts.pid);
    if (status != std::errc() || end != pid.data() + pid.size() || parts.pid <= 0) continue;
    parts.target.assign(name.substr(0, dot)).append(name.substr(after));
    return parts;
  }
  return std::nullopt;
}

}  // namespace mornax::files

#endif  // MORNAX_API_MORNAX_FILES_H
