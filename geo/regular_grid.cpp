#include "geo/regular_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace mornax::geo {
namespace {

// The regular spacing of one axis: the centres origin + k * spacing for
// k = 0 .. count - 1.
struct AxisFit {
  double origin = 0.0;
  double spacing = 0.0;
  std::int64_t count = 1;
};

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

// How far a written coordinate may lie from its node: its rounding twice
// (the fit carries rounding too), a ten-thousandth of the spacing, and the
// last digits of a double.
double Allowed(double rounding, double spacing, double coordinate) {
  return 2.0 * rounding + 1e-4 * spacing + 1e-12 * std::abs(coordinate);
}

// `value` rounded to the fewest decimals that keep it within `tolerance`.
double FewestDecimals(double value, double tolerance) {
  for (int decimals = 0; decimals <= 15; ++decimals) {
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale;
    if (std::abs(rounded - value) <= tolerance) return rounded;
  }
  return value;
}

// Fits the distinct values of one coordinate to a regular spacing. `values`
// is sorted in place. Values within `tolerance` of each other are one node
// column (or row).
bool FitAxis(std::vector<double>& values, double rounding, const char* axis, AxisFit& fit,
             std::string& reason) {
  std::sort(values.begin(), values.end());
  const double scale = std::max(std::abs(values.front()), std::abs(values.back()));
  const double tolerance = 2.0 * rounding + 1e-9 * scale;

  // Distinct positions: the mean of each cluster of nearly equal values.
  std::vector<double> centres;
  double sum = values.front();
  std::size_t members = 1;
  for (std::size_t i = 1; i < values.size(); ++i) {
    if (values[i] - values[i - 1] > tolerance) {
      centres.push_back(sum / static_cast<double>(members));
      sum = 0.0;
      members = 0;
    }
    sum += values[i];
    ++members;
  }
  centres.push_back(sum / static_cast<double>(members));
  fit = AxisFit{centres.front(), 0.0, 1};
  if (centres.size() == 1) return true;

  double smallestGap = centres[1] - centres[0];
  for (std::size_t i = 2; i < centres.size(); ++i) {
    smallestGap = std::min(smallestGap, centres[i] - centres[i - 1]);
  }
  const double span = centres.back() - centres.front();
  double steps = std::round(span / smallestGap);
  // Rounded positions: each gap may be off by two roundings, which over
  // thousands of steps adds up to whole steps; an axis with every node
  // present whose mean gap agrees with the smallest has one step per gap.
  const auto gaps = static_cast<double>(centres.size() - 1);
  if (std::abs(span / gaps - smallestGap) <= 2.0 * rounding + 1e-9 * scale) steps = gaps;
  if (steps > 1e9) {
    reason = std::string("the ") + axis + " coordinates have no common spacing";
    return false;
  }
  double spacing = span / steps;
  if (4.0 * rounding >= spacing) {
    reason = std::string("the ") + axis +
             " coordinates are rounded too coarsely for a spacing of " + Number(spacing);
    return false;
  }

  // Refine origin and spacing by least squares over the node indices, then
  // check every distinct position against the refined nodes.
  std::vector<double> index(centres.size());
  double si = 0.0, sc = 0.0, sii = 0.0, sic = 0.0;
  for (std::size_t i = 0; i < centres.size(); ++i) {
    index[i] = std::round((centres[i] - centres.front()) / spacing);
    const double c = centres[i] - centres.front();
    si += index[i];
    sc += c;
    sii += index[i] * index[i];
    sic += index[i] * c;
  }
  const auto n = static_cast<double>(centres.size());
  spacing = (n * sic - si * sc) / (n * sii - si * si);
  const double origin = centres.front() + (sc - spacing * si) / n;
  const double allowed = Allowed(rounding, spacing, scale);
  for (std::size_t i = 0; i < centres.size(); ++i) {
    const double off = centres[i] - (origin + index[i] * spacing);
    if (std::abs(off) > allowed) {
      reason = std::string("the ") + axis + " coordinates are not evenly spaced (" + axis + " = " +
               Number(centres[i]) + " is " + Number(std::abs(off)) + " off the spacing " +
               Number(spacing) + ")";
      return false;
    }
  }
  // The fit carries the rounding's noise into the last digits; the decimal
  // with the fewest digits that the positions cannot tell apart is the
  // spacing and origin meant (500, not 500.00000000002).
  const double steady = std::max(rounding, 1e-12 * std::max(spacing, scale));
  spacing = FewestDecimals(spacing, steady / std::max(steps, 1.0));
  fit = AxisFit{FewestDecimals(origin, steady), spacing, static_cast<std::int64_t>(steps) + 1};
  return true;
}

// The grid of two fitted axes for `placed` points: refused when every point
// lies at one place or the points fill too few of its cells.
bool CombineAxes(AxisFit fx, AxisFit fy, std::size_t placed, RegularGrid& grid,
                 std::string& reason) {
  if (fx.count == 1 && fy.count == 1) {
    reason = "all points lie at one position";
    return false;
  }
  if (fx.count == 1) fx.spacing = fy.spacing;
  if (fy.count == 1) fy.spacing = fx.spacing;
  const double cells = static_cast<double>(fx.count) * static_cast<double>(fy.count);
  if (cells > 4.0 * static_cast<double>(placed)) {
    reason = "the points fill too few nodes of a " + std::to_string(fx.count) + " x " +
             std::to_string(fy.count) + " grid (" + std::to_string(placed) + " points)";
    return false;
  }
  grid.cols = fx.count;
  grid.rows = fy.count;
  grid.dx = fx.spacing;
  grid.dy = fy.spacing;
  grid.x0 = fx.origin;
  grid.y0 = fy.origin + static_cast<double>(fy.count - 1) * fy.spacing;
  return true;
}

}  // namespace

std::vector<std::int64_t> CellPoints(const RegularGrid& grid) {
  std::vector<std::int64_t> cells(static_cast<std::size_t>(grid.cellCount()), -1);
  for (std::size_t i = 0; i < grid.pointCell.size(); ++i) {
    if (grid.pointCell[i] >= 0)
      cells[static_cast<std::size_t>(grid.pointCell[i])] = static_cast<std::int64_t>(i);
  }
  return cells;
}

std::vector<double> CellValues(const RegularGrid& grid, std::span<const double> values) {
  std::vector<double> cells(static_cast<std::size_t>(grid.cellCount()),
                            std::numeric_limits<double>::quiet_NaN());
  for (std::size_t i = 0; i < grid.pointCell.size() && i < values.size(); ++i) {
    if (grid.pointCell[i] >= 0) cells[static_cast<std::size_t>(grid.pointCell[i])] = values[i];
  }
  return cells;
}

std::int64_t NodeCell(const RegularGrid& grid, double x, double y, double rounding) {
  if (!std::isfinite(x) || !std::isfinite(y)) return -1;
  const double col = std::round((x - grid.x0) / grid.dx);
  const double row = std::round((grid.y0 - y) / grid.dy);
  if (!(col >= 0.0 && col < static_cast<double>(grid.cols) && row >= 0.0 &&
        row < static_cast<double>(grid.rows))) {
    return -1;
  }
  const double offX = x - (grid.x0 + col * grid.dx);
  const double offY = y - (grid.y0 - row * grid.dy);
  if (std::abs(offX) > Allowed(rounding, grid.dx, x) ||
      std::abs(offY) > Allowed(rounding, grid.dy, y)) {
    return -1;
  }
  return static_cast<std::int64_t>(row) * grid.cols + static_cast<std::int64_t>(col);
}

bool FitGridAxes(std::vector<double>& xs, std::vector<double>& ys, std::size_t placed,
                 double rounding, RegularGrid& grid, std::string& reason) {
  grid = RegularGrid{};
  if (placed < 2 || xs.empty() || ys.empty()) {
    reason = placed == 0 ? "the network has no point with a position"
                         : "a single point does not make a grid";
    return false;
  }
  AxisFit fx, fy;
  return FitAxis(xs, rounding, "x", fx, reason) && FitAxis(ys, rounding, "y", fy, reason) &&
         CombineAxes(fx, fy, placed, grid, reason);
}

bool DetectRegularGrid(std::span<const double> x, std::span<const double> y, double rounding,
                       RegularGrid& grid, std::string& reason) {
  grid = RegularGrid{};
  // One coordinate at a time, so that only one sorted copy is held.
  const auto placedValues = [&](std::span<const double> values) {
    std::vector<double> kept;
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
      if (std::isfinite(x[i]) && std::isfinite(y[i])) kept.push_back(values[i]);
    }
    return kept;
  };
  AxisFit fx, fy;
  std::size_t placed = 0;
  {
    std::vector<double> xs = placedValues(x);
    placed = xs.size();
    if (placed < 2) {
      reason = placed == 0 ? "the network has no point with a position"
                           : "a single point does not make a grid";
      return false;
    }
    if (!FitAxis(xs, rounding, "x", fx, reason)) return false;
  }
  {
    std::vector<double> ys = placedValues(y);
    if (!FitAxis(ys, rounding, "y", fy, reason)) return false;
  }
  if (!CombineAxes(fx, fy, placed, grid, reason)) return false;
  grid.pointCell.assign(std::min(x.size(), y.size()), -1);
  std::vector<bool> taken(static_cast<std::size_t>(grid.cellCount()), false);
  for (std::size_t i = 0; i < grid.pointCell.size(); ++i) {
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) continue;
    const std::int64_t cell = NodeCell(grid, x[i], y[i], rounding);
    if (cell < 0) {
      reason =
          "the point (" + Number(x[i]) + ", " + Number(y[i]) + ") is not on a node of the grid";
      grid = RegularGrid{};
      return false;
    }
    if (taken[static_cast<std::size_t>(cell)]) {
      reason = "two points share the node at (" + Number(x[i]) + ", " + Number(y[i]) + ")";
      grid = RegularGrid{};
      return false;
    }
    taken[static_cast<std::size_t>(cell)] = true;
    grid.pointCell[i] = cell;
  }
  return true;
}

}  // namespace mornax::geo
