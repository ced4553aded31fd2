// A k-d tree over the data points of a run, for the nearest-neighbour
// selection. It answers exactly what the scan over all points answers: the
// same distances (computed with the same expression), the same order
// (increasing distance, then increasing data index), the same point left out.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace mornax {

class SpatialIndex {
 public:
  SpatialIndex() = default;

  // Indexes points 0..count-1 of x and y (0-based data indices). Points with
  // a coordinate that is not finite are left out: their distance is never
  // finite, so no query can keep them. The arrays must not change while the
  // index is used.
  void Build(std::span<const double> x, std::span<const double> y, int count);

  // True when the index was built over these arrays and this count.
  bool Covers(std::span<const double> x, std::span<const double> y, int count) const {
    return built_ && x.data() == sourceX_ && y.data() == sourceY_ && count == count_;
  }

  // The points nearest to (x0, y0) whose distance sqrt(dx*dx + dy*dy) is below
  // `limit`, the point `excluded` (-1 for none) left out: at most `count` of
  // them, by increasing distance and among equal distances by increasing
  // index, into distance[0..] and index[0..]. Returns how many were found;
  // fewer than `count` means fewer such points exist. Both outputs need room
  // for min(count, number of points) entries. Safe to call from several
  // threads at once.
  int Nearest(double x0, double y0, int excluded, int count, double limit, double* distance,
              std::int32_t* index) const;

  // Appends to `found` the index of every point above `after` whose squared
  // distance dx*dx + dy*dy from (x0, y0) is at most `squaredRadius`, in no
  // particular order. Safe to call from several threads at once.
  void Within(double x0, double y0, double squaredRadius, std::int32_t after,
              std::vector<std::int32_t>& found) const;

 private:
  struct Node {
    // Bounding box of the node's points.
    double xlo, xhi, ylo, yhi;
    // The children split the points at `split` along x or y: the low child
    // holds the points below it and some equal to it, the high child the rest.
    double split;
    std::int32_t begin, end;  // the node's points in the reordered arrays
    std::int32_t low, high;   // children; -1 for a leaf
    bool splitOnX;
  };

  std::int32_t BuildNode(std::int32_t begin, std::int32_t end);

  std::vector<Node> nodes_;
  // The indexed points in leaf order: coordinates and data index.
  std::vector<double> px_, py_;
  std::vector<std::int32_t> pindex_;

  bool built_ = false;
  const double* sourceX_ = nullptr;
  const double* sourceY_ = nullptr;
  int count_ = 0;
};

}  // namespace mornax
