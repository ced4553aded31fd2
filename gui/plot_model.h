// The fitted semivariogram model as a curve for the plot: the model number
// and parameters B1-B3 of a solution report, evaluated from distance 0 to
// past the range.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include <QPointF>

namespace mornax::gui {

struct FittedModel {
  int model = 0;              // 1 Polynomial ... 6 k_Rho; 0 unknown
  std::array<double, 3> b{};  // B1, B2, B3 as the report lists them
  double lagScale = 1.0;      // k_Rho: the fit's distance unit (first lag)
};

// The model number from the report's model line, which starts with the
// first five characters of the model's name (" Sphe", "Expon", ...); 0 when
// it names none.
int ModelFromReportLine(std::string_view line);
// "Spherical", ...; empty for 0.
const char* ModelDisplayName(int model);

// γ(h) of the fitted model. Spherical is flat at the sill beyond the range,
// as the estimators use it; NaN where the model is undefined (De Wijsian at
// h = 0).
double EvaluateModel(const FittedModel& model, double h);

// The distance the curve runs to: past the range for the models that have
// one (at most four times the largest lag), a little past the last lag for
// the others.
double CurveEnd(const FittedModel& model, double largestLag);

// Points of the curve over [0, end] (finite values only, in order).
std::vector<QPointF> ModelCurve(const FittedModel& model, double end, int samples = 200);

}  // namespace mornax::gui
