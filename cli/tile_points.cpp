#include "tile_points.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mornax::batch {

PointSelection SelectPoints(const api::Points& points, const std::array<double, 4>& box,
                            double margin) {
  PointSelection selection;
  for (std::size_t i = 0; i < points.x.size(); ++i) {
    if (points.x[i] < box[0] - margin || points.x[i] > box[2] + margin ||
        points.y[i] < box[1] - margin || points.y[i] > box[3] + margin) {
      continue;
    }
    selection.x.push_back(points.x[i]);
    selection.y.push_back(points.y[i]);
    selection.value.push_back(points.value[i]);
    if (!points.guess.empty()) selection.guess.push_back(points.guess[i]);
  }
  selection.all = selection.x.size() == points.x.size();
  return selection;
}

double FirstMargin(const api::Points& points, int neighbours) {
  if (points.x.empty()) return 0.0;
  const auto [xmin, xmax] = std::minmax_element(points.x.begin(), points.x.end());
  const auto [ymin, ymax] = std::minmax_element(points.y.begin(), points.y.end());
  const double area = (*xmax - *xmin) * (*ymax - *ymin);
  const double perPoint = area / static_cast<double>(std::max<std::size_t>(points.x.size(), 1));
  return 1.5 * std::sqrt(perPoint * std::max(neighbours, 1) / std::numbers::pi);
}

double EdgeDistance(const std::array<double, 4>& box, double margin, double x, double y) {
  return std::min(
      {x - (box[0] - margin), (box[2] + margin) - x, y - (box[1] - margin), (box[3] + margin) - y});
}

}  // namespace mornax::batch
