#include "gui/render/map_labels.h"

#include <cmath>

namespace mornax::render::detail {
namespace {

constexpr int kMaxContourLabelsPerLevel = 4;
// Places tried along a line, as fractions of its length: the middle first.
constexpr double kLabelPlaces[] = {0.5, 0.35, 0.65, 0.2, 0.8, 0.1, 0.9};
// Past this many visible data points their values would only be a blur.
constexpr std::size_t kMostPostedValues = 3000;

double LevelStep(const std::vector<double>& levels) {
  std::vector<double> sorted(levels);
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  double step = 0.0;
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    const double d = sorted[i] - sorted[i - 1];
    if (d > 0.0 && (step == 0.0 || d < step)) step = d;
  }
  return step > 0.0 ? step : 1.0;
}

double Length(const QPolygonF& polygon) {
  double length = 0.0;
  for (qsizetype k = 1; k < polygon.size(); ++k) {
    length += QLineF(polygon[k - 1], polygon[k]).length();
  }
  return length;
}

// The point `distance` along the polygon.
QPointF Along(const QPolygonF& polygon, double distance) {
  double walked = 0.0;
  for (qsizetype k = 1; k < polygon.size(); ++k) {
    const double segment = QLineF(polygon[k - 1], polygon[k]).length();
    if (walked + segment >= distance && segment > 0.0) {
      return polygon[k - 1] + (polygon[k] - polygon[k - 1]) * ((distance - walked) / segment);
    }
    walked += segment;
  }
  return polygon.back();
}

double MarkSide(const MapLayout& layout) {
  return (kDataMarkerPoints + 1.0) * layout.unit;
}

}  // namespace

void AddDataPointMarks(const MapScene& scene, const MapLayout& layout, OccupiedAreas& taken) {
  const double side = MarkSide(layout);
  for (const QPointF& p : scene.dataPoints) {
    const QPointF at = layout.ToDevice(p.x(), p.y());
    if (!layout.mapArea.contains(at)) continue;
    taken.Add(QRectF(at.x() - side / 2, at.y() - side / 2, side, side));
  }
}

void DrawContourLabels(QPainter& painter, const MapScene& /*scene*/, const MapLayout& layout,
                       const std::vector<QPolygonF>& polygons, const std::vector<double>& levels,
                       OccupiedAreas& taken) {
  const QFont font = MakeFont(kLabelPoints - 1, false);
  const QFontMetricsF metrics = Metrics(painter, font);
  const double step = LevelStep(levels);
  painter.save();
  painter.setFont(font);
  std::vector<std::pair<double, std::size_t>> byLength;
  for (std::size_t i = 0; i < polygons.size(); ++i) byLength.emplace_back(Length(polygons[i]), i);
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
    for (const double place : kLabelPlaces) {
      const QPointF at = Along(polygons[index], length * place);
      const QRectF box(at.x() - width / 2, at.y() - metrics.height() / 2, width, metrics.height());
      if (!layout.mapArea.contains(box) || taken.Intersects(box)) continue;
      taken.Add(box);
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
      break;
    }
  }
  painter.restore();
}

void DrawPostedValues(QPainter& painter, const MapScene& scene, const MapLayout& layout,
                      OccupiedAreas& taken) {
  std::vector<std::size_t> visible;
  for (std::size_t i = 0; i < scene.dataPoints.size() && i < scene.dataValues.size(); ++i) {
    const QPointF& p = scene.dataPoints[i];
    if (std::isfinite(scene.dataValues[i]) &&
        layout.mapArea.contains(layout.ToDevice(p.x(), p.y())))
      visible.push_back(i);
  }
  if (visible.empty() || visible.size() > kMostPostedValues) return;
  const QFont font = MakeFont(kSmallPoints, false);
  const QFontMetricsF metrics = Metrics(painter, font);
  const double gap = MarkSide(layout) / 2 + 1.0 * layout.unit;
  painter.save();
  painter.setFont(font);
  for (const std::size_t i : visible) {
    const QPointF at = layout.ToDevice(scene.dataPoints[i].x(), scene.dataPoints[i].y());
    const QString text = ValueText(scene.dataValues[i]);
    const double w = metrics.horizontalAdvance(text) + 2 * layout.unit;
    const double h = metrics.height();
    const QRectF places[] = {
        QRectF(at.x() + gap, at.y() - h / 2, w, h), QRectF(at.x() - gap - w, at.y() - h / 2, w, h),
        QRectF(at.x() - w / 2, at.y() - gap - h, w, h), QRectF(at.x() - w / 2, at.y() + gap, w, h)};
    for (const QRectF& box : places) {
      if (!layout.mapArea.contains(box) || taken.Intersects(box)) continue;
      taken.Add(box);
      painter.setPen(Qt::NoPen);
      painter.setBrush(QColor(255, 255, 255, 170));
      painter.drawRect(box);
      painter.setPen(Qt::black);
      painter.drawText(box, Qt::AlignCenter, text);
      break;
    }
  }
  painter.restore();
}

}  // namespace mornax::render::detail
