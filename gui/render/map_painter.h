// The one drawing routine of the result map. It serves the window, the
// printer, images, SVG and PDF alike: every size is given in points and
// turned into device units by the resolution of the device painted on, so a
// 1200 dpi page shows what the screen shows.
#pragma once

#include <QPointF>
#include <QRectF>

#include "gui/render/map_scene.h"

class QPainter;

namespace mornax::render {

// Which part of the map is shown. Fitted shows the whole extent; otherwise
// `centre` (world) is in the middle of the map area, magnified by `zoom`
// over the fitted scale.
struct MapViewport {
  bool fitted = true;
  double zoom = 1.0;
  QPointF centre;
};

// Where the map lands on the device: one scale for x and y, so a map is
// never stretched.
struct MapLayout {
  QRectF target;             // the whole picture
  QRectF mapArea;            // the frame the map is drawn in
  QRectF available;          // the room for the map (mapArea when zoomed)
  double fittedScale = 1.0;  // the scale at which the whole extent fits
  double scale = 1.0;        // device units per world unit
  QPointF worldCentre;       // world point at the centre of mapArea
  double unit = 1.0;         // device units per point
  bool valid = false;        // false when the picture has no room for a map

  QPointF ToDevice(double x, double y) const;
  QPointF ToWorld(QPointF device) const;
  // The world rectangle visible in mapArea.
  QRectF VisibleWorld() const;
};

// The extent used for scaling: a scene extent with no width or height (one
// point, or points on a line) is widened so that the map has a scale.
QRectF UsableExtent(const QRectF& extent);

MapLayout ComputeMapLayout(QPainter& painter, const MapScene& scene, const QRectF& target,
                           const MapViewport& viewport = {});

// Draws the scene into `target` (device units). The background is left as
// the caller filled it.
MapLayout PaintMap(QPainter& painter, const MapScene& scene, const QRectF& target,
                   const MapViewport& viewport = {});

// Sizes in points.
inline constexpr double kDataMarkerPoints = 3.0;   // side of a data point's square
inline constexpr double kValueMarkerPoints = 6.0;  // diameter of a coloured point
inline constexpr double kContourPenPoints = 0.7;

}  // namespace mornax::render
