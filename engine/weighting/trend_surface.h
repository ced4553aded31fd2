// Trend-surface analysis: a polynomial surface z = f(x, y) of degree 1-9
// fitted to all data points by least squares, reported with an analysis of
// variance, and evaluated in place of a weighted mean.
#pragma once

#include <array>
#include <span>

#include "core/run_env.h"
#include "estimation/data_points.h"
#include "estimation/method_numbers.h"
#include "io/record_file.h"

namespace mornax {

inline constexpr int kMaxTrendTerms = 55;  // degree 9

// Number of terms of a full polynomial of this degree, (d + 1)(d + 2) / 2.
constexpr int TrendTermCount(int degree) {
  return (degree + 1) * (degree + 2) / 2;
}

// The fitted surface. Terms run 1, x, y, x^2, xy, y^2, ... (degree by
// degree, falling powers of x). Internally it is held in centred, scaled
// coordinates u = (x - centreX) / scaleX, v = (y - centreY) / scaleY, whose
// normal equations keep their pivots for coordinates of any magnitude.
struct TrendSurface {
  int degree = 0;
  double centreX = 0.0;
  double centreY = 0.0;
  double scaleX = 1.0;
  double scaleY = 1.0;
  std::array<double, kMaxTrendTerms> scaled{};  // coefficients in (u, v)
};

// The analysis of variance of a fitted surface.
struct TrendVariance {
  double ssr = 0.0, ssd = 0.0, sst = 0.0;  // regression, deviation, total
  int regressionFreedom = 0, deviationFreedom = 0, totalFreedom = 0;
  double msr = 0.0, msd = 0.0;  // mean squares
  double fTest = 0.0;
  double goodness = 0.0;
  double correlation = 0.0;
};

// Fits the surface of `degree` to the data set: the coefficients for the raw
// coordinates go to `coefficients` (the constant first), the fitted values to
// `fitted` (one per data point), the analysis of variance to `variance`.
// Returns false, after a message box, for a degree outside 1-9, too few
// points for the degree, values that are all equal, or points that do not
// determine the surface.
bool FitTrend(const RunEnv& env, const DataSet& data, int degree, std::span<double> coefficients,
              std::span<double> fitted, TrendSurface& surface, TrendVariance& variance);

// The trend report of the .lst file: the coefficients ("(1P,E15.3)", one per
// line) and the analysis of variance.
void WriteTrendReport(io::RecordFile& lst, std::span<const double> coefficients,
                      const TrendVariance& variance);

// FitTrend, then WriteTrendReport when the fit succeeded.
bool FitTrendSurface(const RunEnv& env, io::RecordFile& lst, const DataSet& data, int degree,
                     std::span<double> coefficients, std::span<double> fitted,
                     TrendSurface& surface);

// The surface's value at (x, y).
double EvaluateTrend(const TrendSurface& surface, double x, double y);

// Gauss-Jordan elimination without pivoting on the n x n column-major
// matrix `a`, solving a c = b in place (c is left in b). Stops at the first
// pivot of magnitude `tolerance` or less and returns its 1-based row, with b
// as the elimination left it; returns 0 on success.
int GaussJordanSolve(std::span<double> a, std::span<double> b, int n, double tolerance);

}  // namespace mornax
