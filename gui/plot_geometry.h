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

// The range over the points; kind 2 adds the model values (and the fitted
// curve from distance 0 past the range) to the y range, kind 3 the network
// nodes to both. The semivariogram plots (kinds 1 and 2) start both axes at
// 0. An empty range (all values equal) is widened around its value so that
// the plot has a finite scale.
WorldRange ComputeWorldRange(const PlotData& data, int kind);

struct PlotGeometry {
  WorldRange range;
  double plotWidth = 500.0;  // the data area in device units
  double plotHeight = 250.0;
  double xScale = 1.0;  // world units per device unit
  double yScale = 1.0;
  int xMargin = 0;    // left of the data area
  int yMargin = 0;    // above it
  double unit = 1.0;  // device units per point

  QPoint ToDevice(double x, double y) const;
};

// Margins and scales for a device of `device` size (the view on screen, the
// page when printing) whose resolution gives `unit` device units per point.
// The margins are a share of the device's size and never less than the
// labels need, so the plot fills the window on screen and on paper alike.
// Kind 3 takes the larger scale on both axes so that the map keeps its
// aspect ratio, and is centred in the area. nullopt when the device has no room at all.
std::optional<PlotGeometry> ComputePlotGeometry(int kind, const WorldRange& range, QSize device,
                                                double unit);

}  // namespace mornax::gui
