// Draws one plot: the axes with their ticks, the title and labels, the range
// values and the series of the plot kind; the fitted-model plot adds the
// model curve and a legend. Sizes are in points, so a page shows what the
// screen shows.
#pragma once

#include "gui/plot_geometry.h"
#include "gui/plot_reader.h"

class QPainter;

namespace mornax::gui {

// Marker half-sizes in points.
inline constexpr double kSmallMarkerPoints = 1.0;
inline constexpr double kDataMarkerPoints = 2.5;

// The device units per point of the painter's device.
double DeviceUnitsPerPoint(const QPainter& painter);
// A marker half-size in whole device units, at least 1.
int MarkerHalfSize(double points, double unit);

void PaintPlot(QPainter& painter, const PlotData& data, const PlotGeometry& geometry, int kind);

}  // namespace mornax::gui
