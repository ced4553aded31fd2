// Blanking: the parts of a map outside an area are left without colour and
// contour lines. The area is the convex hull of the data points or the
// polygons of a layer; rings are taken even-odd, so a polygon's hole is
// outside.
#pragma once

#include <vector>

#include <QPointF>
#include <QPolygonF>

#include "gui/render/map_scene.h"

namespace mornax::render {

// The convex hull of the points, counter-clockwise; empty when the points
// span no area (fewer than three, or all on one line).
QPolygonF ConvexHull(std::vector<QPointF> points);

// True when an odd number of the rings surround `point`.
bool InsideRings(const std::vector<QPolygonF>& rings, QPointF point);

// Sets every node of `grid` outside the rings to NaN (a node on an edge is
// inside); returns how many nodes that were not NaN it blanked. Row by row,
// from the crossings of the rings' edges with the row, so large grids and
// polygons stay quick.
std::size_t BlankGridOutside(GridSurface& grid, const std::vector<QPolygonF>& rings);

// The same for scattered points: their values become NaN.
std::size_t BlankPointsOutside(std::vector<ValuePoint>& points,
                               const std::vector<QPolygonF>& rings);

}  // namespace mornax::render
