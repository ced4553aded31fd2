#include "geo/project_crs.h"

#include <cpl_conv.h>
#include <ogr_spatialref.h>
#include <cctype>

#include <fstream>
#include <memory>
#include <sstream>
#include <system_error>

#include "geo/file_case.h"
#include "geo/gdal_session.h"
#include "geo/replace_file.h"

namespace mornax::geo {
namespace {

// A definition file larger than this is no coordinate system.
constexpr std::uintmax_t kMostDefinitionBytes = 1 << 20;

// GDAL is told not to fetch URLs or open files named inside a definition:
// files are read here, and only when the user named one.
constexpr const char* kNoAccess[] = {"ALLOW_NETWORK_ACCESS=NO", "ALLOW_FILE_ACCESS=NO", nullptr};

struct CplFree {
  void operator()(char* text) const { CPLFree(text); }
};
using CplText = std::unique_ptr<char, CplFree>;

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

bool HasDefinitionExtension(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".prj" || extension == ".wkt";
}

bool ReadSmallFile(const std::filesystem::path& path, std::string& text, std::string& error) {
  std::error_code status;
  const auto size = std::filesystem::file_size(path, status);
  if (status) {
    error = "cannot read " + path.string() + ": " + status.message();
    return false;
  }
  if (size > kMostDefinitionBytes) {
    error = path.string() + " is too large to be a coordinate system definition";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  if (!in && !in.eof()) {
    error = "cannot read " + path.string();
    return false;
  }
  text = content.str();
  return true;
}

// Parses user input into `srs`, with no file or network access by GDAL.
bool Parse(const std::string& text, OGRSpatialReference& srs) {
  EnsureGdal();
  TakeGdalMessage();
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return !text.empty() && srs.SetFromUserInput(text.c_str(), kNoAccess) == OGRERR_NONE;
}

std::string ExportWkt(const OGRSpatialReference& srs) {
  const char* const esri[] = {"FORMAT=WKT1_ESRI", nullptr};
  char* raw = nullptr;
  if (srs.exportToWkt(&raw, esri) != OGRERR_NONE || raw == nullptr || *raw == '\0') {
    CPLFree(raw);
    raw = nullptr;
    // A system the ESRI dialect cannot express is kept in GDAL's own WKT.
    if (srs.exportToWkt(&raw) != OGRERR_NONE) {
      CPLFree(raw);
      return {};
    }
  }
  const CplText text(raw);
  return text ? std::string(text.get()) : std::string();
}

}  // namespace

std::filesystem::path ProjectCrsPath(const std::filesystem::path& document) {
  std::filesystem::path sidecar = document;
  sidecar.replace_extension(".prj");
  return sidecar;
}

bool CrsToWkt(std::string_view definition, std::string& wkt, std::string& error) {
  const std::string given = Trimmed(definition);
  if (given.empty()) {
    error = "no coordinate system given";
    return false;
  }
  std::string text = given;
  std::string source = "'" + given + "'";
  const std::filesystem::path asFile(given);
  std::error_code status;
  if (std::filesystem::is_regular_file(asFile, status)) {
    if (!ReadSmallFile(asFile, text, error)) return false;
    text = Trimmed(text);
    source = given;
  } else if (HasDefinitionExtension(asFile) && given.find('[') == std::string::npos) {
    error = "cannot read " + given + ": no such file";
    return false;
  }
  OGRSpatialReference srs;
  if (!Parse(text, srs)) {
    const std::string detail = TakeGdalMessage();
    error =
        "GDAL cannot parse the coordinate system " + source + (detail.empty() ? "" : ": ") + detail;
    return false;
  }
  wkt = ExportWkt(srs);
  if (wkt.empty()) {
    error = "GDAL cannot write the coordinate system " + source + " as WKT";
    return false;
  }
  return true;
}

std::optional<std::string> ReadProjectCrs(const std::filesystem::path& document,
                                          std::string& error) {
  error.clear();
  const std::filesystem::path sidecar = FindIgnoringCase(ProjectCrsPath(document));
  std::error_code status;
  if (!std::filesystem::exists(sidecar, status)) return std::nullopt;
  std::string text;
  if (!ReadSmallFile(sidecar, text, error)) return std::nullopt;
  text = Trimmed(text);
  OGRSpatialReference srs;
  if (!Parse(text, srs)) {
    const std::string detail = TakeGdalMessage();
    error = "GDAL cannot parse the coordinate system in " + sidecar.string() +
            (detail.empty() ? "" : ": ") + detail;
    return std::nullopt;
  }
  return text;
}

bool StoreProjectCrs(const std::filesystem::path& document, std::string_view definition,
                     std::string& error) {
  std::string wkt;
  if (!CrsToWkt(definition, wkt, error)) return false;
  ReplacementFile file;
  if (!file.Open(ProjectCrsPath(document), error)) return false;
  file.Write(wkt);
  file.Write("\n");
  return file.Commit(error);
}

bool RemoveProjectCrs(const std::filesystem::path& document, std::string& error) {
  const std::filesystem::path sidecar = FindIgnoringCase(ProjectCrsPath(document));
  std::error_code status;
  if (!std::filesystem::exists(sidecar, status)) return true;
  if (!std::filesystem::remove(sidecar, status)) {
    error = "cannot remove " + sidecar.string() + ": " + status.message();
    return false;
  }
  return true;
}

std::string DescribeCrs(const std::string& wkt) {
  OGRSpatialReference srs;
  if (!Parse(wkt, srs)) return "an unreadable coordinate system";
  std::string name = srs.GetName() != nullptr ? srs.GetName() : "unnamed coordinate system";
  const char* authority = srs.GetAuthorityName(nullptr);
  const char* code = srs.GetAuthorityCode(nullptr);
  if (authority != nullptr && code != nullptr) {
    return name + " (" + authority + ":" + code + ")";
  }
  // ESRI WKT carries no codes; GDAL's database finds the system's own.
  int matches = 0;
  int* confidence = nullptr;
  OGRSpatialReferenceH* found =
      OSRFindMatches(OGRSpatialReference::ToHandle(&srs), nullptr, &matches, &confidence);
  std::string described = name;
  if (found != nullptr && matches > 0 && confidence[0] >= 90) {
    const OGRSpatialReference* best = OGRSpatialReference::FromHandle(found[0]);
    authority = best->GetAuthorityName(nullptr);
    code = best->GetAuthorityCode(nullptr);
    if (authority != nullptr && code != nullptr) {
      const char* bestName = best->GetName();
      described =
          std::string(bestName != nullptr ? bestName : name) + " (" + authority + ":" + code + ")";
    }
  }
  OSRFreeSRSArray(found);
  CPLFree(confidence);
  return described;
}

bool SameCrs(const std::string& a, const std::string& b) {
  OGRSpatialReference first;
  OGRSpatialReference second;
  const bool firstParsed = Parse(a, first);
  const bool secondParsed = Parse(b, second);
  if (!firstParsed || !secondParsed) return firstParsed == secondParsed;
  const char* const criteria[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES",
                                  "CRITERION=EQUIVALENT_EXCEPT_AXIS_ORDER_GEOGCRS", nullptr};
  return first.IsSame(&second, criteria) != 0;
}

}  // namespace mornax::geo
