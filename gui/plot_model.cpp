#include "gui/plot_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace mornax::gui {
namespace {

constexpr double kRangeOvershoot = 1.25;
constexpr double kLagOvershoot = 1.05;
constexpr double kLargestRangeInLags = 4.0;

bool HasRange(int model) {
  return model >= 2 && model <= 4;
}

}  // namespace

int ModelFromReportLine(std::string_view line) {
  std::string name(line.substr(0, std::min<std::size_t>(line.size(), 6)));
  name.erase(0, name.find_first_not_of(' '));
  static constexpr std::pair<const char*, int> kPrefixes[] = {
      {"Polyn", 1}, {"Sphe", 2}, {"Expon", 3}, {"Gaus", 4}, {"De Wi", 5}, {"k_R", 6}};
  for (const auto& [prefix, model] : kPrefixes) {
    if (name.rfind(prefix, 0) == 0) return model;
  }
  return 0;
}

const char* ModelDisplayName(int model) {
  static constexpr const char* kNames[] = {"",         "Polynomial", "Spherical", "Exponential",
                                           "Gaussian", "De Wijsian", "k_Rho"};
  return model >= 1 && model <= 6 ? kNames[model] : "";
}

double EvaluateModel(const FittedModel& m, double h) {
  const double b1 = m.b[0], b2 = m.b[1], b3 = m.b[2];
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double r = HasRange(m.model) && b2 != 0.0 ? std::abs(h) / b2 : nan;
  switch (m.model) {
    case 1:
      return b1 * std::pow(h, b2) + b3;
    case 2:
      return r >= 1.0 ? b3 + b1 : b3 + b1 * r * (1.5 - 0.5 * r * r);
    case 3:
      return b3 + b1 * (1.0 - std::exp(-r));
    case 4:
      return b3 + b1 * (1.0 - std::exp(-r * r));
    case 5:
      return h > 0.0 ? b3 + b2 * std::log(h) : nan;
    case 6:
      return m.lagScale > 0.0 ? b1 * (1.0 + b2 * (1.0 - std::pow(b3, h / m.lagScale))) : nan;
    default:
      return nan;
  }
}

double CurveEnd(const FittedModel& model, double largestLag) {
  const double lagEnd = largestLag * kLagOvershoot;
  if (!HasRange(model.model) || !(model.b[1] > 0.0) || !std::isfinite(model.b[1])) return lagEnd;
  return std::max(lagEnd, std::min(model.b[1] * kRangeOvershoot, largestLag * kLargestRangeInLags));
}

std::vector<QPointF> ModelCurve(const FittedModel& model, double end, int samples) {
  std::vector<QPointF> points;
  if (!(end > 0.0) || !std::isfinite(end) || samples < 2) return points;
  for (int i = 0; i <= samples; ++i) {
    const double h = end * i / samples;
    const double value = EvaluateModel(model, h);
    if (std::isfinite(value)) points.emplace_back(h, value);
  }
  // The spherical model bends at the range: put a point exactly there.
  if (model.model == 2 && model.b[1] > 0.0 && model.b[1] < end) {
    const QPointF corner(model.b[1], EvaluateModel(model, model.b[1]));
    const auto after = std::find_if(points.begin(), points.end(),
                                    [&](const QPointF& p) { return p.x() > corner.x(); });
    points.insert(after, corner);
  }
  return points;
}

}  // namespace mornax::gui
