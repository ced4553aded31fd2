// A semivariogram model as a curve for the plot: the model number and
// parameters B1-B3 (of a fit report, or as the user shapes them), evaluated
// by the engine's formulas from distance 0 to past the range.
#pragma once

#include <array>
#include <vector>

#include <QPointF>

namespace mornax::gui {

struct FittedModel {
  int model = 0;              // 1 Polynomial ... 6 k_Rho; 0 unknown
  std::array<double, 3> b{};  // B1, B2, B3 as the report lists them
  double lagScale = 1.0;      // k_Rho: the fit's distance unit (first lag)
};

// γ(h) of the model in the fit's form. Spherical is flat at the sill beyond
// the range, as the estimators use it; not finite where the model is
// undefined (De Wijsian at h = 0).
double EvaluateModel(const FittedModel& model, double h);

// The distance the curve runs to: past the range for the models that have
// one (at most four times the largest lag), a little past the last lag for
// the others.
double CurveEnd(const FittedModel& model, double largestLag);

// Points of the curve over [0, end] (finite values only, in order).
std::vector<QPointF> ModelCurve(const FittedModel& model, double end, int samples = 200);

}  // namespace mornax::gui
