#include "io/file_lookup.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace mornax::io {
namespace {

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

}  // namespace

std::filesystem::path ResolveProjectFile(const std::filesystem::path& folder,
                                         std::string_view name) {
  namespace fs = std::filesystem;
  if (name.empty()) return {};
  return ResolveProjectFile(folder / fs::path(std::string(name)));
}

std::filesystem::path ResolveProjectFile(const std::filesystem::path& file) {
  namespace fs = std::filesystem;
  const fs::path& requested = file;
  std::error_code error;
  if (requested.empty() || !requested.has_filename() || fs::exists(requested, error)) {
    return requested;
  }

  // Only the file name part is matched without regard to case; a directory
  // part, if any, must be spelled as it is.
  const fs::path folder = requested.has_parent_path() ? requested.parent_path() : fs::path(".");
  const std::string wanted = requested.filename().string();

  // The smallest matching name, so that the choice among several case
  // variants does not depend on the order in which the directory lists them.
  std::string best;
  bool found = false;
  fs::directory_iterator entries(folder, error);
  if (error) return requested;
  for (const fs::directory_iterator end; entries != end; entries.increment(error)) {
    if (error) break;
    const std::string candidate = entries->path().filename().string();
    if (EqualIgnoringCase(candidate, wanted) && (!found || candidate < best)) {
      best = candidate;
      found = true;
    }
  }
  if (!found) return requested;
  return requested.has_parent_path() ? folder / best : fs::path(best);
}

}  // namespace mornax::io
