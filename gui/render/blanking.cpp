#include "gui/render/blanking.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mornax::render {
namespace {

double Cross(QPointF o, QPointF a, QPointF b) {
  return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
}

// The x of every crossing of the rings' edges with the line at height y,
// sorted: the inside lies between the first and second, third and fourth...
std::vector<double> Crossings(const std::vector<QPolygonF>& rings, double y) {
  std::vector<double> xs;
  for (const QPolygonF& ring : rings) {
    const qsizetype n = ring.size();
    for (qsizetype i = 0; i < n; ++i) {
      const QPointF a = ring[i];
      const QPointF b = ring[(i + 1) % n];
      // Half-open in y, so a vertex on the line counts once.
      if ((a.y() <= y) == (b.y() <= y)) continue;
      xs.push_back(a.x() + (y - a.y()) / (b.y() - a.y()) * (b.x() - a.x()));
    }
  }
  std::sort(xs.begin(), xs.end());
  return xs;
}

bool InsideCrossings(const std::vector<double>& xs, double x) {
  const auto above = std::upper_bound(xs.begin(), xs.end(), x);
  return (above - xs.begin()) % 2 == 1;
}

}  // namespace

QPolygonF ConvexHull(std::vector<QPointF> points) {
  std::erase_if(points, [](QPointF p) { return !std::isfinite(p.x()) || !std::isfinite(p.y()); });
  std::sort(points.begin(), points.end(), [](QPointF a, QPointF b) {
    return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y());
  });
  points.erase(std::unique(points.begin(), points.end()), points.end());
  if (points.size() < 3) return {};
  // Andrew's monotone chain: the lower hull, then the upper.
  std::vector<QPointF> hull(2 * points.size());
  std::size_t k = 0;
  for (const QPointF& p : points) {
    while (k >= 2 && Cross(hull[k - 2], hull[k - 1], p) <= 0) --k;
    hull[k++] = p;
  }
  for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
    while (k >= lower && Cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
    hull[k++] = points[i];
  }
  hull.resize(k - 1);
  if (hull.size() < 3) return {};
  return QPolygonF(QList<QPointF>(hull.begin(), hull.end()));
}

bool InsideRings(const std::vector<QPolygonF>& rings, QPointF point) {
  return InsideCrossings(Crossings(rings, point.y()), point.x());
}

std::size_t BlankGridOutside(GridSurface& grid, const std::vector<QPolygonF>& rings) {
  // A node on an edge of the area counts as inside: it is tested a hair to
  // each side of its row and column, and kept when any of them is inside.
  const double ex = grid.dx * 1e-9;
  const double ey = grid.dy * 1e-9;
  std::size_t blanked = 0;
  for (int row = 0; row < grid.rows; ++row) {
    const double y = grid.y0 + row * grid.dy;
    const std::vector<double> below = Crossings(rings, y - ey);
    const std::vector<double> above = Crossings(rings, y + ey);
    for (int col = 0; col < grid.cols; ++col) {
      double& value = grid.values[static_cast<std::size_t>(row) * grid.cols + col];
      if (std::isnan(value)) continue;
      const double x = grid.x0 + col * grid.dx;
      if (InsideCrossings(below, x - ex) || InsideCrossings(below, x + ex) ||
          InsideCrossings(above, x - ex) || InsideCrossings(above, x + ex)) {
        continue;
      }
      value = std::numeric_limits<double>::quiet_NaN();
      ++blanked;
    }
  }
  return blanked;
}

std::size_t BlankPointsOutside(std::vector<ValuePoint>& points,
                               const std::vector<QPolygonF>& rings) {
  std::size_t blanked = 0;
  for (ValuePoint& p : points) {
    if (std::isnan(p.value) || InsideRings(rings, QPointF(p.x, p.y))) continue;
    p.value = std::numeric_limits<double>::quiet_NaN();
    ++blanked;
  }
  return blanked;
}

}  // namespace mornax::render
