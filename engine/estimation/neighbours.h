// Nearest-neighbour selection around an estimation point, shared by every
// interpolation method.
#pragma once

#include <limits>
#include <span>

#include "core/messages.h"
#include "core/work_arrays.h"
#include "estimation/data_points.h"
#include "estimation/spatial_index.h"

namespace mornax {

// The distance given to the point left out in error analysis and to every
// point once chosen; single-precision constants widened to double.
inline constexpr double kWeightingExclusion = static_cast<double>(9.0e20f);
inline constexpr double kKrigingExclusion = static_cast<double>(9.0e35f);

// Scratch storage of one estimate. An estimate depends only on the data set,
// the estimation point and the method's parameters: everything it changes
// lives here, so a run may keep one workspace per thread.
struct EstimateWorkspace {
  // Selected neighbours, nearest first: x, y, value, and index (the 0-based
  // data index); plus the method's own vectors and matrices.
  NeighbourArrays& neighbours;
  // The distances of the selection (at least min(NN, N) entries).
  std::span<double> distance;
  // The index of the data set, set by the point loops; without it (or when it
  // was built for other arrays) the selection scans every point.
  const SpatialIndex* index = nullptr;
  // Where an estimate's messages go: set by the point loops to a buffer that
  // is replayed in point order when points are estimated in parallel; null
  // means the run's own messages.
  Messages* messages = nullptr;
  // Set by SelectNearest: the distance of the farthest neighbour it chose
  // (NaN until a selection is made), and whether a data point may stand in
  // more than one place (more places than points below the exclusion value).
  double lastNeighbour = std::numeric_limits<double>::quiet_NaN();
  bool placesRepeat = false;

  Messages& MessagesOr(Messages& runMessages) const {
    return messages != nullptr ? *messages : runMessages;
  }
};

// Selects the `count` nearest data points of (x0, y0) into
// workspace.neighbours x, y, value and index [0, count), nearest first, and
// returns Dmax, the distance at which the last one was chosen. The distance of
// the farthest point chosen goes to workspace.lastNeighbour (it is Dmax unless
// places were filled at the exclusion value).
//
// Rules (those of a repeated minimum search in which every chosen point's
// distance becomes the exclusion value):
// - among equal distances the lowest data index comes first;
// - `excluded` (0-based; -1 for none) starts at the exclusion value;
// - when `count` exceeds the points below the exclusion value, every
//   remaining place takes the lowest index among the points at the exclusion
//   value (the excluded point and those already chosen), and Dmax is the
//   exclusion value.
// With workspace.index the nearest points come from the index; the scan is
// kept for the places beyond the points below the exclusion value.
// Needs data.count > 0, count <= the neighbour arrays' length and
// workspace.distance.size() >= min(count, data.count).
double SelectNearest(const DataSet& data, double x0, double y0, int excluded, int count,
                     double exclusionValue, EstimateWorkspace& workspace);

}  // namespace mornax
