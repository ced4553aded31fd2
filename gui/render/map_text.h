// What the parts of the map drawing share: sizes in points, fonts measured
// on the device painted on, value texts and ticks that fit their axis.
#pragma once

#include <algorithm>
#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRectF>
#include <QString>

#include "gui/render/nice_ticks.h"

namespace mornax::render::detail {

// Sizes in points.
inline constexpr double kTitlePoints = 11.0;
inline constexpr double kLabelPoints = 8.0;
inline constexpr double kSmallPoints = 6.5;
inline constexpr double kOuterMargin = 8.0;
inline constexpr double kTickLength = 4.0;
inline constexpr double kGap = 4.0;
inline constexpr double kBarWidth = 14.0;
inline constexpr double kBarGap = 14.0;
inline constexpr double kFramePen = 0.8;
inline constexpr double kLabelSpacing = 14.0;  // free space between two axis labels
inline constexpr int kMaxAxisTicks = 10;

// Device units per point on the painter's device.
double PointsToDevice(const QPainter& painter);
QFont MakeFont(double points, bool bold);
QFontMetricsF Metrics(const QPainter& painter, const QFont& font);
// A value for a legend or a read-out: six significant digits, or an
// exponent for very large and very small magnitudes.
QString ValueText(double value);

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

// Rectangles already covered by marks and texts, looked up through a coarse
// grid of buckets so that many points stay quick to test against.
class OccupiedAreas {
 public:
  explicit OccupiedAreas(const QRectF& area, double bucket);
  void Add(const QRectF& rect);
  bool Intersects(const QRectF& rect) const;

 private:
  template <typename Visit>
  void ForBuckets(const QRectF& rect, Visit visit) const;

  QRectF area_;
  double bucket_;
  int cols_ = 1;
  int rows_ = 1;
  std::vector<std::vector<QRectF>> buckets_;
};

}  // namespace mornax::render::detail
