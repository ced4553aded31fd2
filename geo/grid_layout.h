// A regular network of nodes at cell centres: rows from the top, x fastest,
// the order GIS rasters use.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace mornax::geo {

// A data file holds at most this many network points from the grid command.
constexpr std::int64_t kMostGridNodes = 100'000'000;

struct GridRequest {
  double dx = 0.0;
  double dy = 0.0;
  std::optional<std::array<double, 4>> extent;  // xmin, ymin, xmax, ymax
  std::optional<double> margin;                 // default: one spacing
};

struct GridLayout {
  double xmin = 0.0;  // lower-left corner of the lower-left cell
  double ymin = 0.0;
  double dx = 0.0;
  double dy = 0.0;
  std::int64_t columns = 0;
  std::int64_t rows = 0;
  bool widened = false;  // a given extent was grown to whole cells

  double xmax() const { return xmin + static_cast<double>(columns) * dx; }
  double ymax() const { return ymin + static_cast<double>(rows) * dy; }
  std::int64_t nodes() const { return columns * rows; }
  // Centre of the cell in column `column` (0 at the left) and row `row` (0 at
  // the top).
  double X(std::int64_t column) const { return xmin + (static_cast<double>(column) + 0.5) * dx; }
  double Y(std::int64_t row) const { return ymin + (static_cast<double>(rows - row) - 0.5) * dy; }
};

// Lays out the grid. A given extent keeps its lower-left corner and grows up
// and to the right to whole cells when it is no whole number of spacings.
// Without an extent the data's bounding box (x and y of every data point) is
// grown by the margin and snapped outward to whole multiples of the spacing.
// Refuses, with `error` naming the value: a spacing that is not a finite
// number above zero, an extent with no area or a non-finite bound, a spacing
// so much wider than the extent that not one whole cell fits, a negative or
// non-finite margin, no data points to take the extent from, and a layout
// CheckLayout refuses.
bool LayOutGrid(const GridRequest& request, std::span<const double> x, std::span<const double> y,
                GridLayout& layout, std::string& error);

// Checks a layout however it was made: at least one node and at most
// kMostGridNodes, every position a finite number, and neighbouring nodes
// apart in the 15 significant digits the data file gets. False with `error`
// naming the cause and what to choose instead.
bool CheckLayout(const GridLayout& layout, std::string& error);

}  // namespace mornax::geo
