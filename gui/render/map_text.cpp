#include "gui/render/map_text.h"

#include <cmath>

#include <QPaintDevice>

namespace mornax::render::detail {
namespace {

constexpr int kMostBuckets = 4096;

}  // namespace

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

QString ValueText(double value) {
  if (!std::isfinite(value)) return "n/a";
  const double magnitude = std::abs(value);
  if (magnitude != 0.0 && (magnitude >= 1e7 || magnitude < 1e-3)) {
    return QString::number(value, 'e', 3);
  }
  return QString::number(value, 'g', 6);
}

OccupiedAreas::OccupiedAreas(const QRectF& area, double bucket) : area_(area), bucket_(bucket) {
  if (!(bucket_ > 0.0)) bucket_ = 1.0;
  // Never more than kMostBuckets buckets, whatever the device's resolution.
  while (std::ceil(area_.width() / bucket_) * std::ceil(area_.height() / bucket_) > kMostBuckets) {
    bucket_ *= 2;
  }
  cols_ = std::max(1, static_cast<int>(std::ceil(area_.width() / bucket_)));
  rows_ = std::max(1, static_cast<int>(std::ceil(area_.height() / bucket_)));
  buckets_.resize(static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_));
}

template <typename Visit>
void OccupiedAreas::ForBuckets(const QRectF& rect, Visit visit) const {
  const auto clampCol = [&](double x) {
    return std::clamp(static_cast<int>(std::floor((x - area_.left()) / bucket_)), 0, cols_ - 1);
  };
  const auto clampRow = [&](double y) {
    return std::clamp(static_cast<int>(std::floor((y - area_.top()) / bucket_)), 0, rows_ - 1);
  };
  for (int r = clampRow(rect.top()); r <= clampRow(rect.bottom()); ++r) {
    for (int c = clampCol(rect.left()); c <= clampCol(rect.right()); ++c) {
      if (visit(static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) +
                static_cast<std::size_t>(c))) {
        return;
      }
    }
  }
}

void OccupiedAreas::Add(const QRectF& rect) {
  auto& buckets = buckets_;
  ForBuckets(rect, [&](std::size_t k) {
    buckets[k].push_back(rect);
    return false;
  });
}

bool OccupiedAreas::Intersects(const QRectF& rect) const {
  bool hit = false;
  ForBuckets(rect, [&](std::size_t k) {
    for (const QRectF& taken : buckets_[k]) {
      if (taken.intersects(rect)) {
        hit = true;
        break;
      }
    }
    return hit;
  });
  return hit;
}

}  // namespace mornax::render::detail
