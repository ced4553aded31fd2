// What the result map draws, in world coordinates: a colour surface on a
// regular grid or coloured points, contour lines, the data points on top,
// and the texts around them. Filled by the map loader from the project's
// result files, or by a test directly.
#pragma once

#include <optional>
#include <vector>

#include <QImage>
#include <QPointF>
#include <QPolygonF>
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

// One row of the error analysis: a data point estimated from its neighbours.
struct ResidualRow {
  double x = 0.0, y = 0.0, measured = 0.0, estimated = 0.0, error = 0.0;
};

struct ResidualTable {
  std::vector<ResidualRow> rows;
  std::size_t counted = 0;  // rows with a finite error
  double rmse = 0.0;        // root mean square of the errors
  double meanError = 0.0;   // mean of the errors (the bias)
};

// The RMSE and mean error of `rows` (NaN errors left out).
ResidualTable SummariseResiduals(std::vector<ResidualRow> rows);

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
  std::vector<double> dataValues;  // the measured value of each data point; NaN unknown
  std::vector<ContourLine> contours;
  std::optional<ColourScale> scale;
  QRectF extent;      // world area to show (x, y of the lower-left corner, width, height)
  QStringList notes;  // shown below the map: stale results, missing points
  // A mark drawn on the map itself (a stopped run's partial results).
  QString badge;
  // The map's furniture and what is shown of the data points.
  bool showDataPoints = true;
  bool postValues = false;
  bool scaleBar = false;
  bool smoothCells = false;  // interpolated between nodes instead of blocks
  QString crs;               // the coordinate system's name; empty: local coordinates
  QString axisUnit;          // "m", "ft", "deg", ...; empty when unknown
  // The outline of the area outside which the map is blanked (world rings).
  std::vector<QPolygonF> blankingOutline;
  std::optional<ResidualTable> residuals;  // the residual layer's table
  // The layers the project's results hold besides the estimate.
  bool hasStandardError = false;
  bool hasGuess = false;
  // When set nothing can be drawn and the picture shows this text instead.
  QString failure;
  // The grid in colours, one pixel per node, top row first; built once so
  // that zooming and panning only scale it.
  QImage colourImage;
};

// Builds scene.colourImage from the grid and the scale (transparent where a
// node has no value): one pixel per node for blocks; for smooth cells the
// values interpolated bilinearly between nodes at several pixels per cell,
// each pixel then coloured (so classes keep sharp edges).
void BuildColourImage(MapScene& scene);

// A scene that only says why there is no map.
MapScene FailedScene(const QString& title, const QString& failure);

}  // namespace mornax::render
