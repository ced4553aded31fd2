#include "estimation/spatial_index.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

namespace mornax {
namespace {

constexpr std::int32_t kLeafSize = 8;

// Median splits halve every node, so a tree of at most 2^31 points is at most
// 32 levels deep; a search keeps at most one pending node per level.
constexpr int kMaxPending = 64;

// A point or box is passed over only when its squared distance exceeds the
// square of the farthest kept distance by this factor. The bound of a box is
// computed with the same operations as a point's distance, so it is never
// above the distance of a point inside; the factor is a guard far beyond any
// rounding, and it keeps every point at an equal distance (which may win on
// its lower index) in the search.
constexpr double kPruneMargin = 1.0 + 1.0e-9;

// The squared distance from (x0, y0) to the nearest place of a box; 0 inside.
double BoxBound(double xlo, double xhi, double ylo, double yhi, double x0, double y0) {
  const double gx = std::max(0.0, std::max(xlo - x0, x0 - xhi));
  const double gy = std::max(0.0, std::max(ylo - y0, y0 - yhi));
  return gx * gx + gy * gy;
}

}  // namespace

void SpatialIndex::Build(std::span<const double> x, std::span<const double> y, int count) {
  nodes_.clear();
  px_.clear();
  py_.clear();
  pindex_.clear();
  sourceX_ = x.data();
  sourceY_ = y.data();
  count_ = count;
  built_ = true;

  const auto n = static_cast<std::size_t>(std::max(count, 0));
  pindex_.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (std::isfinite(x[i]) && std::isfinite(y[i])) {
      pindex_.push_back(static_cast<std::int32_t>(i));
    }
  }
  if (pindex_.empty()) return;
  // Leaves hold at least half of kLeafSize points: at most 4 n / kLeafSize
  // nodes in all.
  nodes_.reserve(4 * pindex_.size() / kLeafSize + 2);
  BuildNode(0, static_cast<std::int32_t>(pindex_.size()));

  px_.resize(pindex_.size());
  py_.resize(pindex_.size());
  for (std::size_t k = 0; k < pindex_.size(); ++k) {
    px_[k] = x[static_cast<std::size_t>(pindex_[k])];
    py_[k] = y[static_cast<std::size_t>(pindex_[k])];
  }
}

std::int32_t SpatialIndex::BuildNode(std::int32_t begin, std::int32_t end) {
  const auto self = static_cast<std::int32_t>(nodes_.size());
  nodes_.push_back(Node{});
  Node node{};
  node.begin = begin;
  node.end = end;
  node.low = -1;
  node.high = -1;
  node.xlo = node.ylo = std::numeric_limits<double>::infinity();
  node.xhi = node.yhi = -std::numeric_limits<double>::infinity();
  for (std::int32_t k = begin; k < end; ++k) {
    const auto i = static_cast<std::size_t>(pindex_[static_cast<std::size_t>(k)]);
    node.xlo = std::min(node.xlo, sourceX_[i]);
    node.xhi = std::max(node.xhi, sourceX_[i]);
    node.ylo = std::min(node.ylo, sourceY_[i]);
    node.yhi = std::max(node.yhi, sourceY_[i]);
  }
  if (end - begin > kLeafSize) {
    // Split the wider side at the median point.
    const double* coordinate = node.xhi - node.xlo >= node.yhi - node.ylo ? sourceX_ : sourceY_;
    const std::int32_t middle = begin + (end - begin) / 2;
    std::nth_element(pindex_.begin() + begin, pindex_.begin() + middle, pindex_.begin() + end,
                     [coordinate](std::int32_t a, std::int32_t b) {
                       const double ca = coordinate[static_cast<std::size_t>(a)];
                       const double cb = coordinate[static_cast<std::size_t>(b)];
                       return ca < cb || (ca == cb && a < b);
                     });
    node.splitOnX = coordinate == sourceX_;
    node.split = coordinate[static_cast<std::size_t>(pindex_[static_cast<std::size_t>(middle)])];
    node.low = BuildNode(begin, middle);
    node.high = BuildNode(middle, end);
  }
  nodes_[static_cast<std::size_t>(self)] = node;
  return self;
}

int SpatialIndex::Nearest(double x0, double y0, int excluded, int count, double limit,
                          double* distance, std::int32_t* index) const {
  if (nodes_.empty() || count <= 0) return 0;
  struct Pending {
    std::int32_t node;
    double bound;
  };
  std::array<Pending, kMaxPending> pending;
  int top = 0;
  int kept = 0;
  // Squared distance beyond which nothing can be kept any more.
  double reject = std::numeric_limits<double>::infinity();

  pending[top++] = {0, 0.0};
  while (top > 0) {
    const Pending next = pending[--top];
    if (next.bound > reject) continue;
    // Down to a leaf: the child on the point's side of the split first, the
    // other one kept with the distance to its box.
    const Node* node = &nodes_[static_cast<std::size_t>(next.node)];
    while (node->low >= 0) {
      const bool lowFirst = (node->splitOnX ? x0 : y0) < node->split;
      const std::int32_t near = lowFirst ? node->low : node->high;
      const std::int32_t far = lowFirst ? node->high : node->low;
      const Node& other = nodes_[static_cast<std::size_t>(far)];
      const double bound = BoxBound(other.xlo, other.xhi, other.ylo, other.yhi, x0, y0);
      if (!(bound > reject)) pending[top++] = {far, bound};
      node = &nodes_[static_cast<std::size_t>(near)];
    }
    for (std::int32_t k = node->begin; k < node->end; ++k) {
      const auto at = static_cast<std::size_t>(k);
      // The distance exactly as the scan over all points computes it.
      const double dx = px_[at] - x0;
      const double dy = py_[at] - y0;
      const double squared = dx * dx + dy * dy;
      if (squared > reject) continue;
      const std::int32_t i = pindex_[at];
      if (i == excluded) continue;
      const double d = std::sqrt(squared);
      if (!(d < limit)) continue;
      if (kept == count) {
        const double last = distance[kept - 1];
        if (d > last || (d == last && i > index[kept - 1])) continue;
        --kept;  // the farthest kept point makes room
      }
      int place = kept;
      while (place > 0 &&
             (distance[place - 1] > d || (distance[place - 1] == d && index[place - 1] > i))) {
        distance[place] = distance[place - 1];
        index[place] = index[place - 1];
        --place;
      }
      distance[place] = d;
      index[place] = i;
      ++kept;
      if (kept == count) reject = distance[kept - 1] * distance[kept - 1] * kPruneMargin;
    }
  }
  return kept;
}

void SpatialIndex::Within(double x0, double y0, double squaredRadius, std::int32_t after,
                          std::vector<std::int32_t>& found) const {
  if (nodes_.empty()) return;
  std::array<std::int32_t, kMaxPending> pending;
  int top = 0;
  pending[top++] = 0;
  while (top > 0) {
    const Node& node = nodes_[static_cast<std::size_t>(pending[--top])];
    if (BoxBound(node.xlo, node.xhi, node.ylo, node.yhi, x0, y0) > squaredRadius) continue;
    if (node.low >= 0) {
      pending[top++] = node.low;
      pending[top++] = node.high;
      continue;
    }
    for (std::int32_t k = node.begin; k < node.end; ++k) {
      const auto at = static_cast<std::size_t>(k);
      if (pindex_[at] <= after) continue;
      const double dx = px_[at] - x0;
      const double dy = py_[at] - y0;
      if (dx * dx + dy * dy <= squaredRadius) found.push_back(pindex_[at]);
    }
  }
}

}  // namespace mornax
