// The kriging system and estimate: the semivariogram at the distances where
// its branches meet, the drift terms, the factorisation and substitution, and
// whole estimates checked by hand and against an independent solution of the
// same system in full double precision.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "kriging/kriging_drift.h"
#include "kriging/kriging_estimate.h"
#include "kriging/lu_solve.h"
#include "models/variogram_models.h"
#include "support/kriging_harness.h"
#include "support/recorder_messages.h"

namespace mornax {
namespace {

using testing::RecorderMessages;

// --- Semivariogram -------------------------------------------------------

double Gamma(int model, double h, double sill, double c, double c0, double a) {
  return KrigingVariogram(0.0, h, 0.0, 0.0, VariogramModel{model, sill, c, c0, a});
}

TEST(KrigingVariogram, BranchesMeetWhereTheFormulasSay) {
  // Sill 12 differs from C + C0 = 10, so each branch shows which one ran.
  // Spherical: h = a is still the formula, C (1.5 - 0.5) + C0.
  EXPECT_DOUBLE_EQ(Gamma(kSphericalModel, 100.0, 12, 8, 2, 100), 10.0);
  EXPECT_DOUBLE_EQ(Gamma(kSphericalModel, 100.0001, 12, 8, 2, 100), 12.0);
  EXPECT_DOUBLE_EQ(Gamma(kSphericalModel, 50.0, 12, 8, 2, 100), 8 * (0.75 - 0.0625) + 2);
  // Exponential: cut to the sill at r = 50, not at a practical range.
  EXPECT_DOUBLE_EQ(Gamma(kExponentialModel, 500.0, 12, 8, 2, 10), 12.0);
  EXPECT_NEAR(Gamma(kExponentialModel, 499.0, 12, 8, 2, 10), 10.0, 1e-12);
  EXPECT_DOUBLE_EQ(Gamma(kExponentialModel, 10.0, 12, 8, 2, 10), 8 * (1 - std::exp(-1.0)) + 2);
  // Gaussian: cut at r^2 = 50 (r = 7.071...).
  EXPECT_DOUBLE_EQ(Gamma(kGaussianModel, 7.08, 12, 8, 2, 1), 12.0);
  EXPECT_NEAR(Gamma(kGaussianModel, 7.07, 12, 8, 2, 1), 10.0, 1e-12);
  EXPECT_DOUBLE_EQ(Gamma(kGaussianModel, 1.0, 12, 8, 2, 1), 8 * (1 - std::exp(-1.0)) + 2);
  // Polynomial: C h^a + C0, never above the sill.
  EXPECT_DOUBLE_EQ(Gamma(kPolynomialModel, 1.0, 12, 8, 2, 0.5), 10.0);
  EXPECT_DOUBLE_EQ(Gamma(kPolynomialModel, 4.0, 12, 8, 2, 0.5), 12.0);
  // Model numbers other than 2-5 are the polynomial.
  EXPECT_DOUBLE_EQ(Gamma(7, 1.0, 12, 8, 2, 0.5), 10.0);
  // De Wijsian: a ln h + C0, a negative value becomes 0.
  EXPECT_DOUBLE_EQ(Gamma(kDeWijsianModel, std::exp(2.0), 12, 8, -3, 2), 1.0);
  EXPECT_DOUBLE_EQ(Gamma(kDeWijsianModel, std::exp(1.0), 12, 8, -3, 2), 0.0);
}

TEST(KrigingVariogram, ZeroDistanceIsZeroWhateverTheNugget) {
  for (int model = 1; model <= 5; ++model) {
    EXPECT_EQ(KrigingVariogram(3.0, 3.0, -4.0, -4.0, VariogramModel{model, 12, 8, 2, 100}), 0.0)
        << model;
  }
  // The distance is measured in both coordinates.
  EXPECT_DOUBLE_EQ(KrigingVariogram(0, 30, 0, 40, VariogramModel{kSphericalModel, 12, 8, 2, 100}),
                   8 * (1.5 * 0.5 - 0.5 * 0.125) + 2);
}

// --- Drift ---------------------------------------------------------------

TEST(KrigingDrift, TermsAreLocalToTheNeighbourhood) {
  EXPECT_EQ(DriftTermCount(0), 1);
  EXPECT_EQ(DriftTermCount(1), 3);
  EXPECT_EQ(DriftTermCount(2), 6);
  EXPECT_EQ(DriftTermCount(3), 0);
  EXPECT_EQ(DriftTermCount(-1), 0);

  // Neighbours over x -9..-2 and y -7..-1 (the fourth is not a neighbour):
  // centre (-5.5, -4), half-extents 3.5 and 3, the larger divides both.
  const std::vector<double> xn{-5, -2, -9, 100};
  const std::vector<double> yn{-7, -3, -1, 50};
  const DriftFrame frame = NeighbourFrame(xn, yn, 3);
  EXPECT_EQ(frame.centreX, -5.5);
  EXPECT_EQ(frame.centreY, -4);
  EXPECT_EQ(frame.scale, 3.5);
  EXPECT_DOUBLE_EQ(DriftTerm(-2, -1, 1, 0, frame), 1.0);
  EXPECT_DOUBLE_EQ(DriftTerm(-2, -1, 0, 1, frame), 3 / 3.5);
  EXPECT_DOUBLE_EQ(DriftTerm(-9, -1, 1, 1, frame), -3 / 3.5);
  EXPECT_DOUBLE_EQ(DriftTerm(-9, -7, 0, 2, frame), 9 / 12.25);
  // The constant term is exactly 1, anywhere.
  EXPECT_EQ(DriftTerm(1e300, -4e9, 0, 0, frame), 1.0);

  // Neighbours in one place: nothing to divide by, the scale is 1.
  const DriftFrame one =
      NeighbourFrame(std::vector<double>{5e6, 5e6}, std::vector<double>{4e6, 4e6}, 2);
  EXPECT_EQ(one.scale, 1.0);
  EXPECT_EQ(DriftTerm(5e6 + 2, 4e6, 1, 0, one), 2.0);
  // Coordinates near the largest double do not overflow into the frame.
  const DriftFrame huge =
      NeighbourFrame(std::vector<double>{-1.5e308, 1.5e308}, std::vector<double>{0, 1}, 2);
  EXPECT_EQ(huge.centreX, 0.0);
  EXPECT_EQ(huge.scale, 1.5e308);
  EXPECT_EQ(DriftTerm(1.5e308, 0, 1, 0, huge), 1.0);
}

// Drift columns 1, u, v (and u^2, v^2, uv) of points, stored as in the
// system matrix, and the rounding of their frame.
struct Columns {
  std::vector<double> values;
  double rounding;
};

Columns DriftColumns(const std::vector<double>& x, const std::vector<double>& y, int terms) {
  const auto n = static_cast<int>(x.size());
  const DriftFrame frame = NeighbourFrame(x, y, n);
  Columns columns{std::vector<double>(x.size() * static_cast<std::size_t>(terms)), frame.rounding};
  for (int t = 0; t < terms; ++t) {
    for (int k = 0; k < n; ++k) {
      columns.values[static_cast<std::size_t>(t * n + k)] =
          DriftTerm(x[k], y[k], kDriftXExponents[t], kDriftYExponents[t], frame);
    }
  }
  return columns;
}

bool Degenerate(const std::vector<double>& x, const std::vector<double>& y, int terms) {
  const Columns c = DriftColumns(x, y, terms);
  const auto n = static_cast<int>(x.size());
  return DriftIsDegenerate(c.values.data(), n, n, terms, c.rounding);
}

std::vector<double> Moved(std::vector<double> v, double by) {
  for (double& e : v) e += by;
  return v;
}

TEST(KrigingDrift, DependentColumnsAreFoundAndNearlyDependentOnesKept) {
  // Five points on the line y = 2x + 1, and five 5,000 km from the origin on
  // a line whose coordinates lie on it only to their last place: no
  // first-order drift can be fitted.
  const std::vector<double> lx{0.3, 1.7, 2.9, 4.1, 7.3};
  std::vector<double> ly, fx, fy;
  for (double x : lx) {
    ly.push_back(2 * x + 1);
    fx.push_back(5.0e6 + x);
    fy.push_back(4.2e6 + 0.7 * (fx.back() - 5.0e6) / 3);
  }
  for (const auto& [x, y] : {std::pair{lx, ly}, std::pair{fx, fy}}) {
    SCOPED_TRACE(x[0]);
    EXPECT_TRUE(Degenerate(x, y, 3));
    EXPECT_TRUE(Degenerate(x, y, 6));
    EXPECT_FALSE(Degenerate(x, y, 1));
    // One point a millimetre off the line, seven metres long.
    std::vector<double> off = y;
    off[2] += 0.001;
    EXPECT_FALSE(Degenerate(x, off, 3));
  }

  // Six points on a circle: 1, u^2 and v^2 are dependent, 1, u, v are not.
  std::vector<double> cx, cy;
  for (int k = 0; k < 6; ++k) {
    cx.push_back(100 + 30 * std::cos(0.9 * k + 0.2));
    cy.push_back(200 + 30 * std::sin(0.9 * k + 0.2));
  }
  EXPECT_FALSE(Degenerate(cx, cy, 3));
  EXPECT_TRUE(Degenerate(cx, cy, 6));
  EXPECT_TRUE(Degenerate(Moved(cx, 5.0e6), Moved(cy, 4.2e6), 6));

  // A cluster 200 m wide about 5,000 km from the origin, and one 2 m wide:
  // order 2 is determined.
  const std::vector<double> clusterX{0, 200, 50, 130, 180, 20, 90};
  const std::vector<double> clusterY{10, 150, 190, 0, 70, 120, 40};
  EXPECT_FALSE(Degenerate(Moved(clusterX, 5.0e6), Moved(clusterY, 4.2e6), 6));
  std::vector<double> sx = clusterX, sy = clusterY;
  for (double& x : sx) x = 5.0e6 + x / 100;
  for (double& y : sy) y = 4.2e6 + y / 100;
  EXPECT_FALSE(Degenerate(sx, sy, 6));

  // Fewer points than terms.
  EXPECT_TRUE(Degenerate({1, 2}, {3, 5}, 3));
}

// --- Factorisation and substitution --------------------------------------

TEST(LuSolve, PivotsOnTheFirstLargestAndStoresNegatedMultipliers) {
  // Column-major [[1, 2, 0], [-1, 1, 1], [0.5, 0, 3]]: rows 1 and 2 tie in
  // column 1 and row 1 stays; in column 2 row 2 (3) beats row 3 (-1).
  std::vector<double> a{1, -1, 0.5, 2, 1, 0, 0, 1, 3};
  std::vector<double> pivot(3, 0.0);
  LuDecompose(3, 3, a.data(), pivot.data());
  EXPECT_EQ(pivot[0], 1.0);
  EXPECT_EQ(pivot[1], 2.0);
  const std::vector<double> factor{1, 1, -0.5, 2, 3, 1.0 / 3, 0, 1, 3 + 1.0 / 3};
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_DOUBLE_EQ(a[i], factor[i]) << i;

  RecorderMessages messages;
  std::vector<double> b{3, 1, 3.5};  // A (1, 1, 1)
  EXPECT_EQ(SOLV(messages, 3, 3, a.data(), b.data(), pivot.data()), 0);
  for (double v : b) EXPECT_DOUBLE_EQ(v, 1.0);
  EXPECT_TRUE(messages.output.empty());
}

TEST(LuSolve, InterchangesRowsWithinALargerLeadingDimension) {
  // The 2 x 2 block [[0, 1], [1, 0]] in a 3 x 3 store; the third row and
  // column must stay untouched.
  std::vector<double> a{0, 1, 99, 1, 0, 99, 99, 99, 99};
  std::vector<double> pivot(2, 0.0);
  LuDecompose(3, 2, a.data(), pivot.data());
  EXPECT_EQ(pivot[0], 2.0);
  std::vector<double> b{5, 7, 99};
  RecorderMessages messages;
  EXPECT_EQ(SOLV(messages, 3, 2, a.data(), b.data(), pivot.data()), 0);
  EXPECT_EQ(b, (std::vector<double>{7, 5, 99}));
  EXPECT_EQ(a[2], 99);
  EXPECT_EQ(a[8], 99);
}

TEST(LuSolve, ZeroDivisorWritesItsLineAndIsCounted) {
  std::vector<double> a{1, 1, 1, 1};
  std::vector<double> pivot(2, 0.0);
  LuDecompose(2, 2, a.data(), pivot.data());
  std::vector<double> b{1, 2};
  RecorderMessages messages;
  EXPECT_EQ(SOLV(messages, 2, 2, a.data(), b.data(), pivot.data()), 1);
  EXPECT_EQ(messages.output, (std::vector<std::string>{"  DIVIDE BY ZERO in SOLV"}));
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_TRUE(messages.lines.empty());
}

// --- Estimates -------------------------------------------------------------

using Kriging = testing::KrigingHarness;

TEST(KrigingEstimate, TwoPointsOrderZeroWeighHalfAndHalf) {
  // Exponential, Sill 1 = C, a = 10; the target halfway: b = (g5, g5, 1),
  // lambda = (1/2, 1/2), mu = g5 - g10/2, v = 2 g5 - g10/2.
  Kriging k({0, 10}, {0, 0}, {2, 4});
  const auto p = k.Parameters({kExponentialModel, 1, 1, 0, 10}, 2, 0);
  const KrigingResult r = k.At(p, 5, 0);
  const double g5 = 1 - std::exp(-0.5);
  const double g10 = 1 - std::exp(-1.0);
  EXPECT_DOUBLE_EQ(k.RightHandSide(0), g5);
  EXPECT_DOUBLE_EQ(k.RightHandSide(1), g5);
  EXPECT_DOUBLE_EQ(k.RightHandSide(2), 1.0);
  EXPECT_NEAR(k.Solution(0), 0.5, 1e-15);
  EXPECT_NEAR(k.Solution(1), 0.5, 1e-15);
  EXPECT_NEAR(k.Solution(2), g5 - g10 / 2, 1e-15);
  EXPECT_NEAR(r.estimate, 3.0, 1e-14);
  EXPECT_NEAR(r.standardError, std::sqrt(2 * g5 - g10 / 2), 1e-14);
  EXPECT_FALSE(r.singular);
}

TEST(KrigingEstimate, DataPointsAreReproducedExactly) {
  Kriging k({0, 40, 10, 70, 35, 55, 20}, {0, 5, 60, 45, 90, 75, 30}, {12, 18, 25, 7, 30, 9, 14});
  for (int order = 0; order <= 2; ++order) {
    const auto p = k.Parameters({kSphericalModel, 20, 15, 5, 150}, 7, order);
    for (std::size_t i = 0; i < k.x().size(); ++i) {
      const KrigingResult r = k.At(p, k.x()[i], k.y()[i]);
      EXPECT_NEAR(r.estimate, k.z()[i], 1e-12) << order << " " << i;
      EXPECT_NEAR(r.standardError, 0.0, 1e-6) << order << " " << i;
      EXPECT_FALSE(r.singular);
    }
  }
}

TEST(KrigingEstimate, LogTransformReturnsDataUnits) {
  // Logarithms of 10 and 1000 at two points: halfway the weights are 1/2,
  // the estimate e^((ln 10 + ln 1000)/2) = 100 and the standard error e^s.
  Kriging k({0, 10}, {0, 0}, {std::log(10.0), std::log(1000.0)});
  const auto p = k.Parameters({kExponentialModel, 1, 1, 0, 10}, 2, 0, true);
  const KrigingResult r = k.At(p, 5, 0);
  const double g5 = 1 - std::exp(-0.5);
  const double g10 = 1 - std::exp(-1.0);
  EXPECT_NEAR(r.estimate, 100.0, 1e-12);
  EXPECT_NEAR(r.standardError, std::exp(std::sqrt(2 * g5 - g10 / 2)), 1e-14);
}

// An independent solution: the neighbours by sorting, the semivariogram and
// drift written out again, Gaussian elimination with complete pivoting.
struct Independent {
  double estimate;
  double standardError;
};

double ReferenceGamma(const VariogramModel& m, double h) {
  if (h == 0) return 0;
  if (m.model == kSphericalModel) {
    if (h > m.a) return m.sill;
    const double r = h / m.a;
    return m.c * (1.5 * r - 0.5 * std::pow(r, 3)) + m.c0;
  }
  const double r = h / m.a;  // exponential
  return r >= 50 ? m.sill : m.c * (1 - std::exp(-r)) + m.c0;
}

std::vector<double> SolveCompletePivoting(std::vector<std::vector<double>> a,
                                          std::vector<double> b) {
  const std::size_t n = b.size();
  std::vector<std::size_t> column(n);
  std::iota(column.begin(), column.end(), 0);
  for (std::size_t k = 0; k < n; ++k) {
    std::size_t pr = k, pc = k;
    for (std::size_t i = k; i < n; ++i) {
      for (std::size_t j = k; j < n; ++j) {
        if (std::fabs(a[i][j]) > std::fabs(a[pr][pc])) {
          pr = i;
          pc = j;
        }
      }
    }
    std::swap(a[k], a[pr]);
    std::swap(b[k], b[pr]);
    for (auto& row : a) std::swap(row[k], row[pc]);
    std::swap(column[k], column[pc]);
    for (std::size_t i = k + 1; i < n; ++i) {
      const double f = a[i][k] / a[k][k];
      for (std::size_t j = k; j < n; ++j) a[i][j] -= f * a[k][j];
      b[i] -= f * b[k];
    }
  }
  std::vector<double> y(n);
  for (std::size_t k = n; k-- > 0;) {
    double s = b[k];
    for (std::size_t j = k + 1; j < n; ++j) s -= a[k][j] * y[j];
    y[k] = s / a[k][k];
  }
  std::vector<double> x(n);
  for (std::size_t k = 0; k < n; ++k) x[column[k]] = y[k];
  return x;
}

Independent Reference(const Kriging& k, const VariogramModel& m, int nearest, int order, double x0,
                      double y0) {
  const std::size_t n = k.x().size();
  std::vector<std::size_t> order_(n);
  std::iota(order_.begin(), order_.end(), 0);
  auto dist = [&](std::size_t i) { return std::hypot(k.x()[i] - x0, k.y()[i] - y0); };
  std::stable_sort(order_.begin(), order_.end(),
                   [&](std::size_t a, std::size_t b) { return dist(a) < dist(b); });
  const auto nn = static_cast<std::size_t>(nearest);
  std::vector<double> xn, yn, zn;
  for (std::size_t k2 = 0; k2 < nn; ++k2) {
    xn.push_back(k.x()[order_[k2]]);
    yn.push_back(k.y()[order_[k2]]);
    zn.push_back(k.z()[order_[k2]]);
  }
  // The drift in coordinates centred on the estimation point.
  double scale = 0;
  for (std::size_t i = 0; i < nn; ++i) scale = std::max(scale, std::hypot(xn[i] - x0, yn[i] - y0));
  auto drift = [&](double x, double y) {
    const double u = (x - x0) / scale, v = (y - y0) / scale;
    std::vector<double> all{1, u, v, u * u, v * v, u * v};
    all.resize(order == 0 ? 1 : order == 1 ? 3 : 6);
    return all;
  };
  const std::size_t nd = drift(0, 0).size();
  const std::size_t ns = nn + nd;
  std::vector<std::vector<double>> a(ns, std::vector<double>(ns, 0.0));
  std::vector<double> b(ns, 0.0);
  for (std::size_t i = 0; i < nn; ++i) {
    for (std::size_t j = 0; j < nn; ++j) {
      a[i][j] = ReferenceGamma(m, std::hypot(xn[i] - xn[j], yn[i] - yn[j]));
    }
    const auto f = drift(xn[i], yn[i]);
    for (std::size_t t = 0; t < nd; ++t) a[i][nn + t] = a[nn + t][i] = f[t];
    b[i] = ReferenceGamma(m, std::hypot(xn[i] - x0, yn[i] - y0));
  }
  const auto f0 = drift(x0, y0);
  for (std::size_t t = 0; t < nd; ++t) b[nn + t] = f0[t];
  const auto w = SolveCompletePivoting(a, b);
  double estimate = 0, variance = 0;
  for (std::size_t i = 0; i < nn; ++i) estimate += w[i] * zn[i];
  for (std::size_t i = 0; i < ns; ++i) variance += w[i] * b[i];
  return {estimate, std::sqrt(std::fabs(variance))};
}

TEST(KrigingEstimate, AgreesWithAnIndependentDoublePrecisionSolution) {
  // Seventeen wells scattered over about 3 km, with a trend.
  const std::vector<double> x{1210, 2450, 380,  3020, 1875, 640, 2790, 1500, 2210,
                              90,   3300, 1030, 2600, 1720, 470, 2980, 1340};
  const std::vector<double> y{560, 1890, 2410, 300,  1220, 1500, 2650, 2980, 760,
                              870, 1440, 2050, 1100, 2230, 120,  2080, 1610};
  std::vector<double> z;
  for (std::size_t i = 0; i < x.size(); ++i) {
    z.push_back(40 + 0.01 * x[i] - 0.004 * y[i] + 3 * std::sin(x[i] / 300) * std::cos(y[i] / 400));
  }
  Kriging k(x, y, z);
  const std::vector<std::pair<double, double>> targets{
      {1500, 1500}, {2300, 2300}, {800, 300},   {3100, 2900},    // inside
      {4200, 1500}, {-900, -700}, {1600, 4500}, {6000, -3000}};  // outside
  for (const VariogramModel& model : {VariogramModel{kSphericalModel, 9, 8, 1, 1800},
                                      VariogramModel{kExponentialModel, 9, 9, 0, 700}}) {
    for (int order = 0; order <= 2; ++order) {
      for (int nearest : {8, 12}) {
        const auto p = k.Parameters(model, nearest, order);
        for (const auto& [x0, y0] : targets) {
          const KrigingResult r = k.At(p, x0, y0);
          const Independent ref = Reference(k, model, nearest, order, x0, y0);
          ASSERT_FALSE(r.singular);
          EXPECT_NEAR(r.estimate, ref.estimate, 1e-8 * std::fabs(ref.estimate))
              << model.model << " order " << order << " at " << x0 << "," << y0;
          EXPECT_NEAR(r.standardError, ref.standardError, 1e-8 * ref.standardError)
              << model.model << " order " << order << " at " << x0 << "," << y0;
        }
      }
    }
  }
  EXPECT_TRUE(k.messages.output.empty());
}

TEST(KrigingEstimate, ErrorAnalysisLeavesThePointOut) {
  // Point 2 left out: the estimate comes from points 1 and 3 only, halfway
  // between them, so it is their mean and not the value 100 of point 2.
  Kriging k({0, 5, 10}, {0, 0, 0}, {2, 100, 4});
  const auto p = k.Parameters({kExponentialModel, 1, 1, 0, 10}, 2, 0);
  EXPECT_NEAR(k.At(p, 5, 0, 1).estimate, 3.0, 1e-14);
  EXPECT_NEAR(k.At(p, 5, 0).estimate, 100.0, 1e-12);
}

TEST(KrigingEstimate, SingularSystemsAreFlagged) {
  const VariogramModel model{kSphericalModel, 10, 10, 0, 100};
  // On one line y = 2x + 1 a first-order drift is undetermined; order 0 is
  // fine.
  Kriging line({0, 10, 20, 30, 40}, {1, 21, 41, 61, 81}, {1, 2, 3, 4, 5});
  EXPECT_TRUE(line.At(line.Parameters(model, 4, 1), 15, 20).singular);
  EXPECT_TRUE(line.At(line.Parameters(model, 5, 2), 15, 20).singular);
  EXPECT_FALSE(line.At(line.Parameters(model, 4, 0), 15, 20).singular);
  // A line 5,000 km from the origin, on which the coordinates lie only to
  // their last place, is as singular; one well a millimetre off it is not.
  std::vector<double> fx, fy;
  for (int k = 0; k < 5; ++k) {
    fx.push_back(5.0e6 + 1.3 * k);
    fy.push_back(4.2e6 + 0.7 * (fx.back() - 5.0e6) / 3);
  }
  Kriging far(fx, fy, {1, 2, 3, 4, 5});
  EXPECT_TRUE(far.At(far.Parameters(model, 5, 1), 5.0e6 + 2, 4.2e6 + 3).singular);
  EXPECT_TRUE(far.At(far.Parameters(model, 5, 2), 5.0e6 + 2, 4.2e6 + 3).singular);
  fy[2] += 0.001;
  Kriging off(fx, fy, {1, 2, 3, 4, 5});
  EXPECT_FALSE(off.At(off.Parameters(model, 5, 1), 5.0e6 + 2, 4.2e6 + 3).singular);

  // On the x axis the y' column is zero: the factor has an exact zero and
  // the substitution says so on the standard output.
  Kriging axis({0, 10, 20, 30}, {0, 0, 0, 0}, {1, 2, 3, 4});
  EXPECT_TRUE(axis.At(axis.Parameters(model, 4, 1), 15, 5).singular);
  ASSERT_FALSE(axis.messages.output.empty());
  EXPECT_EQ(axis.messages.output.front(), "  DIVIDE BY ZERO in SOLV");

  // Two neighbours cannot carry a drift of three terms.
  Kriging scattered({0, 30, 10, 25}, {0, 5, 20, 30}, {1, 2, 3, 4});
  EXPECT_TRUE(scattered.At(scattered.Parameters(model, 2, 1), 12, 12).singular);
  EXPECT_FALSE(scattered.At(scattered.Parameters(model, 4, 1), 12, 12).singular);
  // More neighbours than points: a point is taken twice.
  EXPECT_TRUE(scattered.At(scattered.Parameters(model, 5, 0), 12, 12).singular);
}

}  // namespace
}  // namespace mornax
