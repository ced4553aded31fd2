// Parts of the plane that a network keeps its nodes in: the inside of
// polygons, or the convex hull of the data points grown by a margin. A
// region clears, row by row, the nodes of a grid layout that lie outside it;
// the grid keeps its spacing and extent, with nodes missing.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "geo/grid_layout.h"

namespace mornax::geo {

using PlanePoint = std::array<double, 2>;  // x, y
using Ring = std::vector<PlanePoint>;      // closed implicitly: last joins first

class NodeRegion {
 public:
  virtual ~NodeRegion() = default;
  // Clears in `keep` (one flag per node of `layout`, row 0 at the top, x
  // fastest) every node that lies outside the region.
  virtual void Restrict(const GridLayout& layout, std::vector<bool>& keep) const = 0;
};

// The union of polygons, each an outer ring and any number of holes, in
// whatever direction the rings run. A node on a left or lower edge is
// inside, one on a right or upper edge outside, so that polygons sharing an
// edge take each node once.
class PolygonRegion : public NodeRegion {
 public:
  explicit PolygonRegion(const std::vector<std::vector<Ring>>& polygons);
  void Restrict(const GridLayout& layout, std::vector<bool>& keep) const override;

 private:
  struct Edge {
    double yLow;  // the edge covers yLow <= y < yHigh
    double yHigh;
    double xAtLow;  // x where y = yLow
    double slope;   // dx / dy
    int winding;    // +1 or -1, so that the inside of every polygon sums to non-zero
  };
  std::vector<Edge> edges_;  // by yHigh, largest first
};

// The points within `margin` of the convex hull of the points (x[i], y[i]),
// the hull's edges included.
class HullRegion : public NodeRegion {
 public:
  HullRegion(std::span<const double> x, std::span<const double> y, double margin);
  void Restrict(const GridLayout& layout, std::vector<bool>& keep) const override;

  // The hull's corners, counter-clockwise (one or two for points in a line).
  const std::vector<PlanePoint>& hull() const { return hull_; }

 private:
  std::vector<PlanePoint> hull_;
  double margin_;
};

}  // namespace mornax::geo
