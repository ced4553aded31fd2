#include "geo/file_case.h"

#include <cctype>
#include <string>
#include <system_error>

namespace mornax::geo {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::filesystem::path FindIgnoringCase(const std::filesystem::path& wanted) {
  namespace fs = std::filesystem;
  std::error_code status;
  if (wanted.empty() || fs::exists(wanted, status)) return wanted;
  const fs::path folder = wanted.has_parent_path() ? wanted.parent_path() : fs::path(".");
  const std::string name = Lower(wanted.filename().string());
  fs::path best;
  for (fs::directory_iterator entries(folder, status), end; !status && entries != end;
       entries.increment(status)) {
    const fs::path candidate = entries->path().filename();
    if (Lower(candidate.string()) == name && (best.empty() || candidate < best)) best = candidate;
  }
  if (best.empty()) return wanted;
  return wanted.has_parent_path() ? folder / best : best;
}

}  // namespace mornax::geo
