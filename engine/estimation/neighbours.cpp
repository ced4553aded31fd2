#include "estimation/neighbours.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace mornax {
namespace {

void CopyNeighbours(const DataSet& data, int count, NeighbourArrays& nb) {
  for (int k = 0; k < count; ++k) {
    const auto i = static_cast<std::size_t>(nb.index[static_cast<std::size_t>(k)]);
    nb.x[static_cast<std::size_t>(k)] = data.x[i];
    nb.y[static_cast<std::size_t>(k)] = data.y[i];
    nb.value[static_cast<std::size_t>(k)] = data.z[i];
  }
}

// The largest distance from (x0, y0) of the first `count` neighbours, each
// computed as the selection computes it.
double Farthest(const NeighbourArrays& nb, int count, double x0, double y0) {
  double farthest = 0.0;
  for (std::size_t k = 0; k < static_cast<std::size_t>(count); ++k) {
    const double dx = nb.x[k] - x0;
    const double dy = nb.y[k] - y0;
    farthest = std::max(farthest, std::sqrt(dx * dx + dy * dy));
  }
  return farthest;
}

}  // namespace

// One pass keeps the nearest points below the exclusion value in a short
// sorted list (distance, then index), which is the order the repeated
// minimum search chooses them in; what that search does once they are used
// up follows from the points it leaves at the exclusion value.
double SelectNearest(const DataSet& data, double x0, double y0, int excluded, int count,
                     double exclusionValue, EstimateWorkspace& workspace) {
  auto& nb = workspace.neighbours;
  double* kept = workspace.distance.data();
  std::int32_t* keptIndex = nb.index.data.data();
  const int n = data.count;
  if (n <= 0 || count <= 0) {
    workspace.placesRepeat = count > 0;
    return 0.0;
  }
  const int room = std::min(count, n);

  const SpatialIndex* index = workspace.index;
  if (index != nullptr && index->Covers(data.x, data.y, n) &&
      workspace.distance.size() >= static_cast<std::size_t>(room)) {
    // When the index finds all `count` places below the exclusion value they
    // are exactly what the scan keeps; otherwise the scan decides the rest.
    if (index->Nearest(x0, y0, excluded, count, exclusionValue, kept, keptIndex) == count) {
      CopyNeighbours(data, count, nb);
      workspace.lastNeighbour = kept[count - 1];
      workspace.placesRepeat = false;
      return kept[count - 1];
    }
  }

  int keptCount = 0;
  int lowestAtExclusion = -1;  // lowest unchosen index whose distance is the exclusion value
  int beyondIndex = -1;        // nearest point farther than the exclusion value
  double beyondDistance = 0.0;
  for (int i = 0; i < n; ++i) {
    if (i == excluded) continue;
    const double dx = data.x[i] - x0;
    const double dy = data.y[i] - y0;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d < exclusionValue) {
      if (keptCount == room && !(d < kept[keptCount - 1])) continue;
      // Insert after every kept point at the same distance (they have lower
      // indices); a full list drops its last entry.
      int place = keptCount < room ? keptCount : keptCount - 1;
      while (place > 0 && kept[place - 1] > d) {
        kept[place] = kept[place - 1];
        keptIndex[place] = keptIndex[place - 1];
        --place;
      }
      kept[place] = d;
      keptIndex[place] = i;
      if (keptCount < room) ++keptCount;
    } else if (d == exclusionValue) {
      if (lowestAtExclusion < 0) lowestAtExclusion = i;
    } else if (beyondIndex < 0 || d < beyondDistance) {
      beyondIndex = i;
      beyondDistance = d;
    }
  }

  double dmax = keptCount > 0 ? kept[keptCount - 1] : exclusionValue;
  int filled = keptCount;
  if (filled < count) {
    // Nothing at the exclusion value yet: the nearest farther point is
    // chosen first and then stands at the exclusion value itself.
    const bool anyAtExclusion = keptCount > 0 || excluded >= 0 || lowestAtExclusion >= 0;
    if (!anyAtExclusion && beyondIndex >= 0) {
      keptIndex[filled++] = beyondIndex;
      lowestAtExclusion = beyondIndex;
      dmax = beyondDistance;
    }
    int lowest = lowestAtExclusion;
    for (int k = 0; k < keptCount; ++k) {
      if (lowest < 0 || keptIndex[k] < lowest) lowest = keptIndex[k];
    }
    if (excluded >= 0 && excluded < n && (lowest < 0 || excluded < lowest)) lowest = excluded;
    if (lowest < 0) lowest = 0;
    if (filled < count) dmax = exclusionValue;
    for (; filled < count; ++filled) keptIndex[filled] = lowest;
  }

  CopyNeighbours(data, count, nb);
  workspace.lastNeighbour = keptCount == count ? kept[count - 1] : Farthest(nb, count, x0, y0);
  return dmax;
}

}  // namespace mornax
