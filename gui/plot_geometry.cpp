#include "gui/plot_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mornax::gui {
namespace {

// Screen and paper layouts in device units.
constexpr int kScreenXMargin = 100;
constexpr int kScreenYMargin = 15;
constexpr int kScreenWidthCut = 200;
constexpr int kScreenHeightCut = 200;
constexpr int kPrintXMargin = 400;
constexpr int kPrintYMargin = 150;
constexpr int kPrintWidthCut = 100;
constexpr int kPrintHeightCut = 1000;
// On a device too small for the layout, the margins become this share of
// its size and the drawing area the whole device.
constexpr int kSmallDeviceMarginDivisor = 8;

void Include(double value, double& low, double& high) {
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
                                                bool printing) {
  PlotGeometry geometry;
  geometry.range = range;
  geometry.xMargin = printing ? kPrintXMargin : kScreenXMargin;
  geometry.yMargin = printing ? kPrintYMargin : kScreenYMargin;
  geometry.plotWidth = device.width() - (printing ? kPrintWidthCut : kScreenWidthCut);
  geometry.plotHeight = device.height() - (printing ? kPrintHeightCut : kScreenHeightCut);

  if (geometry.plotWidth - 2 * geometry.xMargin < 1) {
    geometry.xMargin = device.width() / kSmallDeviceMarginDivisor;
    geometry.plotWidth = device.width();
  }
  if (geometry.plotHeight - 2 * geometry.yMargin < 1) {
    // The lowest point lands at yMargin + plotHeight: keep it on the device.
    geometry.yMargin = device.height() / kSmallDeviceMarginDivisor;
    geometry.plotHeight = device.height() - 2 * geometry.yMargin;
  }
  const double xSpan = geometry.plotWidth - 2 * geometry.xMargin;
  const double ySpan = geometry.plotHeight - 2 * geometry.yMargin;
  if (xSpan < 1 || ySpan < 1) return std::nullopt;
  if (!(range.xMax > range.xMin) || !(range.yMax > range.yMin)) return std::nullopt;

  geometry.xScale = (range.xMax - range.xMin) / xSpan;
  geometry.yScale = (range.yMax - range.yMin) / ySpan;
  if (kind >= kPlotDataMap) {
    const double scale = std::max(geometry.xScale, geometry.yScale);
    geometry.xScale = scale;
    geometry.yScale = scale;
  }
  if (!std::isfinite(geometry.xScale) || !std::isfinite(geometry.yScale) ||
      geometry.xScale <= 0.0 || geometry.yScale <= 0.0) {
    return std::nullopt;
  }
  return geometry;
}

}  // namespace mornax::gui
