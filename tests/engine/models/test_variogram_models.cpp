// The six semivariogram models at the distances where their formulas are easy
// to get wrong, and the model name table.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "models/variogram_models.h"
#include "semivariogram/fvar.h"

namespace mornax {
namespace {

std::vector<double> Evaluate(int model, const ModelParameters& b, std::vector<double> h) {
  std::vector<double> gamma(h.size(), -999.0);
  ModelFunctionFor(model)(b, h, gamma);
  return gamma;
}

TEST(Models, PolynomialUsesTheGeneralPowerOfHItself) {
  const auto g = Evaluate(1, {2.0, 1.5, 3.0}, {4.0, 0.0, 9.0});
  EXPECT_DOUBLE_EQ(g[0], 2.0 * 8.0 + 3.0);
  EXPECT_DOUBLE_EQ(g[1], 3.0);  // h = 0 with a positive power gives B3
  EXPECT_DOUBLE_EQ(g[2], 2.0 * 27.0 + 3.0);
  // A negative distance goes into the power as it is: an integral power
  // works, a fractional one has no real value.
  EXPECT_DOUBLE_EQ(Evaluate(1, {1.0, 2.0, 0.0}, {-3.0})[0], 9.0);
  EXPECT_TRUE(std::isnan(Evaluate(1, {1.0, 1.5, 0.0}, {-3.0})[0]));
}

TEST(Models, SphericalCubicContinuesBeyondTheRange) {
  const ModelParameters b = {10.0, 100.0, 2.0};
  const auto g = Evaluate(2, b, {0.0, 50.0, -50.0, 100.0, 200.0, 100.0 * std::sqrt(3.0), 300.0});
  EXPECT_DOUBLE_EQ(g[0], 2.0);
  EXPECT_DOUBLE_EQ(g[1], 2.0 + 10.0 * 0.5 * (1.5 - 0.125));
  EXPECT_DOUBLE_EQ(g[2], g[1]);        // |h|
  EXPECT_DOUBLE_EQ(g[3], 12.0);        // B3 + B1 at the range
  EXPECT_DOUBLE_EQ(g[4], 2.0 - 10.0);  // 1.5 * 2 - 0.5 * 8 = -1
  EXPECT_NEAR(g[5], 2.0, 1e-12);       // back to B3 at sqrt(3) ranges
  EXPECT_DOUBLE_EQ(g[6], 2.0 + 10.0 * 3.0 * (1.5 - 4.5));
}

TEST(Models, ExponentialAndGaussianDivideByTheRangeDirectly) {
  const ModelParameters b = {10.0, 100.0, 2.0};
  const auto e = Evaluate(3, b, {0.0, 100.0, 300.0});
  EXPECT_DOUBLE_EQ(e[0], 2.0);
  EXPECT_DOUBLE_EQ(e[1], 2.0 + 10.0 * (1.0 - std::exp(-1.0)));
  EXPECT_DOUBLE_EQ(e[2], 2.0 + 10.0 * (1.0 - std::exp(-3.0)));
  const auto g = Evaluate(4, b, {0.0, -100.0, 200.0});
  EXPECT_DOUBLE_EQ(g[0], 2.0);
  EXPECT_DOUBLE_EQ(g[1], 2.0 + 10.0 * (1.0 - std::exp(-1.0)));
  EXPECT_DOUBLE_EQ(g[2], 2.0 + 10.0 * (1.0 - std::exp(-4.0)));
}

TEST(Models, DeWijsianIgnoresB1AndScalesTheLogarithmByB2) {
  const std::vector<double> h = {1.0, std::exp(1.0), 100.0};
  const auto g = Evaluate(5, {999.0, 2.0, 1.0}, h);
  EXPECT_DOUBLE_EQ(g[0], 1.0);
  EXPECT_DOUBLE_EQ(g[1], 3.0);
  EXPECT_DOUBLE_EQ(g[2], 1.0 + 2.0 * std::log(100.0));
  EXPECT_EQ(Evaluate(5, {-5.0, 2.0, 1.0}, h), g);
}

TEST(Models, KRhoRaisesB3ToTheDistance) {
  const auto g = Evaluate(6, {2.0, 3.0, 0.5}, {0.0, 1.0, 2.0, 2.5});
  EXPECT_DOUBLE_EQ(g[0], 2.0);  // B1 at h = 0
  EXPECT_DOUBLE_EQ(g[1], 2.0 * (1.0 + 3.0 * 0.5));
  EXPECT_DOUBLE_EQ(g[2], 2.0 * (1.0 + 3.0 * 0.75));
  EXPECT_DOUBLE_EQ(g[3], 2.0 * (1.0 + 3.0 * (1.0 - std::pow(0.5, 2.5))));
  for (const double value : Evaluate(6, {4.0, 7.0, 1.0}, {0.5, 1.0, 3.0, 40.0})) {
    EXPECT_DOUBLE_EQ(value, 4.0);  // B3 = 1 gives B1 everywhere
  }
}

TEST(ModelNames, NameAndLabelsOfEveryModel) {
  const struct {
    int model;
    const char* name;
    std::array<std::string, 3> labels;
  } table[] = {
      {1, "Polynomial ", {"SLOPE", "POWER", " C0  "}},
      {2, " Spherical ", {"SILL ", "RANGE", " C0  "}},
      {3, "Exponential", {"SILL ", "RANGE", " C0  "}},
      {4, " Gaussian  ", {"SILL ", "RANGE", " C0  "}},
      {5, "De Wijsian ", {"SILL ", "RANGE", " C0  "}},
      {6, "  k_Rho    ", {"SIGMA", "  K  ", " RHO "}},
  };
  for (const auto& row : table) {
    std::string name(11, ' ');
    std::array<std::string, 3> labels;
    model_names(row.model, name, labels);
    EXPECT_EQ(name, row.name);
    EXPECT_EQ(labels, row.labels);
  }
  // Any other number keeps the name and gives the sill labels.
  std::string name = "Polynomial ";
  std::array<std::string, 3> labels = {"SIGMA", "  K  ", " RHO "};
  model_names(0, name, labels);
  EXPECT_EQ(name, "Polynomial ");
  EXPECT_EQ(labels, (std::array<std::string, 3>{"SILL ", "RANGE", " C0  "}));
}

}  // namespace
}  // namespace mornax
