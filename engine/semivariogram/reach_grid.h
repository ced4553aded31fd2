// A grid of square cells over the points, each cell at least a given reach
// wide, for finding the pairs within that reach: the partners of a point lie
// in its own cell and the eight around it. Each cell lists its points by
// increasing index, with copies of their coordinates and values beside them,
// so that a row's later points are a suffix of each list, read in sequence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace mornax {

// One pair of a point with a later one: the later point's index and its
// coordinates and value less the earlier point's.
struct PairLag {
  double dx, dy, dz;
  std::uint32_t later;
};

class ReachGrid {
 public:
  // Points with a coordinate that is not finite are left out (no distance
  // from them is finite). A reach that is not a positive finite number, or
  // one wider than the points' extent, makes a single cell.
  ReachGrid(std::span<const double> x, std::span<const double> y, std::span<const double> values,
            double reach);

  // Writes to `out` every indexed point j above i whose squared distance
  // dx*dx + dy*dy from point i is at most `squaredReach` (at most the square
  // of the grid's reach), with dx = x[j] - x[i], dy and dz (of the values)
  // likewise, cell by cell: increasing j within a cell, but not across cells.
  // Returns how many; none for a point the grid left out. `out` needs room
  // for one entry per point.
  std::size_t Later(std::size_t i, double squaredReach, std::span<PairLag> out) const;

 private:
  static constexpr std::uint32_t kNoCell = 0xffffffffu;

  std::span<const double> x_, y_, values_;
  std::size_t columns_ = 1;
  std::size_t rows_ = 1;
  std::vector<std::uint32_t> cellOf_;  // per point; kNoCell when left out
  std::vector<std::size_t> start_;     // per cell, into the lists below; one more at the end
  std::vector<std::int32_t> index_;
  std::vector<double> px_, py_, pz_;
};

}  // namespace mornax
