#include "semivariogram/reach_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mornax {
namespace {

// Cells are widened by this factor over the reach, far beyond the rounding
// of a coordinate's cell number: two points within reach are never two
// cells apart.
constexpr double kCellMargin = 1.0 + 1.0e-6;
// At most this many cells per point (and at least one): a reach far below
// the spacing of the points would otherwise make mostly empty cells. Wider
// cells only mean more points screened.
constexpr double kMostCellsPerPoint = 2.0;

}  // namespace

ReachGrid::ReachGrid(std::span<const double> x, std::span<const double> y,
                     std::span<const double> values, double reach)
    : x_(x), y_(y), values_(values), cellOf_(x.size(), kNoCell) {
  const std::size_t n = x.size();
  double xlo = std::numeric_limits<double>::infinity();
  double ylo = xlo;
  double xhi = -xlo;
  double yhi = -xlo;
  std::size_t indexed = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) continue;
    xlo = std::min(xlo, x[i]);
    xhi = std::max(xhi, x[i]);
    ylo = std::min(ylo, y[i]);
    yhi = std::max(yhi, y[i]);
    ++indexed;
  }
  double cell = reach * kCellMargin;
  const double width = xhi - xlo;
  const double height = yhi - ylo;
  const bool gridded = indexed > 1 && std::isfinite(cell) && cell > 0.0 && std::isfinite(width) &&
                       std::isfinite(height) && std::max(width, height) > cell;
  if (gridded) {
    // Enough cells to cover the extent, no more than the cap allows.
    const double most = std::max(1.0, kMostCellsPerPoint * static_cast<double>(indexed));
    while ((std::floor(width / cell) + 1.0) * (std::floor(height / cell) + 1.0) > most) {
      cell *= 2.0;
    }
    columns_ = static_cast<std::size_t>(std::floor(width / cell)) + 1;
    rows_ = static_cast<std::size_t>(std::floor(height / cell)) + 1;
  }
  const auto cellNumber = [](double offset, double size, std::size_t count) {
    const double c = std::floor(offset / size);
    return std::min(static_cast<std::size_t>(std::max(c, 0.0)), count - 1);
  };
  start_.assign(columns_ * rows_ + 1, 0);
  for (std::size_t i = 0; i < n; ++i) {
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) continue;
    const std::size_t c = gridded ? cellNumber(y[i] - ylo, cell, rows_) * columns_ +
                                        cellNumber(x[i] - xlo, cell, columns_)
                                  : 0;
    cellOf_[i] = static_cast<std::uint32_t>(c);
    ++start_[c + 1];
  }
  for (std::size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
  // Filled in index order, so that every cell's list ascends.
  std::vector<std::size_t> next(start_.begin(), start_.end() - 1);
  index_.resize(indexed);
  px_.resize(indexed);
  py_.resize(indexed);
  pz_.resize(indexed);
  for (std::size_t i = 0; i < n; ++i) {
    if (cellOf_[i] == kNoCell) continue;
    const std::size_t k = next[cellOf_[i]]++;
    index_[k] = static_cast<std::int32_t>(i);
    px_[k] = x[i];
    py_[k] = y[i];
    pz_[k] = values[i];
  }
}

std::size_t ReachGrid::Later(std::size_t i, double squaredReach, std::span<PairLag> out) const {
  const std::uint32_t home = cellOf_[i];
  if (home == kNoCell) return 0;
  const std::size_t cx = home % columns_;
  const std::size_t cy = home / columns_;
  const double xi = x_[i];
  const double yi = y_[i];
  const double zi = values_[i];
  const auto after = static_cast<std::int32_t>(i);
  std::size_t found = 0;
  for (std::size_t gy = cy > 0 ? cy - 1 : 0; gy <= std::min(cy + 1, rows_ - 1); ++gy) {
    const std::size_t from = gy * columns_ + (cx > 0 ? cx - 1 : 0);
    const std::size_t to = gy * columns_ + std::min(cx + 1, columns_ - 1);
    for (std::size_t cell = from; cell <= to; ++cell) {
      const std::int32_t* cellFirst = index_.data() + start_[cell];
      const std::int32_t* cellLast = index_.data() + start_[cell + 1];
      const auto begin =
          static_cast<std::size_t>(std::upper_bound(cellFirst, cellLast, after) - index_.data());
      const auto end = static_cast<std::size_t>(cellLast - index_.data());
      // Every point is written and only those within reach are counted: no
      // branch on a test that goes either way at random.
      for (std::size_t k = begin; k < end; ++k) {
        const double dx = px_[k] - xi;
        const double dy = py_[k] - yi;
        out[found] = {dx, dy, pz_[k] - zi, static_cast<std::uint32_t>(index_[k])};
        found += static_cast<std::size_t>(dx * dx + dy * dy <= squaredReach);
      }
    }
  }
  return found;
}

}  // namespace mornax
