// The data points a tile of a network is estimated from: those within a
// margin of its box, and the test that a node's neighbours among them are
// those of a whole run.
#pragma once

#include <array>
#include <vector>

#include "api/mornax_arrays.h"

namespace mornax::batch {

// The points inside the box (XMIN, YMIN, XMAX, YMAX) grown by a margin, in
// the data file's order (ties between equally near points resolve as in a
// whole run).
struct PointSelection {
  std::vector<double> x, y, value, guess;
  bool all = false;  // every data point is in

  api::Points Points() const { return {x, y, value, guess}; }
};

PointSelection SelectPoints(const api::Points& points, const std::array<double, 4>& box,
                            double margin);

// The first margin of a tile: one and a half times the distance of a node's
// last neighbour where the data are spread evenly over their extent
// (sqrt(k area / (pi N))); nodes in sparser parts take a second pass.
double FirstMargin(const api::Points& points, int neighbours);

// The distance from (x, y) to the edge of the box grown by `margin`: a node
// whose last neighbour lies nearer than this has the neighbours of a whole
// run, since every point left out lies beyond that edge.
double EdgeDistance(const std::array<double, 4>& box, double margin, double x, double y);

}  // namespace mornax::batch
