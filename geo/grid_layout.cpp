#include "geo/grid_layout.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "geo/number_text.h"

namespace mornax::geo {
namespace {

// Quotients within this relative distance of a whole number count as whole,
// so that an extent of 1000 with spacing 0.1 gives 10000 cells, not 10001.
constexpr double kWholeTolerance = 1e-9;

std::string Text(double value) {
  std::string text;
  AppendSignificant15(text, value);
  return text;
}

bool NearWhole(double quotient, double& whole) {
  whole = std::round(quotient);
  return std::abs(quotient - whole) <= kWholeTolerance * std::max(1.0, std::abs(quotient));
}

double SnapDown(double value, double step) {
  double whole = 0.0;
  return (NearWhole(value / step, whole) ? whole : std::floor(value / step)) * step;
}

double SnapUp(double value, double step) {
  double whole = 0.0;
  return (NearWhole(value / step, whole) ? whole : std::ceil(value / step)) * step;
}

// Whole cells that cover `length`; `grown` tells whether that is more. A
// length that is a vanishing part of one step counts as none (0 cells).
double CellsCovering(double length, double step, bool& grown) {
  double whole = 0.0;
  if (NearWhole(length / step, whole)) return whole;
  grown = true;
  return std::ceil(length / step);
}

// Neighbouring nodes must differ within the 15 significant digits written:
// a spacing below this part of the coordinates' size is too fine.
constexpr double kFinestRelativeSpacing = 1e-13;

bool CheckSpacing(std::string_view option, double value, std::string& error) {
  if (std::isfinite(value) && value > 0.0) return true;
  error = std::string(option) + " must be a finite number above zero, not " + Text(value);
  return false;
}

}  // namespace

bool LayOutGrid(const GridRequest& request, std::span<const double> x, std::span<const double> y,
                GridLayout& layout, std::string& error) {
  layout = GridLayout{};
  if (!CheckSpacing("--spacing", request.dx, error) ||
      !CheckSpacing("--spacing-y", request.dy, error)) {
    return false;
  }
  layout.dx = request.dx;
  layout.dy = request.dy;
  double columns = 0.0;
  double rows = 0.0;
  if (request.extent) {
    const auto [xmin, ymin, xmax, ymax] = *request.extent;
    for (double bound : *request.extent) {
      if (!std::isfinite(bound)) {
        error = "--extent takes finite numbers, not " + Text(bound);
        return false;
      }
    }
    if (!(xmax > xmin) || !(ymax > ymin)) {
      error = "--extent " + Text(xmin) + " " + Text(ymin) + " " + Text(xmax) + " " + Text(ymax) +
              " has no area: XMAX must exceed XMIN and YMAX exceed YMIN";
      return false;
    }
    layout.xmin = xmin;
    layout.ymin = ymin;
    columns = CellsCovering(xmax - xmin, layout.dx, layout.widened);
    rows = CellsCovering(ymax - ymin, layout.dy, layout.widened);
    if (columns < 1.0 || rows < 1.0) {
      const bool across = columns < 1.0;
      error =
          std::string(across ? "--spacing " + Text(layout.dx) : "--spacing-y " + Text(layout.dy)) +
          " is so much larger than the extent's " + (across ? "width " : "height ") +
          Text(across ? xmax - xmin : ymax - ymin) +
          " that the grid has no node: choose a spacing of at most the extent's size";
      return false;
    }
  } else {
    if (request.margin && !(std::isfinite(*request.margin) && *request.margin >= 0.0)) {
      error = "--margin must be a finite number, 0 or more, not " + Text(*request.margin);
      return false;
    }
    if (x.empty()) {
      error =
          "the data file has no data points to take the extent from: import them first "
          "(mornax-batch import PROJECT.mnx SOURCE --z FIELD), or give --extent XMIN YMIN XMAX "
          "YMAX";
      return false;
    }
    double low[2] = {x[0], y[0]};
    double high[2] = {x[0], y[0]};
    for (std::size_t i = 0; i < x.size(); ++i) {
      if (!std::isfinite(x[i]) || !std::isfinite(y[i])) {
        error = "data point " + std::to_string(i + 1) +
                " has no x or y to take the extent from: give --extent";
        return false;
      }
      low[0] = std::min(low[0], x[i]);
      high[0] = std::max(high[0], x[i]);
      low[1] = std::min(low[1], y[i]);
      high[1] = std::max(high[1], y[i]);
    }
    const double marginX = request.margin.value_or(layout.dx);
    const double marginY = request.margin.value_or(layout.dy);
    layout.xmin = SnapDown(low[0] - marginX, layout.dx);
    layout.ymin = SnapDown(low[1] - marginY, layout.dy);
    columns =
        std::max(1.0, std::round((SnapUp(high[0] + marginX, layout.dx) - layout.xmin) / layout.dx));
    rows =
        std::max(1.0, std::round((SnapUp(high[1] + marginY, layout.dy) - layout.ymin) / layout.dy));
  }
  const double nodes = columns * rows;
  const std::string spacing =
      "--spacing " + Text(layout.dx) + (layout.dy != layout.dx ? " x " + Text(layout.dy) : "");
  if (!std::isfinite(layout.xmin) || !std::isfinite(layout.ymin) || !std::isfinite(nodes)) {
    error = spacing +
            " is too small for the grid's coordinates: counting its cells overflows, far more "
            "than the " +
            std::to_string(kMostGridNodes) + " nodes allowed; choose a larger spacing";
    return false;
  }
  if (nodes > static_cast<double>(kMostGridNodes)) {
    error = "the grid would have " + Text(columns) + " x " + Text(rows) + " = " + Text(nodes) +
            " nodes, more than " + std::to_string(kMostGridNodes) +
            ": choose a larger spacing or a smaller extent";
    return false;
  }
  layout.columns = static_cast<std::int64_t>(columns);
  layout.rows = static_cast<std::int64_t>(rows);
  return CheckLayout(layout, error);
}

bool CheckLayout(const GridLayout& layout, std::string& error) {
  if (layout.columns < 1 || layout.rows < 1) {
    error = "the grid has no node (" + std::to_string(layout.columns) + " x " +
            std::to_string(layout.rows) + "): choose a smaller spacing or a larger extent";
    return false;
  }
  if (static_cast<double>(layout.columns) * static_cast<double>(layout.rows) >
      static_cast<double>(kMostGridNodes)) {
    error = "the grid would have " + std::to_string(layout.columns) + " x " +
            std::to_string(layout.rows) + " nodes, more than " + std::to_string(kMostGridNodes) +
            ": choose a larger spacing or a smaller extent";
    return false;
  }
  const double corners[] = {layout.xmin,
                            layout.ymin,
                            layout.xmax(),
                            layout.ymax(),
                            layout.X(0),
                            layout.Y(0),
                            layout.X(layout.columns - 1),
                            layout.Y(layout.rows - 1)};
  double size = 0.0;
  for (const double value : corners) {
    if (!std::isfinite(value)) {
      error = "a node of the grid lies at " + Text(value) +
              ", no finite position: choose a smaller spacing or extent";
      return false;
    }
    size = std::max(size, std::abs(value));
  }
  for (const auto& [name, spacing] :
       {std::pair{"--spacing", layout.dx}, std::pair{"--spacing-y", layout.dy}}) {
    if (!(spacing >= kFinestRelativeSpacing * size) || !(spacing > 0.0)) {
      error = std::string(name) + " " + Text(spacing) + " is too fine for coordinates near " +
              Text(size) + ": neighbouring nodes would be written at the same position; choose " +
              "a spacing of at least " + Text(kFinestRelativeSpacing * size);
      return false;
    }
  }
  return true;
}

}  // namespace mornax::geo
