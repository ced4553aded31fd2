#include "gui/plot_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "api/mornax_arrays.h"

namespace mornax::gui {
namespace {

constexpr int kSpherical = 2;
constexpr int kKRho = 6;
constexpr double kRangeOvershoot = 1.25;
constexpr double kLagOvershoot = 1.05;
constexpr double kLargestRangeInLags = 4.0;

bool HasRange(int model) {
  return model >= 2 && model <= 4;
}

// The model at every distance through the engine. The fit's spherical form
// falls again past its range; the estimators hold the sill there, and so
// does the curve (the fit's value at the range).
std::vector<double> Values(const FittedModel& m, std::vector<double> h) {
  if (m.model == kKRho && !(m.lagScale > 0.0)) {
    return std::vector<double>(h.size(), std::numeric_limits<double>::quiet_NaN());
  }
  if (m.model == kSpherical && m.b[1] > 0.0) {
    for (double& d : h) d = std::min(std::abs(d), m.b[1]);
  }
  return api::FitModelValues(m.model, m.b, h, m.model == kKRho ? m.lagScale : 1.0);
}

}  // namespace

double EvaluateModel(const FittedModel& model, double h) {
  return Values(model, {h}).front();
}

double CurveEnd(const FittedModel& model, double largestLag) {
  const double lagEnd = largestLag * kLagOvershoot;
  if (!HasRange(model.model) || !(model.b[1] > 0.0) || !std::isfinite(model.b[1])) return lagEnd;
  return std::max(lagEnd, std::min(model.b[1] * kRangeOvershoot, largestLag * kLargestRangeInLags));
}

std::vector<QPointF> ModelCurve(const FittedModel& model, double end, int samples) {
  std::vector<QPointF> points;
  if (!(end > 0.0) || !std::isfinite(end) || samples < 2) return points;
  std::vector<double> h;
  for (int i = 0; i <= samples; ++i) h.push_back(end * i / samples);
  // The spherical model bends at the range: put a point exactly there.
  if (model.model == kSpherical && model.b[1] > 0.0 && model.b[1] < end) {
    h.insert(std::upper_bound(h.begin(), h.end(), model.b[1]), model.b[1]);
  }
  const std::vector<double> gamma = Values(model, h);
  for (std::size_t i = 0; i < h.size(); ++i) {
    if (std::isfinite(gamma[i])) points.emplace_back(h[i], gamma[i]);
  }
  return points;
}

}  // namespace mornax::gui
