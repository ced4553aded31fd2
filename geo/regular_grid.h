// Recognises a network of points that is a regular grid, whatever order its
// points come in and whether or not every node is present.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mornax::geo {

// A grid of cols x rows cells whose centres are the nodes. Row 0 is the top
// row (largest y) and x grows along a row, the order GIS rasters use; cell
// index = row * cols + col.
struct RegularGrid {
  std::int64_t cols = 0;
  std::int64_t rows = 0;
  double x0 = 0.0;  // x of the centres of column 0 (the smallest x)
  double y0 = 0.0;  // y of the centres of row 0 (the largest y)
  double dx = 0.0;  // spacing along x, > 0
  double dy = 0.0;  // spacing along y, > 0

  // For each point of the network its cell, or -1 for a point without a
  // position (NaN coordinates).
  std::vector<std::int64_t> pointCell;

  std::int64_t cellCount() const { return cols * rows; }
  // The geotransform of the raster: top-left corner and pixel size.
  double left() const { return x0 - dx / 2; }
  double top() const { return y0 + dy / 2; }
};

// The point held by each cell, or -1 for a node the network lacks (nodata).
std::vector<std::int64_t> CellPoints(const RegularGrid& grid);

// The values of the network's points laid out on the grid's cells (row 0 at
// the top), NaN for a cell without a point: the surface to draw or contour.
std::vector<double> CellValues(const RegularGrid& grid, std::span<const double> values);

// Decides whether the points (x[i], y[i]) are the nodes of a regular grid.
// `rounding` is half a unit of the last digit the coordinates were written
// with (0 for exact ones): nodes may be off by that much. Nodes may be
// missing, but the points must fill at least a quarter of the grid's cells,
// and no two points may share a cell. A one-row or one-column network takes
// the spacing of its only direction for the other. On success fills `grid`;
// otherwise returns false and `reason` says what is not regular.
bool DetectRegularGrid(std::span<const double> x, std::span<const double> y, double rounding,
                       RegularGrid& grid, std::string& reason);

// The cell of the node at (x, y), or -1 when the point lies on no node of
// the grid (off by more than `rounding` allows, outside, or NaN).
std::int64_t NodeCell(const RegularGrid& grid, double x, double y, double rounding);

// The grid's geometry (pointCell left empty) from the x and the y values of
// `placed` points, each list holding every value at least once (repeats
// allowed; sorted in place): for networks read a block at a time, with the
// rules and reasons of DetectRegularGrid except those about single points.
bool FitGridAxes(std::vector<double>& xs, std::vector<double>& ys, std::size_t placed,
                 double rounding, RegularGrid& grid, std::string& reason);

}  // namespace mornax::geo
