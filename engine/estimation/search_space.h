// The data set seen through an anisotropic metric: the points mapped once,
// with an index of their own, so that the nearest-neighbour selection (the
// index or the scan, with all their rules) runs unchanged on mapped
// coordinates. Values, guesses and indices are those of the data set.
#pragma once

#include <memory>
#include <vector>

#include "estimation/data_points.h"
#include "estimation/neighbours.h"
#include "estimation/spatial_index.h"
#include "models/anisotropy.h"

namespace mornax {

class SearchSpace {
 public:
  // Maps the first data.count points of `data` (which must outlive this).
  SearchSpace(const DataSet& data, const LinearMap& map);
  SearchSpace(const SearchSpace&) = delete;
  SearchSpace& operator=(const SearchSpace&) = delete;

  const DataSet& data() const { return mapped_; }
  const LinearMap& map() const { return map_; }

  // Calls `estimate(data, u, v)` with (x, y) mapped and the workspace's index
  // swapped for this space's for the call (a workspace without an index asked
  // for the scan and keeps it).
  template <typename Estimate>
  auto Run(EstimateWorkspace& workspace, double x, double y, const Estimate& estimate) const {
    double u = 0.0;
    double v = 0.0;
    map_.Apply(x, y, u, v);
    const SpatialIndex* saved = workspace.index;
    if (saved != nullptr) workspace.index = &index_;
    auto result = estimate(mapped_, u, v);
    workspace.index = saved;
    return result;
  }

 private:
  LinearMap map_;
  std::vector<double> x_, y_;
  DataSet mapped_;
  SpatialIndex index_;
};

// The search space of a map, or null for the identity (the data set itself).
std::shared_ptr<const SearchSpace> MakeSearchSpace(const DataSet& data, const LinearMap& map);

}  // namespace mornax
