// Several direction sectors and a variogram map from one pass over the pairs:
// the pairs within the largest distance any of them needs are found through
// a grid of cells that wide, and each pair is sorted into every sector it lies
// in and into its cell of the map. A sector's classes follow the rules of the
// one-direction semivariogram to the bit (same class and sector arithmetic,
// same pair order and blocking of the sums), for any thread count. The map's
// sums follow the order in which the grid finds the pairs: the same for any
// thread count.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "semivariogram/gama3.h"

namespace mornax {

struct DirectionSetSpec {
  int lagCount = 0;
  double lagDistance = 0.0;
  double tolerance = 0.0;  // full opening of every sector, degrees
  std::vector<double> directions{};
  // The map: (2 mapCells + 1)^2 cells of mapCellSize around the zero lag
  // (none when mapCells is 0).
  int mapCells = 0;
  double mapCellSize = 0.0;
};

// One sector's classes 1..classCount: pairs, mean semivariance, mean distance
// (0 for an empty class); classCount is the highest class with a pair (at
// least 1).
struct SectorClasses {
  std::vector<double> pairs, semivariance, distance;
  int classCount = 1;
};

struct DirectionSetSums {
  ValueStatistics statistics;
  std::vector<SectorClasses> sectors;
  // Row-major from the lowest (dx, dy): cell (ix, iy), ix, iy in -m..m, at
  // (iy + m) * (2m + 1) + ix + m. Each pair counts at +(dx, dy) and -(dx, dy).
  std::vector<double> mapPairs, mapSemivariance;
  bool stopped = false;
};

// z, x, y: one entry per point (coincident points merged); at most
// api::kMaxDirections directions. `stopRequested` and `rowsDone` as Gama3 has
// them.
DirectionSetSums DirectionSet(std::span<const double> z, std::span<const double> x,
                              std::span<const double> y, const DirectionSetSpec& spec, int threads,
                              const std::function<bool()>& stopRequested = {},
                              const std::function<void(std::int64_t rows)>& rowsDone = {});

}  // namespace mornax
