// The six semivariogram models at the distances where their formulas are easy
// to get wrong, the three forms against each other, and the model name table.
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

// The fit's value at one distance, B1 = C, B2 = a, B3 = C0.
double FitAt(int model, double c, double a, double c0, double h) {
  return Evaluate(model, {c, a, c0}, {h})[0];
}

TEST(ModelForms, KrigingAndBayesGiveTheSameBitsForModelsOneToFive) {
  const double distances[] = {0.0, 1e-3, 0.5, 7.0, 40.0, 99.9, 100.0, 150.0, 707.0, 5000.0, 1e6};
  for (int model = kPolynomialModel; model <= kDeWijsianModel; ++model) {
    // A polynomial power below 2 keeps the sill cut in play.
    const double a = model == kPolynomialModel ? 1.3 : 100.0;
    const VariogramModel kriging{model, 11.0, 9.0, 2.0, a};
    const BayesModel bayes{model, 9.0, a, 2.0, 11.0};
    for (const double h : distances) {
      EXPECT_EQ(KrigingVariogram(h, 0.0, 0.0, 0.0, kriging), BayesGamma(0.0, h, 0.0, 0.0, bayes))
          << "model " << model << " h " << h;
    }
  }
}

TEST(ModelForms, TheFitAgreesWithKrigingInsideTheRangeAndBelowTheSill) {
  const double c = 9.0, a = 100.0, c0 = 2.0;
  for (const double h : {0.5, 7.0, 40.0, 99.9, 100.0}) {
    const auto krigingAt = [&](int model) {
      return KrigingVariogram(0.0, h, 0.0, 0.0, VariogramModel{model, c + c0, c, c0, a});
    };
    // The spherical cubic is arranged differently in the two forms.
    EXPECT_NEAR(FitAt(kSphericalModel, c, a, c0, h), krigingAt(kSphericalModel), 1e-13);
    EXPECT_EQ(FitAt(kExponentialModel, c, a, c0, h), krigingAt(kExponentialModel));
    EXPECT_EQ(FitAt(kGaussianModel, c, a, c0, h), krigingAt(kGaussianModel));
    // Kriging lifts a negative value to 0; the fit keeps it.
    if (h >= 1.0) {
      EXPECT_EQ(FitAt(kDeWijsianModel, 0.0, 3.0, c0, h),
                KrigingVariogram(0.0, h, 0.0, 0.0, VariogramModel{kDeWijsianModel, 0, 0, c0, 3.0}));
    }
    EXPECT_EQ(
        FitAt(kPolynomialModel, c, 1.3, c0, h),
        KrigingVariogram(0.0, h, 0.0, 0.0, VariogramModel{kPolynomialModel, 1e9, c, c0, 1.3}));
  }
  // Beyond the range the fit's cubic turns down while kriging holds the sill.
  EXPECT_LT(FitAt(kSphericalModel, c, a, c0, 150.0), c + c0);
  EXPECT_EQ(
      KrigingVariogram(0.0, 150.0, 0.0, 0.0, VariogramModel{kSphericalModel, c + c0, c, c0, a}),
      c + c0);
}

TEST(ModelForms, RangeModelsTakeCAsTheSillLessTheNugget) {
  for (int model = 0; model <= 7; ++model) {
    EXPECT_EQ(IsRangeModel(model), model >= kSphericalModel && model <= kGaussianModel) << model;
  }
  // At the range every range model's kriging value is C + C0 = the sill
  // (the exponential and Gaussian only near their cut-off).
  const double sill = 11.0, c0 = 2.0;
  const VariogramModel spherical{kSphericalModel, sill, CFromSill(sill, c0), c0, 100.0};
  EXPECT_DOUBLE_EQ(KrigingVariogram(0.0, 100.0, 0.0, 0.0, spherical), sill);
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
