// The project's coordinate reference system, stored beside the document as
// PROJECT.crs.wkt: WKT2 text that carries the EPSG identifier of every system
// GDAL's database knows, or the single word "none". No GIS format claims that
// name as a sidecar, so no dataset in the folder can overwrite it (a
// Shapefile PROJECT.shp owns PROJECT.prj). A project without the file has no
// coordinate system.
//
// Projects of earlier versions kept the system as PROJECT.prj, which is still
// read while PROJECT.crs.wkt is absent. Once a Shapefile PROJECT.shp lies
// beside it, that .prj is the Shapefile's too: it is then copied to
// PROJECT.crs.wkt, and never changed or removed here.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "geo/crs_definition.h"

namespace mornax::geo {

// The store of a document: the same folder and base name, ".crs.wkt".
std::filesystem::path ProjectCrsPath(const std::filesystem::path& document);

// The store of earlier versions: the same folder and base name, ".prj".
std::filesystem::path LegacyProjectCrsPath(const std::filesystem::path& document);

struct StoredCrs {
  std::string wkt;             // canonical (CanonicalCrs): WKT2, EPSG identifier where known
  std::filesystem::path file;  // the file it was read from
  std::string note;            // a sentence for the user when the store was moved, else empty
};

// The project's coordinate system, or nothing when the project has none
// (`error` stays empty). A store that cannot be read or that GDAL cannot
// parse also gives nothing, with `error` naming the file and what to do.
std::optional<StoredCrs> ReadProjectCrs(const std::filesystem::path& document, std::string& error);

// Validates `definition` (as CrsToWkt) and stores it, beside and renamed over
// the old store; a PROJECT.prj of earlier versions that no Shapefile shares is
// removed. On any fault the old store stays.
bool StoreProjectCrs(const std::filesystem::path& document, std::string_view definition,
                     std::string& error);

// Leaves the project without a coordinate system. A PROJECT.prj that a
// Shapefile shares stays, with "none" stored so that it is not read as the
// project's; a project without any store is no fault.
bool RemoveProjectCrs(const std::filesystem::path& document, std::string& error);

}  // namespace mornax::geo
