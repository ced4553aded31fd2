#include "gui/map/map_canvas.h"

#include <cmath>
#include <limits>

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace mornax::gui {
namespace {

constexpr double kWheelStep = 1.25;   // zoom per notch of the wheel
constexpr double kLargestZoom = 1e4;  // past this a map shows single cells
constexpr double kSmallestZoom = 0.1;
constexpr double kPickPoints = 6.0;  // how near a data point the cursor must be

QString Number(double value) {
  if (!std::isfinite(value)) return "no value";
  return QString::number(value, 'g', 8);
}

}  // namespace

MapCanvas::MapCanvas(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setMinimumSize(240, 180);
  setCursor(Qt::CrossCursor);
}

void MapCanvas::SetScene(render::MapScene scene) {
  const bool sameArea = scene.extent == scene_.extent;
  scene_ = std::move(scene);
  if (!sameArea) viewport_ = render::MapViewport{};
  update();
}

void MapCanvas::FitToWindow() {
  viewport_ = render::MapViewport{};
  update();
}

void MapCanvas::ZoomAt(QPointF at, double factor) {
  if (!layout_.valid) return;
  const QPointF world = layout_.ToWorld(at);
  const double zoom =
      std::clamp((viewport_.fitted ? 1.0 : viewport_.zoom) * factor, kSmallestZoom, kLargestZoom);
  const double scale = layout_.fittedScale * zoom;
  const QPointF centre = layout_.available.center();
  viewport_.fitted = false;
  viewport_.zoom = zoom;
  viewport_.centre =
      QPointF(world.x() - (at.x() - centre.x()) / scale, world.y() + (at.y() - centre.y()) / scale);
  // The next paint uses the zoomed layout; keep hover and further zooms
  // consistent until then.
  layout_.mapArea = layout_.available;
  layout_.scale = scale;
  layout_.worldCentre = viewport_.centre;
  update();
}

void MapCanvas::PanBy(QPointF delta) {
  if (!layout_.valid) return;
  if (viewport_.fitted) {
    viewport_ = render::MapViewport{false, 1.0, layout_.worldCentre};
    layout_.mapArea = layout_.available;
  }
  viewport_.centre -= QPointF(delta.x() / layout_.scale, -delta.y() / layout_.scale);
  layout_.worldCentre = viewport_.centre;
  update();
}

QString MapCanvas::ReadOut(QPointF at) const {
  if (!layout_.valid || !layout_.mapArea.contains(at)) return {};
  const QPointF world = layout_.ToWorld(at);
  QString text = QString("x = %1   y = %2").arg(Number(world.x()), Number(world.y()));

  // The nearest data point within reach of the cursor.
  const double reach = kPickPoints * layout_.unit / layout_.scale;
  double best = reach * reach;
  std::size_t nearest = scene_.dataPoints.size();
  for (std::size_t i = 0; scene_.showDataPoints && i < scene_.dataPoints.size(); ++i) {
    const QPointF& p = scene_.dataPoints[i];
    const double d =
        (p.x() - world.x()) * (p.x() - world.x()) + (p.y() - world.y()) * (p.y() - world.y());
    if (d <= best) {
      best = d;
      nearest = i;
    }
  }
  if (nearest < scene_.dataPoints.size()) {
    const QPointF& p = scene_.dataPoints[nearest];
    text += QString("   data point (%1, %2)").arg(Number(p.x()), Number(p.y()));
    if (nearest < scene_.dataValues.size() && std::isfinite(scene_.dataValues[nearest])) {
      text += QString(" measured %1").arg(Number(scene_.dataValues[nearest]));
    }
  }
  if (scene_.grid) {
    const render::GridSurface& grid = *scene_.grid;
    const int col = static_cast<int>(std::floor((world.x() - grid.x0) / grid.dx + 0.5));
    const int row = static_cast<int>(std::floor((world.y() - grid.y0) / grid.dy + 0.5));
    if (col >= 0 && col < grid.cols && row >= 0 && row < grid.rows) {
      text += QString("   %1 = %2").arg(scene_.layerTitle, Number(grid.At(col, row)));
    }
  } else {
    best = reach * reach;
    const render::ValuePoint* point = nullptr;
    for (const render::ValuePoint& p : scene_.valuePoints) {
      const double d =
          (p.x - world.x()) * (p.x - world.x()) + (p.y - world.y()) * (p.y - world.y());
      if (d <= best) {
        best = d;
        point = &p;
      }
    }
    if (point != nullptr)
      text += QString("   %1 = %2").arg(scene_.layerTitle, Number(point->value));
  }
  return text;
}

void MapCanvas::PaintPicture(QPainter& painter, const QRectF& target) const {
  render::PaintMap(painter, scene_, target, viewport_);
}

void MapCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  layout_ = render::PaintMap(painter, scene_, QRectF(rect()), viewport_);
}

void MapCanvas::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches != 0.0) {
    ZoomAt(event->position(), std::pow(kWheelStep, notches));
    // The point under the cursor is another one now.
    emit readOutChanged(ReadOut(event->position()));
  }
  event->accept();
}

void MapCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = true;
  dragLast_ = event->position();
  setCursor(Qt::ClosedHandCursor);
}

void MapCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) {
    PanBy(event->position() - dragLast_);
    dragLast_ = event->position();
  }
  emit readOutChanged(ReadOut(event->position()));
}

void MapCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = false;
  setCursor(Qt::CrossCursor);
}

void MapCanvas::leaveEvent(QEvent*) {
  emit readOutChanged(QString());
}

}  // namespace mornax::gui
