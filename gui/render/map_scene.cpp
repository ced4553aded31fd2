#include "gui/render/map_scene.h"

namespace mornax::render {

void BuildColourImage(MapScene& scene) {
  scene.colourImage = QImage();
  if (!scene.grid || !scene.scale || scene.grid->cols < 1 || scene.grid->rows < 1) return;
  const GridSurface& grid = *scene.grid;
  QImage image(grid.cols, grid.rows, QImage::Format_ARGB32);
  for (int row = 0; row < grid.rows; ++row) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(grid.rows - 1 - row));
    for (int col = 0; col < grid.cols; ++col) line[col] = scene.scale->ColourOf(grid.At(col, row));
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
