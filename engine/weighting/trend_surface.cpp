#include "weighting/trend_surface.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "io/fortran_format.h"

namespace mornax {
namespace {

constexpr double kPivotTolerance = 1.0e-8;

constexpr std::string_view kDegreeNotValid = "Degree of Trendsurface not valid";
constexpr std::string_view kTooFewPoints = "Not enough Data Points for the Trendsurface Degree";
constexpr std::string_view kValuesEqual = "Data values all equal, no Trendsurface Analysis";
constexpr std::string_view kSingular =
    "Trendsurface System singular, the Data Points do not determine the Surface";

// 0-based place of the term x^a y^b: degree j = a + b starts at j(j+1)/2,
// falling powers of x within it.
constexpr int TermIndex(int a, int b) {
  return (a + b) * (a + b + 1) / 2 + b;
}

// Term vector of (u, v): each term of degree j is a term of degree j - 1
// times u, the last one the last term of degree j - 1 times v.
void FormTerms(double u, double v, int degree, double* terms) {
  terms[0] = 1.0;
  for (int j = 1; j <= degree; ++j) {
    const int previous = (j - 1) * j / 2;
    const int current = j * (j + 1) / 2;
    for (int m = 0; m < j; ++m) terms[current + m] = terms[previous + m] * u;
    terms[current + j] = terms[previous + j - 1] * v;
  }
}

// The power of two at or above half the spread of the values, so that the
// scaled coordinates lie in [-1, 1] and scaling rounds nothing.
double ScaleFor(double low, double high) {
  const double half = (high - low) * 0.5;
  if (!(half > 0.0) || !std::isfinite(half)) return 1.0;
  int exponent = 0;
  std::frexp(half, &exponent);
  return std::ldexp(1.0, exponent);
}

// Coefficients of ((t - centre) / scale)^a as a polynomial in t, for every
// a up to the degree: powers[a][p] multiplies t^p.
using PowerTable = std::array<std::array<double, kHighestTrendDegree + 1>, kHighestTrendDegree + 1>;
PowerTable ExpandPowers(double centre, double scale, int degree) {
  const double slope = 1.0 / scale;
  const double offset = -centre / scale;
  PowerTable powers{};
  powers[0][0] = 1.0;
  for (int a = 1; a <= degree; ++a) {
    // (slope t + offset) times the previous power.
    for (int p = 0; p <= a; ++p) {
      const double shifted = p > 0 ? powers[a - 1][p - 1] * slope : 0.0;
      const double kept = p < a ? powers[a - 1][p] * offset : 0.0;
      powers[a][p] = shifted + kept;
    }
  }
  return powers;
}

// The coefficients for raw x and y, in term order, from those in (u, v).
void RawCoefficients(const TrendSurface& surface, std::span<double> raw) {
  const int degree = surface.degree;
  const int terms = TrendTermCount(degree);
  const PowerTable xPowers = ExpandPowers(surface.centreX, surface.scaleX, degree);
  const PowerTable yPowers = ExpandPowers(surface.centreY, surface.scaleY, degree);
  std::fill(raw.begin(), raw.begin() + terms, 0.0);
  for (int j = 0; j <= degree; ++j) {
    for (int b = 0; b <= j; ++b) {
      const int a = j - b;
      const double c = surface.scaled[static_cast<std::size_t>(TermIndex(a, b))];
      for (int p = 0; p <= a; ++p) {
        for (int q = 0; q <= b; ++q) {
          raw[static_cast<std::size_t>(TermIndex(p, q))] +=
              c * xPowers[static_cast<std::size_t>(a)][static_cast<std::size_t>(p)] *
              yPowers[static_cast<std::size_t>(b)][static_cast<std::size_t>(q)];
        }
      }
    }
  }
}

TrendVariance AnalyseVariance(const DataSet& data, int terms, std::span<const double> fitted) {
  const int n = data.count;
  double sz = 0.0, szz = 0.0, sf = 0.0, sff = 0.0;
  for (int i = 0; i < n; ++i) {
    sz += data.z[i];
    szz += data.z[i] * data.z[i];
    sf += fitted[static_cast<std::size_t>(i)];
    sff += fitted[static_cast<std::size_t>(i)] * fitted[static_cast<std::size_t>(i)];
  }
  TrendVariance v;
  v.sst = szz - sz * sz / n;
  v.ssr = sff - sf * sf / n;
  v.msr = v.ssr / (terms - 1);
  v.ssd = v.sst - v.ssr;
  v.msd = v.ssd / (n - terms);
  // A surface through every point leaves no deviation and an unbounded
  // F-test value, which shows as a full field of asterisks.
  v.fTest = v.msd > 0.0 ? v.msr / v.msd : std::numeric_limits<double>::max();
  v.goodness = v.ssr / v.sst;
  v.correlation = std::sqrt(std::max(v.goodness, 0.0));
  v.regressionFreedom = terms - 1;
  v.deviationFreedom = n - terms;
  v.totalFreedom = n - 1;
  return v;
}

}  // namespace

int GaussJordanSolve(std::span<double> a, std::span<double> b, int n, double tolerance) {
  const auto size = static_cast<std::size_t>(n);
  auto at = [&](std::size_t row, std::size_t column) -> double& { return a[column * size + row]; };
  for (std::size_t k = 0; k < size; ++k) {
    const double pivot = at(k, k);
    if (std::fabs(pivot) <= tolerance) return static_cast<int>(k) + 1;
    for (std::size_t j = 0; j < size; ++j) at(k, j) = at(k, j) / pivot;
    b[k] = b[k] / pivot;
    for (std::size_t i = 0; i < size; ++i) {
      if (i == k) continue;
      const double factor = at(i, k);
      for (std::size_t j = 0; j < size; ++j) at(i, j) = at(i, j) - at(k, j) * factor;
      b[i] = b[i] - b[k] * factor;
    }
  }
  return 0;
}

double EvaluateTrend(const TrendSurface& surface, double x, double y) {
  std::array<double, kMaxTrendTerms> terms;
  const double u = (x - surface.centreX) / surface.scaleX;
  const double v = (y - surface.centreY) / surface.scaleY;
  FormTerms(u, v, surface.degree, terms.data());
  double value = 0.0;
  const int count = TrendTermCount(surface.degree);
  for (int k = 0; k < count; ++k) {
    value += surface.scaled[static_cast<std::size_t>(k)] * terms[static_cast<std::size_t>(k)];
  }
  return value;
}

bool FitTrend(const RunEnv& env, const DataSet& data, int degree, std::span<double> coefficients,
              std::span<double> fitted, TrendSurface& surface, TrendVariance& variance) {
  if (degree < kLowestTrendDegree || degree > kHighestTrendDegree) {
    env.Error(api::MessageCode::kDegreeNotValid, kDegreeNotValid);
    return false;
  }
  const int terms = TrendTermCount(degree);
  const int n = data.count;
  if (coefficients.size() < static_cast<std::size_t>(terms) ||
      fitted.size() < static_cast<std::size_t>(n)) {
    env.Error(api::MessageCode::kDegreeNotValid, kDegreeNotValid);
    return false;
  }
  if (n <= terms) {
    env.Error(api::MessageCode::kTooFewPoints, kTooFewPoints);
    return false;
  }
  double sz = 0.0, szz = 0.0;
  for (int i = 0; i < n; ++i) {
    sz += data.z[i];
    szz += data.z[i] * data.z[i];
  }
  if (data.zmin == data.zmax || !(szz - sz * sz / n > 0.0)) {
    env.Error(api::MessageCode::kValuesEqual, kValuesEqual);
    return false;
  }

  surface = TrendSurface{};
  surface.degree = degree;
  const auto [xLow, xHigh] = std::minmax_element(data.x.begin(), data.x.begin() + n);
  const auto [yLow, yHigh] = std::minmax_element(data.y.begin(), data.y.begin() + n);
  surface.centreX = (*xLow + *xHigh) * 0.5;
  surface.centreY = (*yLow + *yHigh) * 0.5;
  surface.scaleX = ScaleFor(*xLow, *xHigh);
  surface.scaleY = ScaleFor(*yLow, *yHigh);

  // Normal equations in (u, v); the matrix is symmetric, so the upper
  // triangle is summed and mirrored.
  const auto size = static_cast<std::size_t>(terms);
  std::vector<double> a(size * size, 0.0);
  std::vector<double> b(size, 0.0);
  std::array<double, kMaxTrendTerms> p;
  for (int i = 0; i < n; ++i) {
    FormTerms((data.x[i] - surface.centreX) / surface.scaleX,
              (data.y[i] - surface.centreY) / surface.scaleY, degree, p.data());
    for (std::size_t r = 0; r < size; ++r) {
      b[r] += p[r] * data.z[i];
      for (std::size_t c = r; c < size; ++c) a[c * size + r] += p[r] * p[c];
    }
  }
  for (std::size_t r = 0; r < size; ++r) {
    for (std::size_t c = r + 1; c < size; ++c) a[r * size + c] = a[c * size + r];
  }

  // Scaling rows and columns by powers of two brings the diagonal near 1, so
  // the pivot tolerance measures how far each term is from being a
  // combination of the ones before it.
  std::array<double, kMaxTrendTerms> rowScale;
  for (std::size_t r = 0; r < size; ++r) {
    const double diagonal = a[r * size + r];
    if (!(diagonal > 0.0) || !std::isfinite(diagonal)) {
      env.Error(api::MessageCode::kTrendSingular, kSingular);
      return false;
    }
    int exponent = 0;
    std::frexp(diagonal, &exponent);
    rowScale[r] = std::ldexp(1.0, -exponent / 2);
  }
  for (std::size_t c = 0; c < size; ++c) {
    for (std::size_t r = 0; r < size; ++r) a[c * size + r] *= rowScale[r] * rowScale[c];
    b[c] *= rowScale[c];
  }
  if (GaussJordanSolve(a, b, terms, kPivotTolerance) != 0) {
    env.Error(api::MessageCode::kTrendSingular, kSingular);
    return false;
  }
  for (std::size_t r = 0; r < size; ++r) surface.scaled[r] = b[r] * rowScale[r];

  RawCoefficients(surface, coefficients);
  for (int i = 0; i < n; ++i) {
    fitted[static_cast<std::size_t>(i)] = EvaluateTrend(surface, data.x[i], data.y[i]);
  }
  variance = AnalyseVariance(data, terms, fitted);
  return true;
}

void WriteTrendReport(io::RecordFile& lst, std::span<const double> coefficients,
                      const TrendVariance& v) {
  static const io::FortranFormat kCaption(
      "(/,/,1X,' Trend Surface Coefficients',3X,'(1 = constant term)')");
  static const io::FortranFormat kCoefficient("(1P,E15.3)");
  static const io::FortranFormat kHeading(
      "(/,/,' Source of',13X,'Sum of   Degrees of    Mean',/,' Variation',13X,"
      "'Squares   Freedom     Squares    F-Test',/,1X,60('-'))");
  static const io::FortranFormat kRegression("(1X,'Regression',10X,F10.2,I8,2X,F10.2,1X,F10.4)");
  static const io::FortranFormat kDeviation("(1X,'Deviation',11X,F10.2,I8,2X,F10.2)");
  static const io::FortranFormat kTotal("(1X,'Total Variation',5X,F10.2,I8)");
  static const io::FortranFormat kGoodness(
      "(10X,' Goodness of Fit = ',F10.4,/,10X,' Correlation Coefficient = ',F10.4)");

  lst.Write(kCaption);
  std::vector<io::FortranValue> values(coefficients.begin(), coefficients.end());
  std::string records;
  kCoefficient.Render(values, records);
  lst.Put(records);

  lst.Write(kHeading);
  lst.Write(kRegression, v.ssr, v.regressionFreedom, v.msr, v.fTest);
  lst.Write(kDeviation, v.ssd, v.deviationFreedom, v.msd);
  lst.Write(kTotal, v.sst, v.totalFreedom);
  lst.Write(kGoodness, v.goodness, v.correlation);
}

bool FitTrendSurface(const RunEnv& env, io::RecordFile& lst, const DataSet& data, int degree,
                     std::span<double> coefficients, std::span<double> fitted,
                     TrendSurface& surface) {
  TrendVariance variance;
  if (!FitTrend(env, data, degree, coefficients, fitted, surface, variance)) return false;
  WriteTrendReport(lst, coefficients.first(static_cast<std::size_t>(TrendTermCount(degree))),
                   variance);
  return true;
}

}  // namespace mornax
