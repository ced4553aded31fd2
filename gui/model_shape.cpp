#include "gui/model_shape.h"

#include <algorithm>
#include <cmath>

#include "api/mornax_arrays.h"

namespace mornax::gui {
namespace {

constexpr int kPolynomial = 1;
constexpr int kDeWijsian = 5;
constexpr int kKRho = 6;
constexpr double kBoundFactor = 10.0;
constexpr double kLowestPower = 0.1, kHighestPower = 1.99;
constexpr double kLowestRho = 0.001, kHighestRho = 0.9999;
constexpr double kReachFactor = 2.0;

bool HasSill(int model) {
  return model >= 2 && model <= 4;
}

// A tenth to ten times a positive value; around another by `spread`.
void Around(double value, double spread, double& low, double& high) {
  if (value > 0.0) {
    low = value / kBoundFactor;
    high = value * kBoundFactor;
  } else {
    const double width = std::max({std::abs(value), spread, 1.0});
    low = value - width;
    high = value + width;
  }
}

}  // namespace

std::array<std::string, 3> ShapeLabels(int model) {
  if (HasSill(model)) return {"Sill", "Range", "Nugget"};
  return api::ModelParameterLabels(model);
}

Triple ShapeToB(int model, const Triple& shape) {
  if (!HasSill(model)) return shape;
  return {shape[0] - shape[2], shape[1], shape[2]};
}

Triple BToShape(int model, const Triple& b) {
  if (!HasSill(model)) return b;
  return {b[0] + b[2], b[1], b[2]};
}

SliderReach ShapeReach(int model, const Triple& shape, double largestDistance,
                       double largestSemivariance) {
  const double gamma = largestSemivariance > 0.0 ? largestSemivariance : 1.0;
  const double distance = largestDistance > 0.0 ? largestDistance : 1.0;
  SliderReach reach;
  if (HasSill(model)) {
    reach.high = {kReachFactor * gamma, kReachFactor * distance, gamma};
  } else if (model == kPolynomial) {
    reach.high = {gamma / std::sqrt(distance), kHighestPower, gamma};
    reach.low[1] = kLowestPower;
  } else if (model == kDeWijsian) {
    reach.high = {1.0, gamma, gamma};
    reach.low[2] = -gamma;
  } else if (model == kKRho) {
    reach.high = {gamma, 100.0, kHighestRho};
    reach.low[2] = kLowestRho;
  } else {
    reach.high = {gamma, distance, gamma};
  }
  for (std::size_t j = 0; j < 3; ++j) {
    if (!std::isfinite(shape[j])) continue;
    reach.low[j] = std::min(reach.low[j], shape[j]);
    reach.high[j] = std::max(reach.high[j], shape[j]);
  }
  return reach;
}

FitStart ShapedFitStart(int model, const Triple& b, double largestSemivariance, int classCount) {
  FitStart start;
  start.initial = b;
  start.classCount = classCount;
  const double spread = std::max(largestSemivariance, 0.0);
  for (std::size_t j = 0; j < 3; ++j) Around(b[j], spread, start.minimum[j], start.maximum[j]);
  if (HasSill(model)) {
    // The nugget from none to the whole sill.
    start.minimum[2] = 0.0;
    start.maximum[2] = std::max({b[0] + b[2], b[2], spread});
  } else if (model == kPolynomial) {
    start.minimum[1] = std::min(kLowestPower, b[1]);
    start.maximum[1] = std::max(kHighestPower, b[1]);
    start.minimum[2] = std::min(0.0, b[2]);
    start.maximum[2] = std::max({b[2], spread, 0.0});
  } else if (model == kDeWijsian) {
    start.minimum[0] = start.maximum[0] = start.initial[0] = 0.0;  // B1 does not enter
  } else if (model == kKRho) {
    start.minimum[2] = std::min(kLowestRho, b[2]);
    start.maximum[2] = std::max(kHighestRho, b[2]);
  }
  start.sill = HasSill(model) ? b[0] + b[2] : 0.0;
  start.nugget = b[2];
  start.reach = b[1];
  return start;
}

}  // namespace mornax::gui

namespace mornax::gui {

std::string ShapeProblem(int model, const Triple& shape) {
  const std::array<std::string, 3> labels = ShapeLabels(model);
  for (std::size_t j = 0; j < 3; ++j) {
    if (!std::isfinite(shape[j])) return labels[j] + " is no finite number";
  }
  if (HasSill(model)) {
    if (!(shape[1] > 0.0)) return "the range must be above 0";
    if (shape[2] < 0.0) return "the nugget must not be below 0";
    if (shape[2] > shape[0]) return "the nugget must not exceed the sill";
  } else if (model == kPolynomial) {
    if (!(shape[1] > 0.0 && shape[1] < 2.0)) return "the power must lie between 0 and 2";
  } else if (model == kDeWijsian) {
    if (!(shape[1] > 0.0)) return "the factor of ln h must be above 0";
  } else if (model == kKRho) {
    if (!(shape[0] > 0.0) || !(shape[1] > 0.0)) return "sigma and k must be above 0";
    if (!(shape[2] > 0.0 && shape[2] <= 1.0)) return "rho must lie above 0, at most 1";
  } else {
    return "no such model";
  }
  return {};
}

}  // namespace mornax::gui
