// The one reader of polygon layers: the polygons a network is clipped to, or
// a map is blanked outside, read from a vector source through GDAL and
// brought into the project's coordinate system.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "geo/node_region.h"

namespace mornax::geo {

// Reads every polygon and multipolygon of the first layer of `source`
// (curves as GDAL straightens them), each as its outer ring and holes. When
// the layer and the project both have a coordinate system and they differ,
// the vertices are transformed into the project's; `note` says so, or says
// that a system is missing. Refuses with `error` naming the source: one GDAL
// cannot open or reads only in part, a layer of other geometries, no polygon
// at all, a vertex that is no finite number (before or after the
// transformation).
bool ReadClipPolygons(const std::string& source, const std::optional<std::string>& projectCrs,
                      std::vector<std::vector<Ring>>& polygons, std::string& note,
                      std::string& error);

// The same reading for another use than the grid's clip (a map's blanking):
// its messages name no option of the grid command.
bool ReadAreaPolygons(const std::string& source, const std::optional<std::string>& projectCrs,
                      std::vector<std::vector<Ring>>& polygons, std::string& note,
                      std::string& error);

}  // namespace mornax::geo
