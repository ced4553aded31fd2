#include "geo/project_crs.h"

#include <cctype>
#include <system_error>

#include "geo/file_case.h"
#include "geo/replace_file.h"

namespace mornax::geo {
namespace {

// What the store holds for a project that was told to have no system.
constexpr std::string_view kNoneMark = "none";

std::filesystem::path WithSuffix(const std::filesystem::path& document, std::string_view suffix) {
  std::filesystem::path path = document;
  path.replace_extension();
  path += std::string(suffix);
  return path;
}

bool Exists(const std::filesystem::path& path) {
  std::error_code status;
  return std::filesystem::exists(path, status);
}

bool IsNoneMark(const std::string& text) {
  if (text.size() != kNoneMark.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != kNoneMark[i]) return false;
  }
  return true;
}

// The PROJECT.prj of earlier versions, when there is one.
std::optional<std::filesystem::path> LegacyStore(const std::filesystem::path& document) {
  const std::filesystem::path legacy = FindIgnoringCase(LegacyProjectCrsPath(document));
  if (!Exists(legacy)) return std::nullopt;
  return legacy;
}

// True when a Shapefile named like the document owns its PROJECT.prj.
bool ShapefileOwnsLegacy(const std::filesystem::path& document) {
  return Exists(FindIgnoringCase(WithSuffix(document, ".shp")));
}

bool WriteStore(const std::filesystem::path& document, std::string_view text, std::string& error) {
  ReplacementFile file;
  if (!file.Open(FindIgnoringCase(ProjectCrsPath(document)), error)) return false;
  file.Write(text);
  file.Write("\n");
  return file.Commit(error);
}

// Canonical WKT laid out over several lines, for a person who opens the file.
std::string StoredText(const std::string& wkt) {
  OGRSpatialReference srs;
  ParseCrs(wkt, srs);
  return CrsWkt(srs, true);
}

std::string FixHint(const std::filesystem::path& document) {
  const std::string name = document.filename().string();
  return "set the system again with mornax-batch crs " + name + " EPSG:NNNN (or none)";
}

}  // namespace

std::filesystem::path ProjectCrsPath(const std::filesystem::path& document) {
  return WithSuffix(document, ".crs.wkt");
}

std::filesystem::path LegacyProjectCrsPath(const std::filesystem::path& document) {
  return WithSuffix(document, ".prj");
}

std::optional<StoredCrs> ReadProjectCrs(const std::filesystem::path& document, std::string& error) {
  error.clear();
  StoredCrs stored;
  stored.file = FindIgnoringCase(ProjectCrsPath(document));
  const bool legacy = !Exists(stored.file);
  if (legacy) {
    const auto old = LegacyStore(document);
    if (!old) return std::nullopt;
    stored.file = *old;
  }
  std::string text;
  if (!ReadCrsFile(stored.file, text, error)) {
    error += ": " + FixHint(document);
    return std::nullopt;
  }
  if (!legacy && IsNoneMark(text)) return std::nullopt;
  std::string detail;
  if (text.empty() || !CanonicalCrs(text, stored.wkt, detail)) {
    error = (text.empty() ? stored.file.string() + " is empty"
                          : "GDAL cannot parse the coordinate system in " + stored.file.string() +
                                (detail.empty() ? "" : " (" + detail + ")")) +
            ": " + FixHint(document);
    return std::nullopt;
  }
  if (legacy && ShapefileOwnsLegacy(document)) {
    // The Shapefile may be rewritten with another system at any time: the
    // project keeps its own copy from now on.
    const std::string name = stored.file.filename().string();
    std::string ignored;
    if (WriteStore(document, StoredText(stored.wkt), ignored)) {
      const std::string moved = ProjectCrsPath(document).filename().string();
      stored.note = name +
                    " is also the .prj of a Shapefile; the project's coordinate system now " +
                    "lives in " + moved + " (" + name + " is left to the Shapefile)";
      stored.file = FindIgnoringCase(ProjectCrsPath(document));
    }
  }
  return stored;
}

bool StoreProjectCrs(const std::filesystem::path& document, std::string_view definition,
                     std::string& error) {
  std::string wkt;
  if (!CrsToWkt(definition, wkt, error)) return false;
  if (!WriteStore(document, StoredText(wkt), error)) return false;
  // The store of earlier versions is superseded; one a Shapefile shares is
  // the Shapefile's and stays.
  const auto legacy = LegacyStore(document);
  std::error_code status;
  if (legacy && !ShapefileOwnsLegacy(document)) std::filesystem::remove(*legacy, status);
  return true;
}

bool RemoveProjectCrs(const std::filesystem::path& document, std::string& error) {
  const auto legacy = LegacyStore(document);
  if (legacy && ShapefileOwnsLegacy(document)) return WriteStore(document, kNoneMark, error);
  std::error_code status;
  for (const std::filesystem::path& store :
       {FindIgnoringCase(ProjectCrsPath(document)), legacy.value_or(std::filesystem::path())}) {
    if (store.empty() || !Exists(store)) continue;
    if (!std::filesystem::remove(store, status)) {
      error = "cannot remove " + store.string() + ": " + status.message();
      return false;
    }
  }
  return true;
}

}  // namespace mornax::geo
