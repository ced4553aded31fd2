// What the result map draws, in world coordinates: a colour surface on a
// regular grid or coloured points, contour lines, the data points on top,
// and the texts around them. Filled by the map loader from the project's
// result files, or by a test directly.
#pragma once

#include <optional>
#include <vector>

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include "gui/render/colour_scale.h"

namespace mornax::render {

// Values on the nodes of a regular grid. Row r lies at y0 + r * dy and
// column c at x0 + c * dx (node = cell centre); dx and dy are positive.
struct GridSurface {
  int cols = 0;
  int rows = 0;
  double x0 = 0.0, y0 = 0.0;
  double dx = 1.0, dy = 1.0;
  std::vector<double> values;  // rows * cols, row by row; NaN where missing

  double At(int col, int row) const {
    return values[static_cast<std::size_t>(row) * static_cast<std::size_t>(cols) +
                  static_cast<std::size_t>(col)];
  }
  // The area the cells cover (node +- half a spacing).
  QRectF CellExtent() const { return {x0 - dx / 2, y0 - dy / 2, cols * dx, rows * dy}; }
};

struct ValuePoint {
  double x = 0.0, y = 0.0, value = 0.0;
};

struct ContourLine {
  double level = 0.0;
  std::vector<QPointF> points;
};

struct MapScene {
  QString title;       // the project's title line
  QString layerTitle;  // what the colours show ("Estimate", "Residual Z*-Z", ...)
  std::optional<GridSurface> grid;
  std::vector<ValuePoint> valuePoints;  // a scattered network, or residuals at data points
  std::vector<QPointF> dataPoints;
  std::vector<ContourLine> contours;
  std::optional<ColourScale> scale;
  QRectF extent;      // world area to show (x, y of the lower-left corner, width, height)
  QStringList notes;  // shown below the map: stale results, missing points
  // When set nothing can be drawn and the picture shows this text instead.
  QString failure;
  // The grid in colours, one pixel per node, top row first; built once so
  // that zooming and panning only scale it.
  QImage colourImage;
};

// Builds scene.colourImage from the grid and the scale (transparent where a
// node has no value).
void BuildColourImage(MapScene& scene);

// A scene that only says why there is no map.
MapScene FailedScene(const QString& title, const QString& failure);

}  // namespace mornax::render
