// The texts placed on the map itself: contour labels and the posted values
// of the data points. Each goes where no data point and no other text
// covers it, or is left out.
#pragma once

#include <vector>

#include <QPolygonF>

#include "gui/render/map_painter.h"
#include "gui/render/map_text.h"

namespace mornax::render::detail {

// The squares of the data points inside the map area, as they are drawn.
void AddDataPointMarks(const MapScene& scene, const MapLayout& layout, OccupiedAreas& taken);

// Labels at free places along the longer lines (`polygons` in device units,
// `levels` their levels), on a pale box; a few per level.
void DrawContourLabels(QPainter& painter, const MapScene& scene, const MapLayout& layout,
                       const std::vector<QPolygonF>& polygons, const std::vector<double>& levels,
                       OccupiedAreas& taken);

// Each data point's measured value beside it: right, left, above or below,
// whichever is free first.
void DrawPostedValues(QPainter& painter, const MapScene& scene, const MapLayout& layout,
                      OccupiedAreas& taken);

}  // namespace mornax::render::detail
