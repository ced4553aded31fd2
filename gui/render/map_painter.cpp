#include "gui/render/map_painter.h"

#include <algorithm>
#include <cmath>

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "gui/render/map_furniture.h"
#include "gui/render/map_labels.h"
#include "gui/render/map_text.h"

namespace mornax::render {

using namespace detail;

namespace {

constexpr double kMinimumMapSide = 20.0;
constexpr double kFramePadding = 5.0;
// Above this many points a marker is a plain square: drawing circles with
// smooth edges would make large networks slow to draw.
constexpr std::size_t kManyPoints = 20000;
// Points whose squares would cover more than 1/kDenseCover of the map are
// drawn as dots of this opacity.
constexpr double kDenseCover = 4.0;
constexpr int kDenseAlpha = 110;
// The buckets of the occupied-area lookup, in points.
constexpr double kBucketPoints = 24.0;

void DrawFailure(QPainter& painter, const QRectF& area, const QString& text, double unit) {
  painter.setFont(MakeFont(kLabelPoints + 2, false));
  painter.setPen(Qt::black);
  painter.drawText(area.adjusted(kOuterMargin * unit, 0, -kOuterMargin * unit, 0),
                   Qt::AlignCenter | Qt::TextWordWrap, text);
}

void DrawColourImage(QPainter& painter, const MapScene& scene, const MapLayout& layout) {
  if (!scene.grid || scene.colourImage.isNull()) return;
  const GridSurface& grid = *scene.grid;
  const QRectF cells = grid.CellExtent();
  const QRectF shown = cells.intersected(layout.VisibleWorld());
  if (shown.isEmpty()) return;
  // Only the image part that is visible, in whole pixels.
  const double left = std::floor((shown.left() - cells.left()) / grid.dx);
  const double right = std::ceil((shown.right() - cells.left()) / grid.dx);
  const double bottom = std::floor((shown.top() - cells.top()) / grid.dy);
  const double top = std::ceil((shown.bottom() - cells.top()) / grid.dy);
  // A smooth image holds several pixels per cell.
  const int factor = std::max(1, scene.colourImage.width() / std::max(1, grid.cols));
  const QRect source(static_cast<int>(left) * factor, (grid.rows - static_cast<int>(top)) * factor,
                     static_cast<int>(right - left) * factor,
                     static_cast<int>(top - bottom) * factor);
  const QPointF topLeft =
      layout.ToDevice(cells.left() + left * grid.dx, cells.top() + top * grid.dy);
  const QPointF bottomRight =
      layout.ToDevice(cells.left() + right * grid.dx, cells.top() + bottom * grid.dy);
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(QRectF(topLeft, bottomRight), scene.colourImage, source);
  painter.restore();
}

void DrawValuePoints(QPainter& painter, const MapScene& scene, const MapLayout& layout) {
  if (scene.valuePoints.empty() || !scene.scale) return;
  const bool many = scene.valuePoints.size() > kManyPoints;
  const double size = (many ? kValueMarkerPoints / 2 : kValueMarkerPoints) * layout.unit;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, !many);
  painter.setPen(many ? QPen(Qt::NoPen) : QPen(QColor(60, 60, 60), 0.4 * layout.unit));
  const QRectF visible = layout.mapArea.adjusted(-size, -size, size, size);
  const bool sizedByValue =
      scene.scale->kind() == ColourMapKind::kDiverging && !scene.scale->isConstant() && !many;
  for (const ValuePoint& p : scene.valuePoints) {
    const QPointF at = layout.ToDevice(p.x, p.y);
    if (!visible.contains(at)) continue;
    const QRgb colour = scene.scale->ColourOf(p.value);
    if (qAlpha(colour) == 0) {
      // A point without a value: an open grey ring.
      painter.setBrush(Qt::NoBrush);
    } else {
      painter.setBrush(QColor(colour));
    }
    // Residuals: the larger the error, the larger the point as well.
    double side = size;
    if (sizedByValue && std::isfinite(p.value)) {
      side = size * (0.6 + 0.8 * std::min(1.0, std::abs(p.value) / scene.scale->high()));
    }
    const QRectF box(at.x() - side / 2, at.y() - side / 2, side, side);
    if (many) {
      painter.fillRect(box, QColor(colour));
    } else {
      painter.drawEllipse(box);
    }
  }
  painter.restore();
}

std::vector<QPolygonF> ContourPolygons(const MapScene& scene, const MapLayout& layout,
                                       std::vector<double>& levels) {
  std::vector<QPolygonF> polygons;
  polygons.reserve(scene.contours.size());
  for (const ContourLine& line : scene.contours) {
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(line.points.size()));
    for (const QPointF& p : line.points) polygon << layout.ToDevice(p.x(), p.y());
    polygons.push_back(std::move(polygon));
    levels.push_back(line.level);
  }
  return polygons;
}

void DrawContourLines(QPainter& painter, const std::vector<QPolygonF>& polygons,
                      const MapLayout& layout) {
  if (polygons.empty()) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  QPen pen(QColor(20, 20, 20, 220), kContourPenPoints * layout.unit);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter.setPen(pen);
  for (const QPolygonF& polygon : polygons) painter.drawPolyline(polygon);
  painter.restore();
}

void ClipToOutline(QPainter& painter, const MapScene& scene, const MapLayout& layout) {
  if (scene.blankingOutline.empty()) return;
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  for (const QPolygonF& ring : scene.blankingOutline) {
    QPolygonF device;
    for (const QPointF& p : ring) device << layout.ToDevice(p.x(), p.y());
    path.addPolygon(device);
    path.closeSubpath();
  }
  painter.setClipPath(path, Qt::IntersectClip);
}

// True when the data points' squares would cover much of the map: they are
// then drawn as faint dots so that the surface stays visible.
bool DensePoints(const MapScene& scene, const MapLayout& layout) {
  const double side = (kDataMarkerPoints + 1.0) * layout.unit;
  std::size_t visible = 0;
  for (const QPointF& p : scene.dataPoints) {
    if (layout.mapArea.contains(layout.ToDevice(p.x(), p.y()))) ++visible;
  }
  const double area = layout.mapArea.width() * layout.mapArea.height();
  return static_cast<double>(visible) * side * side * kDenseCover > area;
}

// Many points on a raster device: stamped straight into an image the size
// of the map area and drawn in one go, as 10^5 separate squares would make
// every redraw slow. Vector devices (PDF, SVG) get real squares.
bool StampDataPoints(QPainter& painter, const MapScene& scene, const MapLayout& layout) {
  const QPaintEngine* engine = painter.paintEngine();
  if (engine == nullptr || engine->type() != QPaintEngine::Raster ||
      !painter.transform().isIdentity() || scene.dataPoints.size() < kManyPoints) {
    return false;
  }
  const QRect area = layout.mapArea.toAlignedRect();
  QImage stamp(area.size(), QImage::Format_ARGB32_Premultiplied);
  if (stamp.isNull()) return false;
  stamp.fill(Qt::transparent);
  const bool dense = DensePoints(scene, layout);
  const int half = std::max(1, static_cast<int>(std::lround(kDataMarkerPoints * layout.unit / 2)));
  const int edge = std::max(1, static_cast<int>(std::lround(0.5 * layout.unit)));
  for (const bool outline : {true, false}) {
    if (dense && outline) continue;
    // A dense cloud: one faint pixel per point (premultiplied black).
    const int reach = dense ? 1 : outline ? half + edge : half;
    const QRgb colour = dense     ? qRgba(0, 0, 0, kDenseAlpha)
                        : outline ? qRgba(255, 255, 255, 255)
                                  : qRgba(0, 0, 0, 255);
    for (const QPointF& p : scene.dataPoints) {
      const QPointF at = layout.ToDevice(p.x(), p.y()) - QPointF(area.topLeft());
      const int cx = static_cast<int>(std::floor(at.x()));
      const int cy = static_cast<int>(std::floor(at.y()));
      const int x0 = std::max(0, dense ? cx : cx - reach);
      const int x1 = std::min(stamp.width() - 1, cx + reach - 1);
      const int y0 = std::max(0, dense ? cy : cy - reach);
      const int y1 = std::min(stamp.height() - 1, cy + reach - 1);
      for (int y = y0; y <= y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(stamp.scanLine(y));
        for (int x = x0; x <= x1; ++x) line[x] = colour;
      }
    }
  }
  painter.drawImage(area.topLeft(), stamp);
  return true;
}

void DrawDataPoints(QPainter& painter, const MapScene& scene, const MapLayout& layout) {
  if (scene.dataPoints.empty() || StampDataPoints(painter, scene, layout)) return;
  const bool dense = DensePoints(scene, layout);
  const double side = (dense ? 0.5 : kDataMarkerPoints) * layout.unit;
  const double edge = dense ? 0.0 : 0.5 * layout.unit;
  const QRectF visible = layout.mapArea.adjusted(-side, -side, side, side);
  QList<QRectF> outlines, marks;
  for (const QPointF& p : scene.dataPoints) {
    const QPointF at = layout.ToDevice(p.x(), p.y());
    if (!visible.contains(at)) continue;
    const double s = side + 2 * edge;
    outlines.append(QRectF(at.x() - s / 2, at.y() - s / 2, s, s));
    marks.append(QRectF(at.x() - side / 2, at.y() - side / 2, side, side));
  }
  // White under black so that points stay visible on dark colours.
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  if (!dense) {
    painter.setBrush(Qt::white);
    painter.drawRects(outlines);
  }
  painter.setBrush(dense ? QColor(0, 0, 0, kDenseAlpha) : QColor(Qt::black));
  painter.drawRects(marks);
  painter.restore();
}

}  // namespace

QPointF MapLayout::ToDevice(double x, double y) const {
  return {mapArea.center().x() + (x - worldCentre.x()) * scale,
          mapArea.center().y() - (y - worldCentre.y()) * scale};
}

QPointF MapLayout::ToWorld(QPointF device) const {
  return {worldCentre.x() + (device.x() - mapArea.center().x()) / scale,
          worldCentre.y() - (device.y() - mapArea.center().y()) / scale};
}

QRectF MapLayout::VisibleWorld() const {
  const QPointF a = ToWorld(mapArea.bottomLeft());
  const QPointF b = ToWorld(mapArea.topRight());
  return {a.x(), a.y(), b.x() - a.x(), b.y() - a.y()};
}

QRectF UsableExtent(const QRectF& extent) {
  QRectF usable = extent.normalized();
  const double w = usable.width();
  const double h = usable.height();
  if (w > 0.0 && h > 0.0) return usable;
  // One point: a square around it; a line: as wide as it is long.
  double side = std::max(w, h);
  if (!(side > 0.0))
    side = std::max(1.0, std::max(std::abs(usable.x()), std::abs(usable.y())) * 0.1);
  const QPointF centre = usable.center();
  return {centre.x() - std::max(w, side) / 2, centre.y() - std::max(h, side) / 2, std::max(w, side),
          std::max(h, side)};
}

MapLayout ComputeMapLayout(QPainter& painter, const MapScene& scene, const QRectF& target,
                           const MapViewport& viewport) {
  MapLayout layout;
  layout.target = target;
  layout.unit = PointsToDevice(painter);
  const double unit = layout.unit;
  const QRectF extent = UsableExtent(scene.extent);

  const QFontMetricsF label = Metrics(painter, MakeFont(kLabelPoints, false));
  const double titleHeight =
      TitleHeight(painter, scene.title, target.width() - 2 * kOuterMargin * unit);
  const double top =
      target.top() + kOuterMargin * unit + titleHeight + 1.5 * label.height() + 2 * kGap * unit;
  const double bottom = target.bottom() - BottomRoom(painter, scene);
  // Room for the y labels: the widest label of the extent's ticks.
  double yLabels = 0.0;
  for (double v : {extent.top(), extent.bottom()}) {
    yLabels = std::max(
        yLabels, label.horizontalAdvance(TickLabel(v, NiceStep(extent.top(), extent.bottom(), 5))));
  }
  yLabels = std::max(yLabels, label.horizontalAdvance("-0000.0"));
  const double left = target.left() + kOuterMargin * unit + yLabels + (kTickLength + kGap) * unit;
  double right = target.right() - kOuterMargin * unit;
  if (scene.scale) {
    right -= kBarGap * unit + kBarWidth * unit + kGap * unit + BarLabelWidth(painter, scene);
  }
  const QRectF available(QPointF(left, top), QPointF(right, bottom));
  if (available.width() < kMinimumMapSide * unit || available.height() < kMinimumMapSide * unit) {
    return layout;
  }
  // The frame keeps a little room around the extent, so that points on its
  // edge are drawn whole.
  const double pad = kFramePadding * unit;
  const double fitted = std::min((available.width() - 2 * pad) / extent.width(),
                                 (available.height() - 2 * pad) / extent.height());
  if (!std::isfinite(fitted) || fitted <= 0.0) return layout;
  layout.available = available;
  layout.fittedScale = fitted;
  if (viewport.fitted) {
    // The frame hugs the extent at the fitted scale.
    const QSizeF size(extent.width() * fitted + 2 * pad, extent.height() * fitted + 2 * pad);
    layout.mapArea = QRectF(QPointF(available.left(), available.top()), size);
    layout.mapArea.moveCenter(QPointF(available.center().x(), available.top() + size.height() / 2));
    layout.scale = fitted;
    layout.worldCentre = extent.center();
  } else {
    layout.mapArea = available;
    layout.scale = fitted * std::max(viewport.zoom, 1e-6);
    layout.worldCentre = viewport.centre;
  }
  layout.valid = std::isfinite(layout.scale) && layout.scale > 0.0;
  return layout;
}

MapLayout PaintMap(QPainter& painter, const MapScene& scene, const QRectF& target,
                   const MapViewport& viewport) {
  painter.save();
  const double unit = PointsToDevice(painter);
  DrawTitle(painter, scene.title, target);

  MapLayout layout;
  if (!scene.failure.isEmpty()) {
    DrawFailure(painter, target, scene.failure, unit);
  } else {
    layout = ComputeMapLayout(painter, scene, target, viewport);
    if (!layout.valid) {
      DrawFailure(painter, target, "The window is too small for the map.", unit);
    } else {
      painter.save();
      painter.setClipRect(layout.mapArea);
      std::vector<double> levels;
      const std::vector<QPolygonF> contours = ContourPolygons(scene, layout, levels);
      // Colours and lines end at the blanking outline itself, not at the
      // edge of the last cell inside it.
      painter.save();
      ClipToOutline(painter, scene, layout);
      DrawColourImage(painter, scene, layout);
      DrawValuePoints(painter, scene, layout);
      DrawContourLines(painter, contours, layout);
      painter.restore();
      DrawBlankingOutline(painter, scene, layout);
      OccupiedAreas taken(layout.mapArea, kBucketPoints * unit);
      if (scene.showDataPoints) {
        DrawDataPoints(painter, scene, layout);
        AddDataPointMarks(scene, layout, taken);
      }
      DrawContourLabels(painter, scene, layout, contours, levels, taken);
      if (scene.showDataPoints && scene.postValues) DrawPostedValues(painter, scene, layout, taken);
      DrawScaleBar(painter, scene, layout);
      DrawBadge(painter, scene, layout);
      painter.restore();
      DrawAxes(painter, layout);
      DrawColourBar(painter, scene, layout);
      DrawTextsBelow(painter, scene, layout);
    }
  }
  painter.restore();
  return layout;
}

}  // namespace mornax::render
