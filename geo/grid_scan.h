// A network recognised as a regular grid while it is read a block at a time:
// memory grows with the grid's columns and rows, not with its nodes, so that
// a network of 10^8 nodes is recognised without holding its positions.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "geo/regular_grid.h"

namespace mornax::geo {

// The order of the network's rows as it lists them.
enum class RowOrder {
  kTopDown,   // y never rises from one point to the next (the grid command's order)
  kBottomUp,  // y never falls
  kMixed,     // neither
};

class GridScan {
 public:
  // `expected`: the points the network says it holds (bounds the memory a
  // scattered network may take before it is given up as no grid).
  explicit GridScan(std::int64_t expected);

  void Add(std::span<const double> x, std::span<const double> y);

  // The grid's geometry (pointCell empty); false with `reason` when the
  // points are no grid. `rounding` as DetectRegularGrid takes it; negative:
  // exact positions, else the rounding read off them (WrittenRounding).
  bool Finish(double rounding, RegularGrid& grid, std::string& reason);
  // The rounding Finish used, for NodeCell.
  double rounding() const { return rounding_; }

  RowOrder order() const;
  std::int64_t placed() const { return placed_; }

 private:
  // Distinct values of one coordinate, made distinct now and then.
  struct Distinct {
    std::vector<double> values;
    std::size_t distinct = 0;  // values[0, distinct) are sorted and distinct
    void Add(double value);
    void Compact();
  };

  std::int64_t expected_;
  std::int64_t placed_ = 0;
  Distinct xs_, ys_;
  bool scattered_ = false;  // the distinct values alone rule out a grid
  bool rises_ = false, falls_ = false;
  double lastY_ = 0.0;
  double rounding_ = 0.0;
};

// Half a unit of the last decimal the values were written with (0.005 for
// positions with two decimals); 0 when they carry more than 15.
double WrittenRounding(std::span<const double> values);

}  // namespace mornax::geo
