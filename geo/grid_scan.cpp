#include "geo/grid_scan.h"

#include <algorithm>
#include <cmath>

namespace mornax::geo {

void GridScan::Distinct::Add(double value) {
  values.push_back(value);
  // Compacting when the list has doubled keeps the work linear.
  if (values.size() >= 2 * std::max<std::size_t>(distinct, 4096)) Compact();
}

void GridScan::Distinct::Compact() {
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
  distinct = values.size();
}

GridScan::GridScan(std::int64_t expected) : expected_(std::max<std::int64_t>(expected, 1)) {}

void GridScan::Add(std::span<const double> x, std::span<const double> y) {
  for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) continue;
    if (placed_ > 0) {
      rises_ = rises_ || y[i] > lastY_;
      falls_ = falls_ || y[i] < lastY_;
    }
    lastY_ = y[i];
    ++placed_;
    if (scattered_) continue;
    xs_.Add(x[i]);
    ys_.Add(y[i]);
    // A grid has at most four cells per point: more distinct columns times
    // rows than that is no grid, and collecting further would only cost.
    const double cells = static_cast<double>(xs_.distinct) * static_cast<double>(ys_.distinct);
    if (cells > 4.0 * static_cast<double>(expected_)) {
      scattered_ = true;
      xs_ = {};
      ys_ = {};
    }
  }
}

double WrittenRounding(std::span<const double> values) {
  for (int decimals = 0; decimals <= 15; ++decimals) {
    const double scale = std::pow(10.0, decimals);
    const bool whole = std::all_of(values.begin(), values.end(), [scale](double value) {
      const double scaled = value * scale;
      return std::abs(scaled - std::round(scaled)) <= 1e-6;
    });
    if (whole) return 0.5 / scale;
  }
  return 0.0;
}

bool GridScan::Finish(double rounding, RegularGrid& grid, std::string& reason) {
  if (scattered_) {
    grid = RegularGrid{};
    reason = "the points take too many distinct x and y values to be the nodes of a grid";
    return false;
  }
  xs_.Compact();
  ys_.Compact();
  if (rounding < 0.0) {
    // Exact positions first (the grid command writes every digit); a grid
    // whose positions were rounded when written takes their rounding.
    rounding_ = 0.0;
    std::string exact;
    if (FitGridAxes(xs_.values, ys_.values, static_cast<std::size_t>(placed_), 0.0, grid, exact)) {
      return true;
    }
    rounding = std::max(WrittenRounding(xs_.values), WrittenRounding(ys_.values));
  }
  rounding_ = rounding;
  return FitGridAxes(xs_.values, ys_.values, static_cast<std::size_t>(placed_), rounding, grid,
                     reason);
}

RowOrder GridScan::order() const {
  if (!rises_) return RowOrder::kTopDown;
  if (!falls_) return RowOrder::kBottomUp;
  return RowOrder::kMixed;
}

}  // namespace mornax::geo
