// The polygons of a vector source (GeoPackage, Shapefile, GeoJSON, ...) as
// rings of map coordinates, for blanking a map outside an area. Every ring of
// every polygon of the first layer is kept; a point lies inside the area when
// an odd number of rings surround it, so holes stay holes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mornax::geo {

struct PolygonRing {
  std::vector<double> x, y;  // closed or not; the last point joins the first
};

// Reads the polygon and multipolygon features of the first layer of
// `source`. When the layer and the project (`projectWkt`) both have a
// coordinate system and they differ, the rings are transformed into the
// project's. False with `error` naming the source when GDAL cannot open it,
// it has no layer, a transformation cannot be made, or it holds no polygon.
bool ReadPolygonRings(const std::filesystem::path& source,
                      const std::optional<std::string>& projectWkt, std::vector<PolygonRing>& rings,
                      std::string& error);

}  // namespace mornax::geo
