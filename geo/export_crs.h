// The coordinate system an export writes: the project's, identified against
// the EPSG database, so that GeoTIFF keys, GeoPackage rows and a GeoJSON's
// crs member name it by its code and GIS programs recognise it.
#pragma once

#include <string>

namespace mornax::geo {

struct ExportCrs {
  std::string wkt;       // WKT2 with the EPSG code where there is one; empty: no system
  std::string name;      // "Amersfoort / RD New"
  std::string epsgCode;  // "28992"; empty when the database holds no equivalent

  bool empty() const { return wkt.empty(); }
  // "Amersfoort / RD New (EPSG:28992)", or the name alone.
  std::string Describe() const;
};

// Takes the definition `wkt` (any dialect GDAL reads; ESRI WKT carries no
// codes) and, when it has no EPSG code of its own, the EPSG system GDAL
// finds equivalent to it with full confidence. An empty `wkt` gives an empty
// system. False with `error` when GDAL cannot parse the definition.
bool IdentifyExportCrs(const std::string& wkt, ExportCrs& crs, std::string& error);

}  // namespace mornax::geo
