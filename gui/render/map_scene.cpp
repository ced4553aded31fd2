#include "gui/render/map_scene.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mornax::render {
namespace {

// A smooth image has at most this many pixels on its longer side.
constexpr int kSmoothSide = 2048;
constexpr int kMostSmoothFactor = 16;

// The value at a fractional node position (u along x, v along y, both in
// node units), bilinear between the four nodes around it; the nodes without
// a value are left out.
double Sample(const GridSurface& grid, double u, double v) {
  u = std::clamp(u, 0.0, static_cast<double>(grid.cols - 1));
  v = std::clamp(v, 0.0, static_cast<double>(grid.rows - 1));
  const int c0 = std::min(static_cast<int>(u), std::max(0, grid.cols - 2));
  const int r0 = std::min(static_cast<int>(v), std::max(0, grid.rows - 2));
  const int c1 = std::min(c0 + 1, grid.cols - 1);
  const int r1 = std::min(r0 + 1, grid.rows - 1);
  const double fu = u - c0;
  const double fv = v - r0;
  // The bilinear weights of the nodes that have a value, made to add up to
  // one again: a node without a value leaves its neighbours to fill in.
  const double values[4] = {grid.At(c0, r0), grid.At(c1, r0), grid.At(c0, r1), grid.At(c1, r1)};
  const double weights[4] = {(1 - fu) * (1 - fv), fu * (1 - fv), (1 - fu) * fv, fu * fv};
  double sum = 0.0, total = 0.0;
  for (int k = 0; k < 4; ++k) {
    if (std::isnan(values[k])) continue;
    sum += values[k] * weights[k];
    total += weights[k];
  }
  return total > 0.0 ? sum / total : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace

ResidualTable SummariseResiduals(std::vector<ResidualRow> rows) {
  ResidualTable table;
  table.rows = std::move(rows);
  double sum = 0.0, squares = 0.0;
  for (const ResidualRow& row : table.rows) {
    if (!std::isfinite(row.error)) continue;
    ++table.counted;
    sum += row.error;
    squares += row.error * row.error;
  }
  if (table.counted > 0) {
    table.meanError = sum / static_cast<double>(table.counted);
    table.rmse = std::sqrt(squares / static_cast<double>(table.counted));
  }
  return table;
}

void BuildColourImage(MapScene& scene) {
  scene.colourImage = QImage();
  if (!scene.grid || !scene.scale || scene.grid->cols < 1 || scene.grid->rows < 1) return;
  const GridSurface& grid = *scene.grid;
  const int factor = scene.smoothCells ? std::clamp(kSmoothSide / std::max(grid.cols, grid.rows), 1,
                                                    kMostSmoothFactor)
                                       : 1;
  QImage image(grid.cols * factor, grid.rows * factor, QImage::Format_ARGB32);
  if (image.isNull()) return;
  for (int y = 0; y < image.height(); ++y) {
    // Image rows run from the top; grid rows from the bottom.
    const double v = (image.height() - 1 - y + 0.5) / factor - 0.5;
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const double value =
          factor == 1 ? grid.At(x, grid.rows - 1 - y) : Sample(grid, (x + 0.5) / factor - 0.5, v);
      line[x] = scene.scale->ColourOf(value);
    }
  }
  scene.colourImage = std::move(image);
}

MapScene FailedScene(const QString& title, const QString& failure) {
  MapScene scene;
  scene.title = title;
  scene.failure = failure;
  return scene;
}

}  // namespace mornax::render
