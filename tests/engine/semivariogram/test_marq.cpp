// The bounded Marquardt iteration on problems whose optimum is known: inside
// the bounds, on a bound, a parameter without influence, a start outside the
// bounds, too few observations, and model values that cannot be computed.
#include <gtest/gtest.h>

#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "semivariogram/marq.h"

namespace mornax {
namespace {

// One fit: observations, model values and the caller-owned work areas.
struct Fit {
  Fit(ModelFunction m, std::vector<double> xs, const ModelParameters& truth) : model(m), x(xs) {
    y.resize(x.size());
    model(truth, x, y);
    f.assign(x.size(), 0.0);
    work.assign(MarqWorkSize(x.size()), 0.0);
  }
  void Call() { Marq(b, x, y, f, state, lower, upper, model, MarqWork{work, normal, solve}); }
  // Calls while the status is positive, at most `limit` times; returns the calls made.
  int Iterate(int limit = 100) {
    state.icon = kMarqParameters;
    int calls = 0;
    while (state.icon > 0 && calls < limit) {
      Call();
      ++calls;
    }
    return calls;
  }

  ModelFunction model;
  std::vector<double> x, y, f, work;
  std::vector<double> normal = std::vector<double>(15), solve = std::vector<double>(15);
  ModelParameters b{}, lower{}, upper{};
  MarqState state;
};

std::vector<double> Range(double first, double step, int count) {
  std::vector<double> values;
  for (int i = 0; i < count; ++i) values.push_back(first + step * i);
  return values;
}

TEST(Marq, FirstCallEvaluatesAndAppliesTheSinglePrecisionDefaults) {
  Fit fit(ExponentialModel, Range(50.0, 50.0, 6), {10.0, 250.0, 1.0});
  fit.b = {5.0, 100.0, 0.0};
  fit.upper = {100.0, 2000.0, 10.0};
  fit.Call();
  EXPECT_EQ(fit.state.icon, 3);
  EXPECT_EQ(fit.state.it, 1);
  EXPECT_EQ(fit.b, (ModelParameters{5.0, 100.0, 0.0}));
  std::vector<double> expected(6);
  ExponentialModel(fit.b, fit.x, expected);
  EXPECT_EQ(fit.f, expected);
  double phi = 0.0;
  for (std::size_t i = 0; i < 6; ++i) phi += (expected[i] - fit.y[i]) * (expected[i] - fit.y[i]);
  EXPECT_DOUBLE_EQ(fit.state.phi, phi);
  EXPECT_EQ(fit.state.nu, 10.0);
  EXPECT_EQ(fit.state.lambda, 0.009999999776482582);
  EXPECT_EQ(fit.state.tau, 0.0010000000474974513);
  EXPECT_EQ(fit.state.eps, 1.9999999494757503e-05);
  // The next successful iteration starts by shrinking lambda tenfold.
  fit.Call();
  EXPECT_GT(fit.state.icon, 0);
  EXPECT_EQ(fit.state.lambda, 0.009999999776482582 / 10.0);
  EXPECT_LT(fit.state.phi, phi);
}

TEST(Marq, ExactStartEndsOnTheFirstCall) {
  Fit fit(GaussianModel, Range(100.0, 100.0, 5), {3.0, 400.0, 0.5});
  fit.b = {3.0, 400.0, 0.5};
  fit.upper = {10.0, 1000.0, 1.0};
  EXPECT_EQ(fit.Iterate(), 1);
  EXPECT_EQ(fit.state.icon, kIconConverged);
}

TEST(Marq, FindsAnOptimumInsideTheBounds) {
  Fit fit(ExponentialModel, Range(50.0, 50.0, 10), {10.0, 250.0, 1.0});
  fit.b = {5.0, 100.0, 0.0};
  fit.lower = {0.0, 1.0, 0.0};
  fit.upper = {100.0, 2000.0, 10.0};
  fit.Iterate();
  EXPECT_EQ(fit.state.icon, kIconConverged);
  EXPECT_LE(fit.state.phi, 1e-7);
  EXPECT_NEAR(fit.b[0], 10.0, 1e-3);
  EXPECT_NEAR(fit.b[1], 250.0, 2e-2);
  EXPECT_NEAR(fit.b[2], 1.0, 1e-3);
}

// gamma = B3 + B2 ln h at h = 1/4 .. 4: the columns ln h and 1 are orthogonal,
// so with B3 held at 0 the best B2 is still the unconstrained 3.
TEST(Marq, StopsAtAnOptimumOnABoundAndLeavesTheUninfluentialParameter) {
  Fit fit(DeWijsianModel, {0.25, 0.5, 1.0, 2.0, 4.0}, {0.0, 3.0, -2.0});
  fit.b = {7.0, 1.0, 1.0};
  fit.lower = {0.0, 0.0, 0.0};
  fit.upper = {10.0, 10.0, 10.0};
  const int calls = fit.Iterate();
  EXPECT_LT(calls, 100);
  EXPECT_TRUE(fit.state.icon == kIconConverged || fit.state.icon == kIconNoImprovement)
      << fit.state.icon;
  EXPECT_EQ(fit.b[0], 7.0);  // B1 has no influence: its row is reset, it never moves
  EXPECT_NEAR(fit.b[1], 3.0, 1e-4);
  EXPECT_EQ(fit.b[2], 0.0);
  EXPECT_NEAR(fit.state.phi, 5 * 4.0, 1e-6);  // residual -2 at every point
}

TEST(Marq, StartOutsideTheBoundsIsClippedByTheFirstAcceptedStep) {
  Fit fit(ExponentialModel, Range(50.0, 50.0, 8), {10.0, 250.0, 1.0});
  fit.b = {5.0, 100.0, 50.0};
  fit.lower = {0.0, 300.0, 0.0};
  fit.upper = {100.0, 200.0, 10.0};  // lower above upper: the lower bound wins
  fit.Call();
  EXPECT_EQ(fit.b[2], 50.0);  // the first call only evaluates
  fit.Call();
  EXPECT_LE(fit.b[2], 10.0);
  EXPECT_GE(fit.b[2], 0.0);
  EXPECT_EQ(fit.b[1], 300.0);
}

TEST(Marq, FewerObservationsThanParametersChangeNothing) {
  Fit fit(SphericalModel, {100.0, 200.0}, {1.0, 300.0, 0.0});
  fit.b = {2.0, 100.0, 1.0};
  fit.f = {-1.0, -1.0};
  fit.state.phi = 123.0;
  fit.Call();
  EXPECT_EQ(fit.state.icon, kIconTooFewObservations);
  EXPECT_EQ(fit.state.it, 0);
  EXPECT_EQ(fit.state.phi, 123.0);
  EXPECT_EQ(fit.b, (ModelParameters{2.0, 100.0, 1.0}));
  EXPECT_EQ(fit.f, (std::vector<double>{-1.0, -1.0}));
}

// gamma = B1 h + B2 + sqrt(1 - B3) h: no real value once B3 exceeds 1.
void RootModel(const ModelParameters& b, std::span<const double> h, std::span<double> gamma) {
  for (std::size_t i = 0; i < h.size(); ++i) {
    gamma[i] = b[0] * h[i] + b[1] + std::sqrt(1.0 - b[2]) * h[i];
  }
}

TEST(Marq, DerivativeStepAtTheUpperBoundIsTakenBackwards) {
  Fit fit(RootModel, Range(1.0, 1.0, 6), {1.0, 2.0, 0.75});
  fit.b = {0.5, 1.0, 1.0};
  fit.lower = {-10.0, -10.0, 0.0};
  fit.upper = {10.0, 10.0, 1.0};
  fit.Call();
  fit.Call();
  EXPECT_GT(fit.state.icon, 0);
  EXPECT_TRUE(std::isfinite(fit.state.phi));
}

// gamma = sqrt(B1) h + B3: the undamped step from B1 always lands at -B1.
void SqrtModel(const ModelParameters& b, std::span<const double> h, std::span<double> gamma) {
  for (std::size_t i = 0; i < h.size(); ++i) gamma[i] = std::sqrt(b[0]) * h[i] + b[2];
}

TEST(Marq, TrialPointsWithoutModelValuesAreNeverAccepted) {
  Fit fit(SqrtModel, Range(1.0, 1.0, 5), {0.0, 0.0, 0.0});
  fit.b = {1.0, 0.0, 0.5};
  fit.lower = {-10.0, -10.0, -10.0};
  fit.upper = {10.0, 10.0, 10.0};
  double phi = INFINITY;
  fit.state.icon = kMarqParameters;
  for (int call = 0; call < 100 && fit.state.icon > 0; ++call) {
    fit.Call();
    ASSERT_TRUE(std::isfinite(fit.state.phi)) << call;
    ASSERT_GE(fit.b[0], 0.0) << call;
    EXPECT_LE(fit.state.phi, phi) << call;
    phi = fit.state.phi;
  }
}

// gamma = sqrt(B1 - 1) h + B3: no real value below B1 = 1.
void ShiftedRootModel(const ModelParameters& b, std::span<const double> h,
                      std::span<double> gamma) {
  for (std::size_t i = 0; i < h.size(); ++i) gamma[i] = std::sqrt(b[0] - 1.0) * h[i] + b[2];
}

TEST(Marq, ExhaustedDampingNeverTakesAPointWithoutModelValues) {
  // The observations fall with h, so every step lowers B1 below 1, however
  // small lambda makes it: the damping runs out with the point unchanged.
  Fit fit(ShiftedRootModel, Range(1.0, 1.0, 5), {1.0, 0.0, 0.0});
  for (std::size_t i = 0; i < fit.y.size(); ++i) fit.y[i] = -fit.x[i];
  fit.b = {1.0, 0.0, 0.0};
  fit.lower = {-10.0, -10.0, -10.0};
  fit.upper = {10.0, 10.0, 10.0};
  fit.Call();
  const double phi = fit.state.phi;
  fit.Call();
  EXPECT_EQ(fit.state.icon, kIconNoImprovement);
  EXPECT_EQ(fit.b, (ModelParameters{1.0, 0.0, 0.0}));
  EXPECT_EQ(fit.state.phi, phi);
  EXPECT_GE(fit.state.lambda, 1e8);
}

TEST(Marq, ModelWithoutValuesAtTheStartStopsTheFit) {
  Fit fit(SphericalModel, Range(100.0, 100.0, 4), {1.0, 300.0, 0.0});
  fit.b = {1.0, 0.0, 0.0};  // a zero range
  fit.upper = {10.0, 1000.0, 1.0};
  fit.Call();
  EXPECT_EQ(fit.state.icon, kIconNotEvaluable);
  EXPECT_EQ(fit.state.it, 0);
  EXPECT_EQ(MarqMessage(kIconNotEvaluable), " MODEL CANNOT BE EVALUATED FOR THESE PARAMETERS ");
}

// NIST StRD nonlinear regression problem Misra1a: y = b1 * (1 - exp(-b2 * x)),
// 14 observations, certified b1 = 2.3894212918E+02, b2 = 5.5015643181E-04 and
// residual sum of squares 1.2455138894E-01. It is the exponential model
// without a nugget, B1 = b1 and B2 = 1 / b2: either a model whose nugget
// parameter has no influence (the iteration holds it), or the exponential
// model itself with the nugget pinned at 0 by equal bounds (held at that
// value from the start: the iteration fits the two others freely).
void ExponentialWithoutNugget(const ModelParameters& b, std::span<const double> h,
                              std::span<double> gamma) {
  ExponentialModel({b[0], b[1], 0.0}, h, gamma);
}

TEST(Marq, ReachesTheCertifiedMisra1aValuesFromBothStarts) {
  const std::vector<double> x = {77.6,  114.9, 141.1, 190.8, 239.9, 289.0, 332.8,
                                 378.4, 434.8, 477.3, 536.8, 593.1, 689.1, 760.0};
  const std::vector<double> y = {10.07, 14.73, 17.94, 23.93, 29.61, 35.18, 40.02,
                                 44.82, 50.76, 55.05, 61.01, 66.40, 75.47, 81.78};
  constexpr double kB1 = 2.3894212918E+02;
  constexpr double kB2 = 5.5015643181E-04;
  constexpr double kResidual = 1.2455138894E-01;
  struct Start {
    double b1, b2;
    double tolerance;  // relative accuracy reached on b1 and b2
  };
  struct Nugget {
    ModelFunction model;
    double upper;  // of the nugget, whose lower bound is 0
    double held;   // where the nugget stays
  };
  for (const Nugget& nugget :
       {Nugget{ExponentialWithoutNugget, 10.0, 7.0}, Nugget{ExponentialModel, 0.0, 0.0}}) {
    for (const Start& start : {Start{500.0, 1.0e-4, 1e-5}, Start{250.0, 5.0e-4, 2e-6}}) {
      SCOPED_TRACE(std::to_string(nugget.upper) + " " + std::to_string(start.b1));
      Fit fit(nugget.model, x, {kB1, 1.0 / kB2, 0.0});
      fit.y = y;
      fit.b = {start.b1, 1.0 / start.b2, 7.0};
      fit.lower = {1.0, 1.0, 0.0};
      fit.upper = {1.0e4, 1.0e7, nugget.upper};
      EXPECT_LT(fit.Iterate(), 100);  // within the fit run's limit
      EXPECT_EQ(fit.state.icon, kIconConverged);
      EXPECT_NEAR(fit.b[0], kB1, kB1 * start.tolerance);
      EXPECT_NEAR(1.0 / fit.b[1], kB2, kB2 * start.tolerance);
      EXPECT_EQ(fit.b[2], nugget.held);  // never moved
      EXPECT_NEAR(fit.state.phi, kResidual, kResidual * 1e-7);
    }
  }
}

}  // namespace
}  // namespace mornax
