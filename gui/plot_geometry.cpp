#include "gui/plot_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "gui/plot_model.h"

namespace mornax::gui {
namespace {

// Margins as shares of the device and their least sizes in points (room for
// the tick labels, the axis labels and the title).
constexpr double kLeftShare = 0.10, kLeftPoints = 58.0;
constexpr double kRightShare = 0.04, kRightPoints = 14.0;
constexpr double kTopShare = 0.08, kTopPoints = 30.0;
constexpr double kBottomShare = 0.10, kBottomPoints = 36.0;
// On a device too small for those, the margins become this share of it.
constexpr int kSmallDeviceMarginDivisor = 8;

void Include(double value, double& low, double& high) {
  if (!std::isfinite(value)) return;
  low = std::min(low, value);
  high = std::max(high, value);
}

void WidenIfEmpty(double& low, double& high) {
  if (low != high) return;
  const double half = low != 0.0 ? std::abs(low) * 0.5 : 1.0;
  low -= half;
  high += half;
}

int ToDeviceUnit(double value) {
  constexpr double kLimit = std::numeric_limits<int>::max() / 2;
  return static_cast<int>(std::trunc(std::clamp(value, -kLimit, kLimit)));
}

int Margin(double size, double share, double points, double unit) {
  return static_cast<int>(std::lround(std::max(size * share, points * unit)));
}

}  // namespace

WorldRange ComputeWorldRange(const PlotData& data, int kind) {
  WorldRange range;
  if (data.x.empty()) {
    range = {-1.0, 1.0, -1.0, 1.0};
    return range;
  }
  range = {data.x[0], data.x[0], data.y[0], data.y[0]};
  for (std::size_t i = 1; i < data.x.size(); ++i) {
    Include(data.x[i], range.xMin, range.xMax);
    Include(data.y[i], range.yMin, range.yMax);
  }
  if (kind == kPlotFittedModel) {
    for (double value : data.model) Include(value, range.yMin, range.yMax);
    if (data.fitted.model != 0) {
      const double end = CurveEnd(data.fitted, range.xMax);
      for (const QPointF& p : ModelCurve(data.fitted, end)) {
        Include(p.x(), range.xMin, range.xMax);
        Include(p.y(), range.yMin, range.yMax);
      }
    }
  }
  if (kind == kPlotSemivariogram || kind == kPlotFittedModel) {
    // Distances and semivariances are read against zero.
    range.xMin = std::min(range.xMin, 0.0);
    range.yMin = std::min(range.yMin, 0.0);
  }
  if (kind >= kPlotDataMap) {
    for (std::size_t i = 0; i < data.nodeX.size(); ++i) {
      Include(data.nodeX[i], range.xMin, range.xMax);
      Include(data.nodeY[i], range.yMin, range.yMax);
    }
  }
  WidenIfEmpty(range.xMin, range.xMax);
  WidenIfEmpty(range.yMin, range.yMax);
  return range;
}

QPoint PlotGeometry::ToDevice(double x, double y) const {
  const int px = xMargin + ToDeviceUnit((x - range.xMin) / xScale);
  const int py = yMargin + ToDeviceUnit(plotHeight - (y - range.yMin) / yScale);
  return {px, py};
}

std::optional<PlotGeometry> ComputePlotGeometry(int kind, const WorldRange& range, QSize device,
                                                double unit) {
  if (!(unit > 0.0) || !std::isfinite(unit)) return std::nullopt;
  PlotGeometry geometry;
  geometry.range = range;
  geometry.unit = unit;
  const double width = device.width();
  const double height = device.height();
  int left = Margin(width, kLeftShare, kLeftPoints, unit);
  int right = Margin(width, kRightShare, kRightPoints, unit);
  int top = Margin(height, kTopShare, kTopPoints, unit);
  int bottom = Margin(height, kBottomShare, kBottomPoints, unit);
  if (width - left - right < 1) left = right = device.width() / kSmallDeviceMarginDivisor;
  if (height - top - bottom < 1) top = bottom = device.height() / kSmallDeviceMarginDivisor;
  geometry.xMargin = left;
  geometry.yMargin = top;
  geometry.plotWidth = width - left - right;
  geometry.plotHeight = height - top - bottom;
  if (geometry.plotWidth < 1 || geometry.plotHeight < 1) return std::nullopt;
  if (!(range.xMax > range.xMin) || !(range.yMax > range.yMin)) return std::nullopt;

  geometry.xScale = (range.xMax - range.xMin) / geometry.plotWidth;
  geometry.yScale = (range.yMax - range.yMin) / geometry.plotHeight;
  if (kind >= kPlotDataMap) {
    const double scale = std::max(geometry.xScale, geometry.yScale);
    geometry.xScale = scale;
    geometry.yScale = scale;
    // The map, narrower or lower than the area at one scale, is centred in it.
    const double width = (range.xMax - range.xMin) / scale;
    const double height = (range.yMax - range.yMin) / scale;
    geometry.xMargin += static_cast<int>((geometry.plotWidth - width) / 2);
    geometry.yMargin += static_cast<int>((geometry.plotHeight - height) / 2);
    geometry.plotWidth = width;
    geometry.plotHeight = height;
  }
  if (!std::isfinite(geometry.xScale) || !std::isfinite(geometry.yScale) ||
      geometry.xScale <= 0.0 || geometry.yScale <= 0.0) {
    return std::nullopt;
  }
  return geometry;
}

}  // namespace mornax::gui
