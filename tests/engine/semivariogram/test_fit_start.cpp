// The fit's start read off a semivariogram: on the exact curves of known
// models the proposal lies near the model and its bounds hold it; classes
// that allow no proposal are refused with the reason.
#include "semivariogram/fit_start.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "models/variogram_models.h"

namespace mornax {
namespace {

struct Classes {
  std::vector<double> h, g;
};

// Twenty classes 100 apart on the fit's form of the model.
Classes CurveOf(int model, const ModelParameters& b) {
  Classes c;
  for (int k = 1; k <= 20; ++k) c.h.push_back(100.0 * k);
  c.g.resize(c.h.size());
  std::vector<double> h = c.h;
  if (model == kKRhoModel) {
    for (double& x : h) x /= c.h.front();  // the fit's unit: the first class
  }
  if (model == kSphericalModel) {
    // The estimators' spherical model: flat at the sill beyond the range.
    for (std::size_t i = 0; i < h.size(); ++i) {
      const double r = std::min(h[i] / b[1], 1.0);
      c.g[i] = b[2] + b[0] * r * (1.5 - 0.5 * r * r);
    }
    return c;
  }
  ModelFunctionFor(model)(b, h, c.g);
  return c;
}

TEST(FitStart, ExactCurvesGiveStartsNearTheModelWithinTheirBounds) {
  // The nugget is the line through the first classes at distance 0: off
  // where the curve bends within them, which the fit then mends.
  struct Case {
    int model;
    ModelParameters truth;
    ModelParameters tolerance;  // largest distance of the start from the truth
    int classCount;             // classes to fit
  };
  const Case cases[] = {
      {kSphericalModel, {9.0, 1000.0, 1.0}, {1.0, 100.0, 0.3}, 12},
      {kExponentialModel, {9.0, 300.0, 1.0}, {1.5, 40.0, 1.2}, 20},
      {kGaussianModel, {9.0, 600.0, 1.0}, {1.0, 60.0, 1.0}, 20},
      {kPolynomialModel, {0.05, 1.2, 1.0}, {0.02, 0.15, 1.0}, 20},
      {kDeWijsianModel, {0.0, 2.0, -3.0}, {0.0, 0.01, 0.05}, 20},
      {kKRhoModel, {1.0, 9.0, 0.7}, {1.5, 6.0, 0.15}, 20},
  };
  for (const Case& c : cases) {
    const Classes curve = CurveOf(c.model, c.truth);
    FitStart start;
    std::string problem;
    ASSERT_TRUE(ProposeFitStart(curve.h, curve.g, {}, c.model, start, problem)) << problem;
    EXPECT_EQ(start.classCount, c.classCount) << "model " << c.model;
    for (std::size_t j = 0; j < 3; ++j) {
      EXPECT_NEAR(start.initial[j], c.truth[j], c.tolerance[j])
          << "model " << c.model << " B" << j + 1;
      EXPECT_LE(start.minimum[j], c.truth[j]) << "model " << c.model << " B" << j + 1;
      EXPECT_GE(start.maximum[j], c.truth[j]) << "model " << c.model << " B" << j + 1;
      EXPECT_LE(start.minimum[j], start.initial[j]);
      EXPECT_GE(start.maximum[j], start.initial[j]);
    }
  }
}

// The pair counts weigh the classes: a first class of two pairs far off a
// curve that rises straight from its nugget of 1 does not move the nugget.
TEST(FitStart, FewPairsWeighLittle) {
  Classes curve = CurveOf(kSphericalModel, {9.0, 2000.0, 1.0});
  curve.g[0] = 9.0;
  std::vector<double> pairs(curve.h.size(), 1000.0);
  pairs[0] = 2.0;
  FitStart weighted, unweighted;
  std::string problem;
  ASSERT_TRUE(ProposeFitStart(curve.h, curve.g, pairs, kSphericalModel, weighted, problem));
  ASSERT_TRUE(ProposeFitStart(curve.h, curve.g, {}, kSphericalModel, unweighted, problem));
  EXPECT_NEAR(weighted.nugget, 1.0, 0.2);
  EXPECT_GT(std::fabs(unweighted.nugget - 1.0), 1.0);
}

TEST(FitStart, ClassesWithoutAProposalAreRefusedWithTheReason) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    std::vector<double> h, g;
    int model;
    const char* reason;
  };
  const Case cases[] = {
      {{100, 200}, {1, 2}, kSphericalModel, "at least 3"},
      {{100, 200, 300}, {0, 0, 0}, kSphericalModel, "do not rise above zero"},
      {{100, 200, 300}, {3, 2, 1}, kDeWijsianModel, "do not rise with the distance"},
      {{100, 200, 300}, {1, nan, 3}, kSphericalModel, "class 2"},
      {{100, -200, 300}, {1, 2, 3}, kSphericalModel, "class 2"},
      {{100, 200, 300}, {1, 2, 3}, 7, "model 7"},
  };
  for (const Case& c : cases) {
    FitStart start;
    start.classCount = -1;
    std::string problem;
    EXPECT_FALSE(ProposeFitStart(c.h, c.g, {}, c.model, start, problem)) << c.reason;
    EXPECT_NE(problem.find(c.reason), std::string::npos) << problem;
    EXPECT_EQ(start.classCount, -1);  // untouched
  }
}

}  // namespace
}  // namespace mornax
