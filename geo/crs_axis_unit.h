// The unit of a coordinate system's axes, as a map writes it beside its
// coordinates.
#pragma once

#include <string>

namespace mornax::geo {

// "m", "km", "ft", "US ft", "deg", or the unit's own name; empty when the text
// names no system GDAL can parse.
std::string CrsAxisUnit(const std::string& wkt);

}  // namespace mornax::geo
