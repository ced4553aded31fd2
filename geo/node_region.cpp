#include "geo/node_region.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace mornax::geo {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Twice the signed area: positive for a counter-clockwise ring.
double SignedArea(const Ring& ring) {
  double sum = 0.0;
  for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
    sum += (ring[j][0] - ring[i][0]) * (ring[j][1] + ring[i][1]);
  }
  return sum;
}

// The first column whose node lies at or right of `x`, within [0, columns].
std::int64_t FirstColumnFrom(const GridLayout& layout, double x) {
  const double position = std::ceil((x - layout.X(0)) / layout.dx);
  if (!(position > 0.0)) return 0;
  if (position >= static_cast<double>(layout.columns)) return layout.columns;
  auto column = static_cast<std::int64_t>(position);
  // The division may land one column off; the node positions decide.
  while (column > 0 && layout.X(column - 1) >= x) --column;
  while (column < layout.columns && layout.X(column) < x) ++column;
  return column;
}

// Clears the nodes of row `row` outside the sorted, disjoint x intervals
// [from, to) (`closed`: [from, to]).
void KeepSpans(const GridLayout& layout, std::int64_t row,
               const std::vector<std::pair<double, double>>& spans, bool closed,
               std::vector<bool>& keep) {
  const std::size_t base = static_cast<std::size_t>(row * layout.columns);
  std::int64_t cleared = 0;  // columns before this are done
  for (const auto& [from, to] : spans) {
    const std::int64_t first = std::max(cleared, FirstColumnFrom(layout, from));
    std::int64_t end = FirstColumnFrom(layout, to);
    if (closed) {
      while (end < layout.columns && layout.X(end) <= to) ++end;
    }
    for (std::int64_t column = cleared; column < first; ++column) {
      keep[base + static_cast<std::size_t>(column)] = false;
    }
    cleared = std::max(first, end);
  }
  for (std::int64_t column = cleared; column < layout.columns; ++column) {
    keep[base + static_cast<std::size_t>(column)] = false;
  }
}

// Narrows [low, high] to the x where lo <= c * x + d <= hi.
bool Clip(double c, double d, double lo, double hi, double& low, double& high) {
  if (c == 0.0) return d >= lo && d <= hi;
  double a = (lo - d) / c;
  double b = (hi - d) / c;
  if (a > b) std::swap(a, b);
  low = std::max(low, a);
  high = std::min(high, b);
  return low <= high;
}

// Widens [low, high] by the points on the line at `y` within `r` of the
// segment a-b: discs at both ends and the band along the segment.
void AddCapsule(const PlanePoint& a, const PlanePoint& b, double r, double y, double& low,
                double& high) {
  for (const PlanePoint& p : {a, b}) {
    const double d = y - p[1];
    if (std::abs(d) <= r) {
      const double half = std::sqrt(r * r - d * d);
      low = std::min(low, p[0] - half);
      high = std::max(high, p[0] + half);
    }
  }
  const double dx = b[0] - a[0];
  const double dy = b[1] - a[1];
  const double length = std::hypot(dx, dy);
  if (!(length > 0.0)) return;
  const double ux = dx / length;
  const double uy = dy / length;
  // Along the segment s = (p - a) . u in [0, length]; across it
  // t = (p - a) . n in [-r, r], with n = (-uy, ux).
  double from = -kInfinity;
  double to = kInfinity;
  if (Clip(ux, (y - a[1]) * uy - a[0] * ux, 0.0, length, from, to) &&
      Clip(-uy, (y - a[1]) * ux + a[0] * uy, -r, r, from, to)) {
    low = std::min(low, from);
    high = std::max(high, to);
  }
}

double Cross(const PlanePoint& o, const PlanePoint& a, const PlanePoint& b) {
  return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0]);
}

}  // namespace

PolygonRegion::PolygonRegion(const std::vector<std::vector<Ring>>& polygons) {
  for (const std::vector<Ring>& polygon : polygons) {
    for (std::size_t k = 0; k < polygon.size(); ++k) {
      const Ring& ring = polygon[k];
      if (ring.size() < 3) continue;
      // Outer rings counted counter-clockwise, holes clockwise.
      const double area = SignedArea(ring);
      if (area == 0.0) continue;
      const int direction = ((area > 0.0) == (k == 0)) ? 1 : -1;
      for (std::size_t i = 0; i < ring.size(); ++i) {
        const PlanePoint& p = ring[i];
        const PlanePoint& q = ring[(i + 1) % ring.size()];
        if (p[1] == q[1]) continue;  // a level edge crosses no row
        const bool up = q[1] > p[1];
        const PlanePoint& low = up ? p : q;
        const PlanePoint& high = up ? q : p;
        edges_.push_back({low[1], high[1], low[0], (high[0] - low[0]) / (high[1] - low[1]),
                          (up ? 1 : -1) * direction});
      }
    }
  }
  std::sort(edges_.begin(), edges_.end(),
            [](const Edge& a, const Edge& b) { return a.yHigh > b.yHigh; });
}

void PolygonRegion::Restrict(const GridLayout& layout, std::vector<bool>& keep) const {
  // A sweep from the top row down: edges join the active list when the row
  // drops below their top and leave it when it drops below their bottom.
  std::vector<std::size_t> active;
  std::vector<std::pair<double, int>> crossings;
  std::vector<std::pair<double, double>> spans;
  std::size_t next = 0;
  for (std::int64_t row = 0; row < layout.rows; ++row) {
    const double y = layout.Y(row);
    while (next < edges_.size() && edges_[next].yHigh > y) active.push_back(next++);
    std::erase_if(active, [&](std::size_t e) { return edges_[e].yLow > y; });
    crossings.clear();
    for (const std::size_t e : active) {
      const Edge& edge = edges_[e];
      crossings.emplace_back(edge.xAtLow + (y - edge.yLow) * edge.slope, edge.winding);
    }
    std::sort(crossings.begin(), crossings.end());
    spans.clear();
    int winding = 0;
    double start = 0.0;
    for (const auto& [x, turn] : crossings) {
      const int before = winding;
      winding += turn;
      if (before == 0 && winding != 0) start = x;
      if (before != 0 && winding == 0 && x > start) spans.emplace_back(start, x);
    }
    KeepSpans(layout, row, spans, false, keep);
  }
}

HullRegion::HullRegion(std::span<const double> x, std::span<const double> y, double margin)
    : margin_(margin) {
  std::vector<PlanePoint> points;
  points.reserve(x.size());
  for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
    if (std::isfinite(x[i]) && std::isfinite(y[i])) points.push_back({x[i], y[i]});
  }
  std::sort(points.begin(), points.end());
  points.erase(std::unique(points.begin(), points.end()), points.end());
  if (points.size() < 3) {
    hull_ = points;
    return;
  }
  // Andrew's monotone chain: lower hull left to right, upper hull back.
  std::vector<PlanePoint> hull(2 * points.size());
  std::size_t k = 0;
  for (const PlanePoint& p : points) {
    while (k >= 2 && Cross(hull[k - 2], hull[k - 1], p) <= 0.0) --k;
    hull[k++] = p;
  }
  for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
    while (k >= lower && Cross(hull[k - 2], hull[k - 1], points[i]) <= 0.0) --k;
    hull[k++] = points[i];
  }
  hull.resize(k - 1);
  hull_ = std::move(hull);
}

void HullRegion::Restrict(const GridLayout& layout, std::vector<bool>& keep) const {
  std::vector<std::pair<double, double>> spans;
  for (std::int64_t row = 0; row < layout.rows; ++row) {
    const double y = layout.Y(row);
    double low = kInfinity;
    double high = -kInfinity;
    // The grown hull is convex: its part of the row runs from the leftmost
    // to the rightmost point that any edge's capsule gives.
    for (std::size_t i = 0; i < hull_.size(); ++i) {
      AddCapsule(hull_[i], hull_[(i + 1) % hull_.size()], margin_, y, low, high);
    }
    spans.clear();
    if (low <= high) spans.emplace_back(low, high);
    KeepSpans(layout, row, spans, true, keep);
  }
}

}  // namespace mornax::geo
