// Draws one plot: the axes, the title and labels, the range values and the
// series of the plot kind.
#pragma once

#include "gui/plot_geometry.h"
#include "gui/plot_reader.h"

class QPainter;

namespace mornax::gui {

// Marker half-sizes in device units.
inline constexpr int kSmallMarker = 1;
inline constexpr int kDataMarker = 3;

void PaintPlot(QPainter& painter, const PlotData& data, const PlotGeometry& geometry, int kind,
               bool printing);

}  // namespace mornax::gui
