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

#include "gui/render/nice_ticks.h"

namespace mornax::render {
namespace {

// Sizes in points.
constexpr double kTitlePoints = 11.0;
constexpr double kLabelPoints = 8.0;
constexpr double kOuterMargin = 8.0;
constexpr double kTickLength = 4.0;
constexpr double kGap = 4.0;
constexpr double kBarWidth = 14.0;
constexpr double kBarGap = 14.0;
constexpr double kFramePen = 0.8;
constexpr double kLabelSpacing = 14.0;  // free space between two axis labels
constexpr double kMinimumMapSide = 20.0;
constexpr double kFramePadding = 5.0;
constexpr int kMaxAxisTicks = 10;
constexpr int kMaxContourLabelsPerLevel = 4;
// Above this many points a marker is a plain square: drawing circles with
// smooth edges would make large networks slow to draw.
constexpr std::size_t kManyPoints = 20000;
// Points whose squares would cover more than 1/kDenseCover of the map are
// drawn as dots of this opacity.
constexpr double kDenseCover = 4.0;
constexpr int kDenseAlpha = 110;

double PointsToDevice(const QPainter& painter) {
  const QPaintDevice* device = painter.device();
  const int dpi = device != nullptr ? device->logicalDpiY() : 96;
  return (dpi > 0 ? dpi : 96) / 72.0;
}

QFont MakeFont(double points, bool bold) {
  QFont font("Sans Serif");
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QFontMetricsF Metrics(const QPainter& painter, const QFont& font) {
  return QFontMetricsF(font, painter.device());
}

struct Ticks {
  std::vector<double> values;
  double step = 0.0;
};

// As many ticks as fit without their labels touching: `room` is the length
// of the axis, `labelLength` measures a label along it.
template <typename Measure>
Ticks FittingTicks(double low, double high, double room, double spacing, Measure labelLength) {
  for (int count = kMaxAxisTicks; count >= 1; --count) {
    Ticks ticks{NiceTicks(low, high, count), NiceStep(low, high, count)};
    double longest = 0.0;
    for (double v : ticks.values)
      longest = std::max(longest, labelLength(TickLabel(v, ticks.step)));
    const double needed = static_cast<double>(ticks.values.size()) * (longest + spacing);
    if (needed <= room || count == 1) return ticks;
  }
  return {};
}

QString ValueText(double value) {
  if (!std::isfinite(value)) return "n/a";
  const double magnitude = std::abs(value);
  if (magnitude != 0.0 && (magnitude >= 1e7 || magnitude < 1e-3)) {
    return QString::number(value, 'e', 3);
  }
  return QString::number(value, 'g', 6);
}

// The widths of the texts right of the colour bar.
double BarLabelWidth(const QPainter& painter, const MapScene& scene) {
  if (!scene.scale) return 0.0;
  const QFontMetricsF metrics = Metrics(painter, MakeFont(kLabelPoints, false));
  double width = 0.0;
  if (scene.scale->isConstant()) {
    return metrics.horizontalAdvance(ValueText(scene.scale->low()));
  }
  for (double v : {scene.scale->low(), scene.scale->high()}) {
    width = std::max(width, metrics.horizontalAdvance(ValueText(v)));
  }
  return width;
}

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
  const QRect source(static_cast<int>(left), grid.rows - static_cast<int>(top),
                     static_cast<int>(right - left), static_cast<int>(top - bottom));
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

double LevelStep(const MapScene& scene) {
  std::vector<double> levels;
  for (const ContourLine& line : scene.contours) levels.push_back(line.level);
  std::sort(levels.begin(), levels.end());
  levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
  double step = 0.0;
  for (std::size_t i = 1; i < levels.size(); ++i) {
    const double d = levels[i] - levels[i - 1];
    if (d > 0.0 && (step == 0.0 || d < step)) step = d;
  }
  return step > 0.0 ? step : 1.0;
}

// Labels sit at the middle of the longer lines, on a pale box, and never on
// top of one another or outside the map area.
void DrawContourLabels(QPainter& painter, const MapScene& scene, const MapLayout& layout,
                       const std::vector<QPolygonF>& polygons, const std::vector<double>& levels,
                       std::vector<QRectF>& taken) {
  const QFont font = MakeFont(kLabelPoints - 1, false);
  const QFontMetricsF metrics = Metrics(painter, font);
  const double step = LevelStep(scene);
  painter.setFont(font);
  std::vector<std::pair<double, std::size_t>> byLength;
  for (std::size_t i = 0; i < polygons.size(); ++i) {
    double length = 0.0;
    for (qsizetype k = 1; k < polygons[i].size(); ++k) {
      length += QLineF(polygons[i][k - 1], polygons[i][k]).length();
    }
    byLength.emplace_back(length, i);
  }
  std::sort(byLength.begin(), byLength.end(), std::greater<>());
  std::vector<std::pair<double, int>> perLevel;
  const double pad = 1.5 * layout.unit;
  for (const auto& [length, index] : byLength) {
    const QString text = TickLabel(levels[index], step);
    const double width = metrics.horizontalAdvance(text) + 2 * pad;
    if (length < 3 * width) break;
    auto counted = std::find_if(perLevel.begin(), perLevel.end(),
                                [&](const auto& entry) { return entry.first == levels[index]; });
    if (counted != perLevel.end() && counted->second >= kMaxContourLabelsPerLevel) continue;
    // The point half-way along the line.
    const QPolygonF& polygon = polygons[index];
    double walked = 0.0;
    QPointF at = polygon.front();
    for (qsizetype k = 1; k < polygon.size(); ++k) {
      const double segment = QLineF(polygon[k - 1], polygon[k]).length();
      if (walked + segment >= length / 2 && segment > 0.0) {
        const double f = (length / 2 - walked) / segment;
        at = polygon[k - 1] + (polygon[k] - polygon[k - 1]) * f;
        break;
      }
      walked += segment;
    }
    const QRectF box(at.x() - width / 2, at.y() - metrics.height() / 2, width, metrics.height());
    if (!layout.mapArea.contains(box)) continue;
    if (std::any_of(taken.begin(), taken.end(),
                    [&](const QRectF& r) { return r.intersects(box); })) {
      continue;
    }
    taken.push_back(box);
    if (counted == perLevel.end()) {
      perLevel.emplace_back(levels[index], 1);
    } else {
      ++counted->second;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawRect(box);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignCenter, text);
  }
}

void DrawContours(QPainter& painter, const MapScene& scene, const MapLayout& layout) {
  if (scene.contours.empty()) return;
  std::vector<double> levels;
  const std::vector<QPolygonF> polygons = ContourPolygons(scene, layout, levels);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  QPen pen(QColor(20, 20, 20, 220), kContourPenPoints * layout.unit);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter.setPen(pen);
  for (const QPolygonF& polygon : polygons) painter.drawPolyline(polygon);
  std::vector<QRectF> taken;
  DrawContourLabels(painter, scene, layout, polygons, levels, taken);
  painter.restore();
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

void DrawAxes(QPainter& painter, const MapLayout& layout) {
  const QRectF world = layout.VisibleWorld();
  const QRectF& area = layout.mapArea;
  const double unit = layout.unit;
  const QFont font = MakeFont(kLabelPoints, false);
  const QFontMetricsF metrics = Metrics(painter, font);
  painter.save();
  painter.setFont(font);
  painter.setPen(QPen(Qt::black, kFramePen * unit));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(area);

  const Ticks xTicks = FittingTicks(world.left(), world.right(), area.width(), kLabelSpacing * unit,
                                    [&](const QString& t) { return metrics.horizontalAdvance(t); });
  for (double v : xTicks.values) {
    const double x = layout.ToDevice(v, 0.0).x();
    painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + kTickLength * unit));
    const QString text = TickLabel(v, xTicks.step);
    const double w = metrics.horizontalAdvance(text);
    painter.drawText(
        QPointF(x - w / 2, area.bottom() + (kTickLength + kGap) * unit + metrics.ascent()), text);
  }
  const Ticks yTicks =
      FittingTicks(world.top(), world.bottom(), area.height(), kLabelSpacing * unit,
                   [&](const QString&) { return metrics.height(); });
  for (double v : yTicks.values) {
    const double y = layout.ToDevice(0.0, v).y();
    painter.drawLine(QPointF(area.left() - kTickLength * unit, y), QPointF(area.left(), y));
    const QString text = TickLabel(v, yTicks.step);
    const double w = metrics.horizontalAdvance(text);
    painter.drawText(QPointF(area.left() - (kTickLength + kGap) * unit - w,
                             y + metrics.ascent() / 2 - metrics.descent() / 2),
                     text);
  }
  painter.restore();
}

void DrawColourBar(QPainter& painter, const MapScene& scene, const MapLayout& layout) {
  if (!scene.scale) return;
  const ColourScale& scale = *scene.scale;
  const double unit = layout.unit;
  const QFont font = MakeFont(kLabelPoints, false);
  const QFontMetricsF metrics = Metrics(painter, font);
  const QRectF bar(layout.mapArea.right() + kBarGap * unit, layout.mapArea.top(), kBarWidth * unit,
                   layout.mapArea.height());
  painter.save();
  painter.setFont(font);
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (scale.isConstant()) {
    painter.fillRect(bar, QColor(scale.ColourOf(scale.low())));
  } else {
    QImage strip(1, kColourSteps, QImage::Format_RGB32);
    for (int i = 0; i < kColourSteps; ++i) {
      strip.setPixel(0, kColourSteps - 1 - i, scale.ColourAt(i));
    }
    painter.drawImage(bar, strip);
  }
  painter.setPen(QPen(Qt::black, kFramePen * unit));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(bar);

  const double textX = bar.right() + kGap * unit;
  const double right = layout.target.right() - kOuterMargin * unit;
  auto drawLabel = [&](double y, const QString& text) {
    const QString shown = metrics.elidedText(text, Qt::ElideRight, std::max(0.0, right - textX));
    painter.drawText(QPointF(textX, y + metrics.ascent() / 2 - metrics.descent() / 2), shown);
  };
  if (scale.isConstant()) {
    drawLabel(bar.center().y(), ValueText(scale.low()));
  } else {
    drawLabel(bar.bottom(), ValueText(scale.low()));
    drawLabel(bar.top(), ValueText(scale.high()));
    // Round values between the ends where they do not touch the end labels.
    const auto position = [&](double v) {
      return bar.bottom() - (v - scale.low()) / (scale.high() - scale.low()) * bar.height();
    };
    const double clearance = metrics.height() * 1.2;
    const Ticks ticks = FittingTicks(scale.low(), scale.high(), bar.height(), kLabelSpacing * unit,
                                     [&](const QString&) { return metrics.height(); });
    for (double v : ticks.values) {
      const double y = position(v);
      if (y > bar.bottom() - clearance || y < bar.top() + clearance) continue;
      painter.drawLine(QPointF(bar.right() - 3 * unit, y), QPointF(bar.right(), y));
      drawLabel(y, TickLabel(v, ticks.step));
    }
  }
  // The bar's heading: what the colours stand for, and a word when the
  // surface is flat; right-aligned above the bar, over the map if need be.
  QString heading = scene.layerTitle;
  if (scale.isConstant()) heading += " (constant)";
  const double headingRight = layout.target.right() - kOuterMargin * unit;
  const double headingWidth = layout.target.width() / 2;
  const QString shown = metrics.elidedText(heading, Qt::ElideRight, headingWidth);
  painter.drawText(QPointF(headingRight - metrics.horizontalAdvance(shown),
                           bar.top() - metrics.height() / 2 - kGap * unit - metrics.descent()),
                   shown);
  painter.restore();
}

void DrawNotes(QPainter& painter, const MapScene& scene, const MapLayout& layout, double top) {
  if (scene.notes.isEmpty()) return;
  const QFont font = MakeFont(kLabelPoints, false);
  const QFontMetricsF metrics = Metrics(painter, font);
  painter.save();
  painter.setFont(font);
  painter.setPen(QColor(170, 0, 0));
  const double left = layout.target.left() + kOuterMargin * layout.unit;
  const double width = layout.target.width() - 2 * kOuterMargin * layout.unit;
  double y = top + metrics.ascent();
  for (const QString& note : scene.notes) {
    painter.drawText(QPointF(left, y), metrics.elidedText(note, Qt::ElideRight, width));
    y += metrics.lineSpacing();
  }
  painter.restore();
}

// The height of the texts below the map: the x labels and the notes.
double BottomRoom(const QPainter& painter, const MapScene& scene) {
  const QFontMetricsF metrics = Metrics(painter, MakeFont(kLabelPoints, false));
  const double unit = PointsToDevice(painter);
  return (kTickLength + kGap) * unit + metrics.height() + kGap * unit +
         scene.notes.size() * metrics.lineSpacing() + kOuterMargin * unit;
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

  const QFontMetricsF title = Metrics(painter, MakeFont(kTitlePoints, true));
  const QFontMetricsF label = Metrics(painter, MakeFont(kLabelPoints, false));
  const double top =
      target.top() + kOuterMargin * unit + title.height() + 1.5 * label.height() + 2 * kGap * unit;
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
  const QFont titleFont = MakeFont(kTitlePoints, true);
  const QFontMetricsF titleMetrics = Metrics(painter, titleFont);
  painter.setFont(titleFont);
  painter.setPen(Qt::black);
  const double titleWidth = std::max(0.0, target.width() - 2 * kOuterMargin * unit);
  painter.drawText(QPointF(target.left() + kOuterMargin * unit,
                           target.top() + kOuterMargin * unit + titleMetrics.ascent()),
                   titleMetrics.elidedText(scene.title.simplified(), Qt::ElideRight, titleWidth));

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
      DrawColourImage(painter, scene, layout);
      DrawValuePoints(painter, scene, layout);
      DrawContours(painter, scene, layout);
      DrawDataPoints(painter, scene, layout);
      painter.restore();
      DrawAxes(painter, layout);
      DrawColourBar(painter, scene, layout);
      const QFontMetricsF label = Metrics(painter, MakeFont(kLabelPoints, false));
      DrawNotes(painter, scene, layout,
                layout.mapArea.bottom() + (kTickLength + 2 * kGap) * unit + label.height());
    }
  }
  painter.restore();
  return layout;
}

}  // namespace mornax::render
