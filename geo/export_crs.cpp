#include "geo/export_crs.h"

#include <cpl_conv.h>
#include <ogr_spatialref.h>

#include <memory>

#include "geo/gdal_handles.h"
#include "geo/gdal_session.h"

namespace mornax::geo {
namespace {

struct SrsReleaser {
  void operator()(OGRSpatialReference* srs) const {
    if (srs != nullptr) srs->Release();
  }
};
using OwnedSrs = std::unique_ptr<OGRSpatialReference, SrsReleaser>;

// Only the confidence GDAL gives an equivalent definition counts: a near
// match would write another system's code over the user's.
constexpr int kFullConfidence = 100;

const char* EpsgCodeOf(const OGRSpatialReference& srs) {
  const char* authority = srs.GetAuthorityName(nullptr);
  if (authority == nullptr || !EQUAL(authority, "EPSG")) return nullptr;
  return srs.GetAuthorityCode(nullptr);
}

}  // namespace

std::string ExportCrs::Describe() const {
  if (empty()) return "no coordinate system";
  return epsgCode.empty() ? name + " (no EPSG code)" : name + " (EPSG:" + epsgCode + ")";
}

bool IdentifyExportCrs(const std::string& wkt, ExportCrs& crs, std::string& error) {
  crs = ExportCrs{};
  if (wkt.empty()) return true;
  EnsureGdal();
  TakeGdalMessage();
  OGRSpatialReference given;
  const char* const noAccess[] = {"ALLOW_NETWORK_ACCESS=NO", "ALLOW_FILE_ACCESS=NO", nullptr};
  if (given.SetFromUserInput(wkt.c_str(), noAccess) != OGRERR_NONE) {
    error = GdalFailure("GDAL cannot use the coordinate system");
    return false;
  }
  const OGRSpatialReference* chosen = &given;
  OwnedSrs match;
  if (EpsgCodeOf(given) == nullptr) {
    match.reset(given.FindBestMatch(kFullConfidence, "EPSG", nullptr));
    if (match != nullptr && EpsgCodeOf(*match) != nullptr) chosen = match.get();
  }
  const char* const wkt2[] = {"FORMAT=WKT2_2019", nullptr};
  char* text = nullptr;
  if (chosen->exportToWkt(&text, wkt2) != OGRERR_NONE || text == nullptr) {
    CPLFree(text);
    error = GdalFailure("GDAL cannot write the coordinate system as WKT");
    return false;
  }
  crs.wkt = text;
  CPLFree(text);
  crs.name = chosen->GetName() != nullptr ? chosen->GetName() : "unnamed coordinate system";
  if (const char* code = EpsgCodeOf(*chosen)) crs.epsgCode = code;
  return true;
}

}  // namespace mornax::geo
