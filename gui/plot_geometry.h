// The world range of a plot and its mapping to device units.
#pragma once

#include <optional>

#include <QPoint>
#include <QSize>

#include "gui/plot_reader.h"

namespace mornax::gui {

struct WorldRange {
  double xMin = 0.0, xMax = 0.0, yMin = 0.0, yMax = 0.0;
};

// The range over the points; kind 2 adds the model values to the y range,
// kind 3 the network nodes to both. An empty range (all values equal) is
// widened around its value so that the plot has a finite scale.
WorldRange ComputeWorldRange(const PlotData& data, int kind);

struct PlotGeometry {
  WorldRange range;
  double plotWidth = 500.0;
  double plotHeight = 250.0;
  double xScale = 1.0;  // world units per device unit
  double yScale = 1.0;
  int xMargin = 0;
  int yMargin = 0;

  QPoint ToDevice(double x, double y) const;
};

// Margins and scales for a device of `device` size (the view on screen, the
// page when printing). Kind 3 takes the larger scale on both axes so that the
// map keeps its aspect ratio. A device too small for the fixed margins gets
// margins in proportion to its size; nullopt when it has no room at all.
std::optional<PlotGeometry> ComputePlotGeometry(int kind, const WorldRange& range, QSize device,
                                                bool printing);

}  // namespace mornax::gui
