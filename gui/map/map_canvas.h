// The result map on screen: draws a scene with the shared map painter and
// adds the interaction, a read-out of the point under the cursor, zoom with
// the mouse wheel, panning by dragging and fitting the map to the window.
#pragma once

#include <QPoint>
#include <QWidget>

#include "gui/render/map_painter.h"
#include "gui/render/map_scene.h"

namespace mornax::gui {

class MapCanvas : public QWidget {
  Q_OBJECT

 public:
  explicit MapCanvas(QWidget* parent = nullptr);

  // Shows a new scene; the zoom and position are kept when the new scene
  // covers the same area, so switching layers does not jump.
  void SetScene(render::MapScene scene);
  const render::MapScene& scene() const { return scene_; }
  const render::MapViewport& viewport() const { return viewport_; }
  const render::MapLayout& layout() const { return layout_; }

  void FitToWindow();
  // Zooms by `factor` keeping the world point under `at` (widget
  // coordinates) in place.
  void ZoomAt(QPointF at, double factor);
  // Moves the map by `delta` device units.
  void PanBy(QPointF delta);

  // The text for the status bar at a widget position: x, y and the value of
  // the nearest data point or of the grid cell or point under the cursor.
  QString ReadOut(QPointF at) const;

  // Draws what the canvas shows into another device (export, clipboard).
  void PaintPicture(QPainter& painter, const QRectF& target) const;

 signals:
  void readOutChanged(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  render::MapScene scene_;
  render::MapViewport viewport_;
  render::MapLayout layout_;  // of the last paint
  bool dragging_ = false;
  QPointF dragLast_;
};

}  // namespace mornax::gui
