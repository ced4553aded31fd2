// Contour lines of a gridded surface, traced by GDAL's contour generator, as
// polylines with their level: for vector export and for drawing alike.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "geo/regular_grid.h"

namespace mornax::geo {

struct ContourPoint {
  double x = 0.0;
  double y = 0.0;
};

struct ContourLine {
  double level = 0.0;
  std::vector<ContourPoint> points;  // in map coordinates
};

// Traces the lines of `values` (one per cell of `grid`, row 0 at the top, NaN
// for nodata) at each of `levels`. Lines run to the raster's outer edge (GDAL
// carries the edge values over the outer half cell); nodata cells break them. Returns false with
// `error` when GDAL fails.
bool TraceContours(std::span<const double> values, const RegularGrid& grid,
                   std::span<const double> levels, std::vector<ContourLine>& lines,
                   std::string& error);

}  // namespace mornax::geo
