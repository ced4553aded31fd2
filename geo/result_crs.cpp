#include "geo/result_crs.h"

#include <cpl_conv.h>
#include <ogr_spatialref.h>

#include <optional>

#include "geo/gdal_handles.h"
#include "geo/gdal_session.h"
#include "geo/project_crs.h"

namespace mornax::geo {

bool ReadResultCrs(const ProjectFiles& files, std::string& wkt, std::string& error) {
  wkt.clear();
  // The one reader of the sidecar; it parses without following file names
  // or URLs a definition may hold.
  const std::optional<std::string> stored =
      ReadProjectCrs(files.folder / (files.base + ".mnx"), error);
  if (!stored) return error.empty();
  EnsureGdal();
  OGRSpatialReference srs;
  const char* const noAccess[] = {"ALLOW_NETWORK_ACCESS=NO", "ALLOW_FILE_ACCESS=NO", nullptr};
  const char* const options[] = {"FORMAT=WKT2_2018", nullptr};
  char* exported = nullptr;
  if (srs.SetFromUserInput(stored->c_str(), noAccess) != OGRERR_NONE ||
      srs.exportToWkt(&exported, options) != OGRERR_NONE || exported == nullptr) {
    CPLFree(exported);
    error = GdalFailure("GDAL cannot use the coordinate system in " +
                        files.Find(".prj").filename().string());
    return false;
  }
  wkt = exported;
  CPLFree(exported);
  return true;
}

}  // namespace mornax::geo
