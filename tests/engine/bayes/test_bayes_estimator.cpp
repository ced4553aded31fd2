// The parts of one Bayesian estimate: model values at their telling
// distances, the guess scalings on hand-computed cases, the neighbour
// selection with the window shift, the assembled system, and the estimate with
// its STD in the plain and the log-transformed forms.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "bayes/bayes_estimate.h"
#include "bayes/bayes_system.h"
#include "bayes/guess_scaling.h"
#include "models/variogram_models.h"
#include "support/recorder_messages.h"

namespace mornax {
namespace {

using testing::RecorderMessages;

// The model value at distance h (points on the x axis).
double At(double h, const BayesModel& model) {
  return BayesGamma(0.0, h, 0.0, 0.0, model);
}

TEST(BayesGamma, ModelsAtTheirTellingDistances) {
  const BayesModel spherical{kSphericalModel, 8, 100, 2, 10};
  EXPECT_DOUBLE_EQ(At(100, spherical), 10.0);           // c0 + c at h = a
  EXPECT_EQ(At(100.001, spherical), 10.0);              // the sill beyond
  EXPECT_DOUBLE_EQ(At(50, spherical), 2 + 8 * 0.6875);  // r 0.5
  EXPECT_EQ(At(0, spherical), 0.0);                     // 0 at h = 0 despite the nugget

  const BayesModel exponential{kExponentialModel, 8, 10, 2, 99};
  EXPECT_DOUBLE_EQ(At(100, exponential), 2 + 8 * (1 - std::exp(-10.0)));
  EXPECT_EQ(At(500, exponential), 99.0);  // r = 50 exactly: the sill

  const BayesModel gaussian{kGaussianModel, 8, 10, 2, 99};
  EXPECT_DOUBLE_EQ(At(20, gaussian), 2 + 8 * (1 - std::exp(-4.0)));
  EXPECT_EQ(At(std::sqrt(50.0) * 10 + 1e-9, gaussian), 99.0);

  const BayesModel deWijsian{kDeWijsianModel, 0, 3, 1, 0};
  EXPECT_DOUBLE_EQ(At(std::exp(2.0), deWijsian), 3 * 2.0 + 1);
  EXPECT_EQ(At(0.1, deWijsian), 0.0);  // 3 ln 0.1 + 1 < 0 becomes 0

  const BayesModel polynomial{kPolynomialModel, 0.5, 2, 1, 20};
  EXPECT_DOUBLE_EQ(At(4, polynomial), 9.0);
  EXPECT_EQ(At(10, polynomial), 20.0);  // 51 is above the sill
  const BayesModel other{9, 0.5, 2, 1, 20};
  EXPECT_DOUBLE_EQ(At(4, other), 9.0);  // numbers outside 2-6 are polynomial

  const BayesModel kRho{kKRhoModel, 0, 0, 0, 0, 1.0, 0.8, 200};
  EXPECT_DOUBLE_EQ(At(0, kRho), 0.5);  // k / (1 + k) at h = 0
  EXPECT_DOUBLE_EQ(At(200, kRho), 0.5 * 0.8);
  EXPECT_DOUBLE_EQ(BayesGamma(3, 0, 4, 0, kRho), 0.5 * std::pow(0.8, 5.0 / 200));
}

TEST(GuessScaling, MeanShiftLowersEveryGuess) {
  const std::vector<double> z{1, 2, 3};
  std::vector<double> g{3, 4, 5};
  EXPECT_EQ(MeanScaleGuesses(z, g), 2.0);
  EXPECT_EQ(g, (std::vector<double>{1, 2, 3}));
  GuessScaling scaling{kMeanScaling, 2.0, {}};
  EXPECT_EQ(ScaleNetworkGuess(7.5, scaling), 5.5);
}

// Guesses 2 (smallest, error dMin 1, first of two) and 10 (largest, error -3):
// slope |-3 - 1| / 8 = 0.5 although the error falls.
TEST(GuessScaling, LinearRemovesTheTrendOfTheGuessError) {
  const std::vector<double> z{1, 13, 5, 0};
  std::vector<double> g{2, 10, 6, 2};
  LinearScalingRecord record{};
  ASSERT_TRUE(LinearScaleGuesses(z, g, record));
  EXPECT_EQ(record, (LinearScalingRecord{1, 2, 0.5, 10}));
  EXPECT_EQ(g, (std::vector<double>{1, 5, 3, 1}));  // g - (1 + (g - 2) * 0.5)

  const GuessScaling scaling{kLinearScaling, 0.0, record};
  EXPECT_EQ(ScaleNetworkGuess(8, scaling), 4.0);    // correction 4
  EXPECT_EQ(ScaleNetworkGuess(-2, scaling), -3.0);  // -1 is negative: dMin instead
  EXPECT_EQ(ScaleNetworkGuess(8, GuessScaling{kMeanWindowScaling, 3.0, record}), 8.0);

  std::vector<double> equal{4, 4, 4};
  LinearScalingRecord untouched{7, 7, 7, 7};
  EXPECT_FALSE(
      LinearScaleGuesses(z.data() == nullptr ? z : std::vector<double>{1, 2, 3}, equal, untouched));
  EXPECT_EQ(equal, (std::vector<double>{4, 4, 4}));
  EXPECT_EQ(untouched, (LinearScalingRecord{7, 7, 7, 7}));
}

// A data set with guesses and a workspace sized like the run's.
struct Fixture {
  Fixture(std::vector<double> xs, std::vector<double> ys, std::vector<double> zs,
          std::vector<double> gs, int capacity)
      : x(std::move(xs)), y(std::move(ys)), z(std::move(zs)), g(std::move(gs)), distance(x.size()) {
    arrays.AllocNeighbourArrays(messages, capacity);
    data.x = x;
    data.y = y;
    data.z = z;
    data.guess = g;
    data.count = static_cast<int>(x.size());
  }
  EstimateWorkspace View() { return EstimateWorkspace{arrays.neighbours, distance}; }
  std::vector<double> Guesses(int n) {
    return std::vector<double>(arrays.neighbours.work1.data.begin(),
                               arrays.neighbours.work1.data.begin() + n);
  }

  RecorderMessages messages;
  std::vector<double> x, y, z, g, distance;
  WorkArrays arrays;
  DataSet data;
};

// Residuals g - z of 1, 2 and 3 at the three nearest points: window shift 2,
// taken off the neighbour guesses once (the fourth, farther point is unused).
// Points 2 and 3 are equally far: the earlier comes first.
TEST(BayesNeighbours, WindowShiftAndTieOrder) {
  Fixture f({1, 0, 2, 9}, {0, 2, 0, 9}, {10, 20, 30, 40}, {11, 22, 33, 99}, 4);
  auto workspace = f.View();
  EXPECT_EQ(SelectBayesNeighbours(f.data, 0, 0, -1, 3, true, workspace), 2.0);
  EXPECT_EQ(
      std::vector<int>(f.arrays.neighbours.index.begin(), f.arrays.neighbours.index.begin() + 3),
      (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(f.Guesses(3), (std::vector<double>{9, 20, 31}));

  // Leaving point 1 out; no shift applied without Mean Window.
  EXPECT_EQ(SelectBayesNeighbours(f.data, 0, 0, 0, 2, false, workspace), 2.5);
  EXPECT_EQ(f.Guesses(2), (std::vector<double>{22, 33}));
}

TEST(BayesSystem, CovariancesForModelsOneToFiveCorrelationsForKRho) {
  Fixture f({0, 100, 0}, {0, 0, 50}, {1, 2, 3}, {1, 2, 3}, 5);
  auto workspace = f.View();
  std::vector<double> matrix(25, -1.0);
  std::vector<double> rhs(5, -1.0);
  const BayesModel spherical{kSphericalModel, 8, 100, 2, 10};
  // Estimation point on data point 1: its right-hand side is the sill.
  BayesSystem(f.data, 0, 0, -1, 3, false, spherical, matrix, 5, rhs, workspace);
  // Neighbours nearest first: (0,0), (0,50), (100,0).
  const double g50 = 2 + 8 * 0.6875;
  const double g100 = 10;
  const double g112 = 10;  // beyond a
  EXPECT_EQ(std::vector<double>(rhs.begin(), rhs.begin() + 3),
            (std::vector<double>{10, 10 - g50, 10 - g100}));
  const std::vector<double> expected{10,        10 - g50,  10 - g100, -1, -1,  // column 1
                                     10 - g50,  10,        10 - g112, -1, -1,  // column 2
                                     10 - g100, 10 - g112, 10,        -1, -1};
  EXPECT_EQ(std::vector<double>(matrix.begin(), matrix.begin() + 15), expected);

  const BayesModel kRho{kKRhoModel, 0, 0, 0, 0, 1.0, 0.8, 50};
  FillBayesSystem(kRho, f.arrays.neighbours, 2, 0, 0, matrix, 5, rhs);
  EXPECT_EQ(matrix[0], 1.0);
  EXPECT_EQ(matrix[6], 1.0);
  EXPECT_DOUBLE_EQ(matrix[1], 0.5 * 0.8);  // (0,0)-(0,50): one lagD apart
  EXPECT_EQ(matrix[5], matrix[1]);
  EXPECT_EQ(rhs[0], 0.5);  // the point itself: k / (1 + k)
}

// One neighbour at distance 5 of (0,0); spherical sill 10, a 10, no nugget
// for both sets: gamma 6.875, BG 3.125, CS 20, W 0.15625, S1 = W (z - g),
// S2 = W BG = 0.48828125.
class OneNeighbour : public ::testing::Test {
 protected:
  OneNeighbour() : f({5, 40}, {0, 40}, {8, 1}, {6, 1}, 3) {
    settings.count = 1;
    settings.capacity = 3;
    settings.observation = BayesModel{kSphericalModel, 10, 10, 0, 10};
    settings.guess = settings.observation;
  }
  BayesResult Estimate(double g0, int excluded = -1) {
    auto workspace = f.View();
    return EstimateBayes(f.messages, f.data, settings, 0, 0, g0, excluded, workspace);
  }
  Fixture f;
  BayesSettings settings;
};

TEST_F(OneNeighbour, PlainEstimate) {
  const BayesResult r = Estimate(4);
  EXPECT_EQ(r.status, 0);
  EXPECT_DOUBLE_EQ(r.estimate, 4 + 0.15625 * 2);
  EXPECT_EQ(r.guess, 4.0);
  EXPECT_DOUBLE_EQ(r.std, std::sqrt(10 - 0.48828125));

  // Mean Window: shift 6 - 8 = -2, the neighbour guess becomes 8 and its
  // residual 0, so the estimate is g0 - shift = 6, as is the written guess.
  settings.windowShift = true;
  const BayesResult shifted = Estimate(4);
  EXPECT_EQ(shifted.guess, 6.0);
  EXPECT_EQ(shifted.estimate, 6.0);
}

TEST_F(OneNeighbour, LogTransformedStdDiffersBetweenTheModes) {
  settings.logTransform = true;
  settings.errorAnalysis = true;
  const BayesResult analysis = Estimate(1.5);
  EXPECT_DOUBLE_EQ(analysis.estimate, std::exp(1.5 + 0.15625 * 2));
  EXPECT_DOUBLE_EQ(analysis.guess, std::exp(1.5));
  EXPECT_DOUBLE_EQ(analysis.std, std::sqrt(std::exp(10 - 0.48828125)));
  settings.errorAnalysis = false;
  EXPECT_DOUBLE_EQ(Estimate(1.5).std, std::sqrt(std::exp(10.0) - std::exp(0.48828125)));
}

// k_Rho with k 1 (lambda 0.5), the neighbour one lagD away: BO = BG = 0.4,
// CS = 1, W = 0.4, S2 = 0.16; variance (1 - 0.08) sigma k.
TEST_F(OneNeighbour, KRhoEstimateAndStdForms) {
  settings.observation = BayesModel{kKRhoModel, 0, 0, 0, 0, 1.0, 0.8, 5};
  settings.sigma = 0.5;
  settings.guess.sill = 0.3;
  const BayesResult plain = Estimate(4);
  EXPECT_DOUBLE_EQ(plain.estimate, 0.5 * 0.4 * 2 + 4);
  EXPECT_DOUBLE_EQ(plain.std, std::sqrt(0.92 * 0.5));

  settings.logTransform = true;
  settings.errorAnalysis = true;
  EXPECT_DOUBLE_EQ(Estimate(1).std, std::exp(std::sqrt(std::exp(0.3 - 0.16))));
  settings.errorAnalysis = false;
  EXPECT_DOUBLE_EQ(Estimate(1).std, std::exp(std::sqrt(std::exp(0.3) - std::exp(0.16))));
}

TEST_F(OneNeighbour, SingularSystemReportsItsStatus) {
  settings.observation = BayesModel{kPolynomialModel, 0, 1, 0, 5};  // gamma 0: rows equal
  settings.guess = BayesModel{kPolynomialModel, 0, 1, 0, 3};
  settings.count = 2;
  const BayesResult r = Estimate(1);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(f.messages.boxes, (std::vector<std::string>{"Abnormal Exit from Routine LUDU",
                                                        "Abnormal Exit from Routine AIRM"}));
}

}  // namespace
}  // namespace mornax
