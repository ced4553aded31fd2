#include "geo/result_crs.h"

#include <ogr_srs_api.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <type_traits>
#include <vector>

#include "geo/gdal_handles.h"
#include "geo/gdal_session.h"

namespace mornax::geo {
namespace {

struct SrsDestroyer {
  void operator()(OGRSpatialReferenceH srs) const { OSRDestroySpatialReference(srs); }
};
using SrsHandle = std::unique_ptr<std::remove_pointer_t<OGRSpatialReferenceH>, SrsDestroyer>;

}  // namespace

bool ReadResultCrs(const ProjectFiles& files, std::string& wkt, std::string& error) {
  wkt.clear();
  if (!files.Exists(".prj")) return true;
  const std::filesystem::path path = files.Find(".prj");
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in) {
    error = "cannot read the coordinate system file " + path.filename().string();
    return false;
  }
  EnsureGdal();
  SrsHandle srs(OSRNewSpatialReference(nullptr));
  // The sidecar is read as WKT (either dialect) and nothing else: a text
  // naming a file or a URL is never followed.
  const std::string content = text.str();
  char* cursor = const_cast<char*>(content.c_str());  // GDAL only advances the pointer
  bool parsed = srs != nullptr && OSRImportFromWkt(srs.get(), &cursor) == OGRERR_NONE;
  if (!parsed && srs != nullptr) {
    // The older ESRI .prj form: keyword lines ("Projection UTM", "Zone 33").
    std::vector<std::string> lines;
    std::istringstream split(content);
    for (std::string line; std::getline(split, line);) lines.push_back(line);
    std::vector<char*> pointers;
    for (std::string& line : lines) pointers.push_back(line.data());
    pointers.push_back(nullptr);
    parsed = !lines.empty() && OSRImportFromESRI(srs.get(), pointers.data()) == OGRERR_NONE;
  }
  if (!parsed) {
    error = GdalFailure("GDAL cannot parse the coordinate system in " + path.filename().string());
    return false;
  }
  char* exported = nullptr;
  const char* options[] = {"FORMAT=WKT2_2018", nullptr};
  if (OSRExportToWktEx(srs.get(), &exported, options) != OGRERR_NONE || exported == nullptr) {
    CPLFree(exported);
    error = GdalFailure("GDAL cannot use the coordinate system in " + path.filename().string());
    return false;
  }
  wkt = exported;
  CPLFree(exported);
  return true;
}

}  // namespace mornax::geo
