// The coordinate system that exports carry: the project's own (see
// project_crs.h), with the EPSG identifier of every system GDAL's database
// knows, so that GeoTIFF keys and GeoPackage rows name the code.
#pragma once

#include <string>

#include "geo/result_files.h"

namespace mornax::geo {

struct ResultCrs {
  std::string wkt;       // WKT2 with ID["EPSG",...] where identified; empty: no system
  std::string fileName;  // the file it came from ("P.crs.wkt"), empty without a system
  int epsg = 0;          // the EPSG code, 0 when the system has none
  std::string name;      // "Amersfoort / RD New (EPSG:28992)"
};

// The project's coordinate system; an empty `crs.wkt` when the project has
// none. False with `error` naming the file when the store cannot be read or
// GDAL cannot parse it.
bool ReadResultCrs(const ProjectFiles& files, ResultCrs& crs, std::string& error);

// The same, the WKT alone.
bool ReadResultCrs(const ProjectFiles& files, std::string& wkt, std::string& error);

}  // namespace mornax::geo
