// A grid layout that takes a raster's cells as its nodes, one at the centre
// of every cell, so that the results line up with the raster cell for cell.
#pragma once

#include <filesystem>
#include <string>

#include "geo/grid_layout.h"

namespace mornax::geo {

// Lays out the cells of `raster` (any format GDAL reads); `crsWkt` gets its
// coordinate system (canonical, empty when it has none). Refuses with
// `error` naming the file: a raster GDAL cannot open, no georeferencing, a
// rotated or sheared raster (its cells are no grid in x and y), and a layout
// CheckLayout refuses.
bool LayOutLikeRaster(const std::filesystem::path& raster, GridLayout& layout, std::string& crsWkt,
                      std::string& error);

}  // namespace mornax::geo
