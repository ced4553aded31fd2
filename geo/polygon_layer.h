// The polygons of a vector source (GeoPackage, Shapefile, GeoJSON, ...) as
// rings of map coordinates, for blanking a map outside an area: a view of
// the one polygon reader (geo/clip_polygons.h) as plain rings. Every ring of
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

// The rings of the polygons ReadAreaPolygons reads (transformed into the
// project's system `projectWkt` where both have one), rings of fewer than
// three vertices left out. False with `error` as that reader refuses: a
// source GDAL cannot open or reads only in part, no layer, a layer of other
// geometries, no polygon, a vertex that is no finite number, a
// transformation that cannot be made.
bool ReadPolygonRings(const std::filesystem::path& source,
                      const std::optional<std::string>& projectWkt, std::vector<PolygonRing>& rings,
                      std::string& error);

}  // namespace mornax::geo
