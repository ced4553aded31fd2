#include "geo/crs_definition.h"

#include <cpl_conv.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <system_error>

#include "geo/gdal_session.h"

namespace mornax::geo {
namespace {

// A definition file larger than this is no coordinate system.
constexpr std::uintmax_t kMostDefinitionBytes = 1 << 20;

// Identification takes only what GDAL's database matches without doubt.
constexpr int kFullConfidence = 100;

// GDAL is told not to fetch URLs or open files named inside a definition:
// files are read here, and only when the user named one.
constexpr const char* kNoAccess[] = {"ALLOW_NETWORK_ACCESS=NO", "ALLOW_FILE_ACCESS=NO", nullptr};

constexpr const char* kGiveInstead =
    "give EPSG:NNNN (for example EPSG:28992), a .prj or .wkt file, or WKT text";

struct CplFree {
  void operator()(void* data) const { CPLFree(data); }
};

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

bool AllDigits(const std::string& text) {
  return !text.empty() && text.size() <= 9 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool HasEpsgIdentifier(const OGRSpatialReference& srs) {
  const char* authority = srs.GetAuthorityName(nullptr);
  return authority != nullptr && EQUAL(authority, "EPSG") &&
         srs.GetAuthorityCode(nullptr) != nullptr;
}

// "did you mean EPSG:28992 (Amersfoort / RD New)?" for a bare number.
std::string BareNumberAnswer(const std::string& number) {
  OGRSpatialReference srs;
  TakeGdalMessage();
  const bool known = srs.importFromEPSG(std::stoi(number)) == OGRERR_NONE;
  TakeGdalMessage();
  if (!known) {
    return "'" + number + "' is no coordinate system, and EPSG knows no system " + number + ": " +
           kGiveInstead;
  }
  const char* name = srs.GetName();
  return "'" + number + "' alone is no coordinate system: did you mean EPSG:" + number +
         (name != nullptr ? " (" + std::string(name) + ")" : std::string()) +
         "? Give it as EPSG:" + number;
}

}  // namespace

bool ParseCrs(const std::string& text, OGRSpatialReference& srs) {
  EnsureGdal();
  TakeGdalMessage();
  srs.Clear();
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return !text.empty() && srs.SetFromUserInput(text.c_str(), kNoAccess) == OGRERR_NONE;
}

bool IdentifyCrs(OGRSpatialReference& srs) {
  if (HasEpsgIdentifier(srs)) return true;
  int matches = 0;
  int* confidence = nullptr;
  OGRSpatialReferenceH* found =
      OSRFindMatches(OGRSpatialReference::ToHandle(&srs), nullptr, &matches, &confidence);
  const std::unique_ptr<int, CplFree> confidenceOwner(confidence);
  bool identified = false;
  // Only a single match at full confidence is taken: two would be a guess.
  const int certain =
      static_cast<int>(std::count_if(confidence, confidence + (found != nullptr ? matches : 0),
                                     [](int value) { return value >= kFullConfidence; }));
  if (certain == 1 && confidence[0] >= kFullConfidence) {
    const OGRSpatialReference* best = OGRSpatialReference::FromHandle(found[0]);
    if (HasEpsgIdentifier(*best)) {
      srs = *best;
      srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
      identified = true;
    }
  }
  OSRFreeSRSArray(found);
  TakeGdalMessage();
  return identified;
}

std::string CrsWkt(const OGRSpatialReference& srs, bool multiline) {
  const char* const options[] = {"FORMAT=WKT2_2019", multiline ? "MULTILINE=YES" : "MULTILINE=NO",
                                 nullptr};
  char* raw = nullptr;
  const bool written = srs.exportToWkt(&raw, options) == OGRERR_NONE;
  const std::unique_ptr<char, CplFree> text(raw);
  return written && text ? std::string(text.get()) : std::string();
}

bool CanonicalCrs(const std::string& text, std::string& wkt, std::string& error) {
  OGRSpatialReference srs;
  if (!ParseCrs(text, srs)) {
    error = TakeGdalMessage();
    return false;
  }
  IdentifyCrs(srs);
  wkt = CrsWkt(srs);
  if (wkt.empty()) {
    error = TakeGdalMessage();
    return false;
  }
  return true;
}

bool ReadCrsFile(const std::filesystem::path& path, std::string& text, std::string& error) {
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
  if (!in || (in.fail() && !in.eof())) {
    error = "cannot read " + path.string();
    return false;
  }
  text = Trimmed(content.str());
  return true;
}

bool CrsToWkt(std::string_view definition, std::string& wkt, std::string& error) {
  const std::string given = Trimmed(definition);
  if (given.empty()) {
    error = std::string("no coordinate system given: ") + kGiveInstead;
    return false;
  }
  std::string text = given;
  std::string source = "'" + given + "'";
  const std::filesystem::path asFile(given);
  std::error_code status;
  if (std::filesystem::is_regular_file(asFile, status)) {
    if (!ReadCrsFile(asFile, text, error)) return false;
    source = given;
  } else if (HasDefinitionExtension(asFile) && given.find('[') == std::string::npos) {
    error = "cannot read " + given + ": no such file";
    return false;
  } else if (AllDigits(given)) {
    error = BareNumberAnswer(given);
    return false;
  }
  std::string detail;
  if (!CanonicalCrs(text, wkt, detail)) {
    error = "GDAL cannot parse the coordinate system " + source +
            (detail.empty() ? "" : " (" + detail + ")") + ": " + kGiveInstead;
    return false;
  }
  return true;
}

std::string DescribeCrs(const std::string& wkt) {
  OGRSpatialReference srs;
  if (!ParseCrs(wkt, srs)) return "an unreadable coordinate system";
  const char* name = srs.GetName();
  return std::string(name != nullptr ? name : "unnamed coordinate system") +
         (HasEpsgIdentifier(srs) ? " (EPSG:" + std::string(srs.GetAuthorityCode(nullptr)) + ")"
                                 : std::string(" (no EPSG code)"));
}

int EpsgCode(const std::string& wkt) {
  OGRSpatialReference srs;
  if (!ParseCrs(wkt, srs) || !HasEpsgIdentifier(srs)) return 0;
  return std::atoi(srs.GetAuthorityCode(nullptr));
}

bool IsProjectedCrs(const std::string& wkt) {
  OGRSpatialReference srs;
  return ParseCrs(wkt, srs) && srs.IsProjected() != 0;
}

bool IsGeographicCrs(const std::string& wkt) {
  OGRSpatialReference srs;
  return ParseCrs(wkt, srs) && srs.IsGeographic() != 0;
}

bool SameCrs(const std::string& a, const std::string& b) {
  OGRSpatialReference first;
  OGRSpatialReference second;
  const bool firstParsed = ParseCrs(a, first);
  const bool secondParsed = ParseCrs(b, second);
  if (!firstParsed || !secondParsed) return firstParsed == secondParsed;
  const char* const criteria[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES",
                                  "CRITERION=EQUIVALENT_EXCEPT_AXIS_ORDER_GEOGCRS", nullptr};
  return first.IsSame(&second, criteria) != 0;
}

std::unique_ptr<OGRCoordinateTransformation> MakeCrsTransformation(const std::string& from,
                                                                   const std::string& to,
                                                                   std::string& error) {
  OGRSpatialReference source;
  OGRSpatialReference target;
  if (!ParseCrs(from, source) || !ParseCrs(to, target)) {
    error = "GDAL cannot parse " + DescribeCrs(ParseCrs(from, source) ? to : from);
    return nullptr;
  }
  std::unique_ptr<OGRCoordinateTransformation> transformation(
      OGRCreateCoordinateTransformation(&source, &target));
  if (!transformation) {
    const std::string detail = TakeGdalMessage();
    error = "GDAL cannot transform from " + DescribeCrs(from) + " to " + DescribeCrs(to) +
            (detail.empty() ? "" : ": " + detail);
  }
  return transformation;
}

}  // namespace mornax::geo
