// The six weighting schemes: weights at telling distances, the normalised
// mean, and the cases where the plain formulas break down.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "weighting/weighting.h"

namespace mornax {
namespace {

struct Fixture {
  Fixture(std::vector<double> xs, std::vector<double> ys, std::vector<double> zs)
      : x(std::move(xs)), y(std::move(ys)), z(std::move(zs)), distance(x.size()) {
    for (auto* array : {&neighbours.x, &neighbours.y, &neighbours.value, &neighbours.work1}) {
      array->data.assign(24, 0.0);
    }
    neighbours.index.data.assign(24, 0);
    data.x = x;
    data.y = y;
    data.z = z;
    data.count = static_cast<int>(x.size());
  }
  double Estimate(int nearest, int scheme, double x0, double y0, int excluded = -1) {
    EstimateWorkspace workspace{neighbours, distance};
    return WeightedEstimate(data, nearest, scheme, excluded, x0, y0, workspace);
  }
  std::vector<double> x, y, z, distance;
  NeighbourArrays neighbours;
  DataSet data;
};

TEST(DistanceWeight, SchemesAtTellingDistances) {
  EXPECT_DOUBLE_EQ(DistanceWeight(1, 4.0, 9.0), 0.25);
  EXPECT_DOUBLE_EQ(DistanceWeight(4, 4.0, 9.0), 1.0 / 16.0);
  // Scheme 2: 0.01 at the farthest neighbour, nothing at 1.1 times it.
  EXPECT_NEAR(DistanceWeight(2, 50.0, 50.0), 0.01, 1.0e-8);
  EXPECT_NEAR(DistanceWeight(2, 50.0 * 1.100000023841858, 50.0), 0.0, 1.0e-20);
  // r = 0.5 / 1.1: ((1 - r) / r)^2 = 1.2^2.
  EXPECT_NEAR(DistanceWeight(2, 25.0, 50.0), 1.44, 1.0e-6);
  // Scheme 3: exp(-1.0e-5 d), close to 1 at a few hundred units.
  EXPECT_NEAR(DistanceWeight(3, 300.0, 0.0), std::exp(-0.003), 1.0e-9);
  // Scheme 5 squares the distance in the exponent: exp(-0.1) / 10^4.
  EXPECT_NEAR(DistanceWeight(5, 100.0, 0.0), 9.048374180359595e-05, 1.0e-12);
  // Scheme 6 divides by d^2 in the exponent: exp(-0.25) / 4.
  EXPECT_NEAR(DistanceWeight(6, 2.0, 0.0), 0.19470019576785122, 1.0e-9);
}

TEST(WeightedEstimate, OneNeighbourGivesTheNearestValue) {
  Fixture f({0, 10, 3}, {0, 0, 4}, {7, 11, 13});
  for (int scheme = 1; scheme <= 6; ++scheme) {
    EXPECT_DOUBLE_EQ(f.Estimate(1, scheme, 2.5, 3.0), 13.0) << scheme;
    EXPECT_DOUBLE_EQ(f.Estimate(1, scheme, 9.0, 0.0), 11.0) << scheme;
  }
}

TEST(WeightedEstimate, NormalisedWeightsStayInTheWorkVector) {
  Fixture f({1, 0, 3}, {0, 2, 0}, {10, 20, 40});
  // Distances 1, 2, 3 from the origin; 1/d^2 weights 36/49, 9/49, 4/49.
  EXPECT_NEAR(f.Estimate(3, 4, 0, 0), (360.0 + 180.0 + 160.0) / 49.0, 1.0e-12);
  EXPECT_NEAR(f.neighbours.work1[0], 36.0 / 49.0, 1.0e-15);
  EXPECT_NEAR(f.neighbours.work1[2], 4.0 / 49.0, 1.0e-15);
  // Scheme 2 with Dmax 3: r = d / 3.3, weights (2.3)^2, (0.65)^2, (0.1)^2.
  const double w1 = 2.3 * 2.3, w2 = 0.65 * 0.65, w3 = 0.1 * 0.1;
  EXPECT_NEAR(f.Estimate(3, 2, 0, 0), (10 * w1 + 20 * w2 + 40 * w3) / (w1 + w2 + w3), 1.0e-5);
}

TEST(WeightedEstimate, DataPointAtTheEstimationPointDominates) {
  Fixture f({0, 1}, {0, 0}, {10, 22});
  // Weight 1/1.0e-7 (as a single-precision constant) against 1.
  const double w = 1.0 / 1.0000000116860974e-07;
  EXPECT_DOUBLE_EQ(f.Estimate(2, 1, 0, 0), (w * 10 + 22) / (w + 1));
}

TEST(WeightedEstimate, ErrorAnalysisWithMoreNeighboursThanPoints) {
  Fixture f({0, 1, 3}, {0, 0, 0}, {10, 20, 40});
  // Point 2 left out: points 1 (d 1) and 3 (d 2), then point 1 twice more.
  EXPECT_NEAR(f.Estimate(4, 1, 1, 0, 1), (10 + 20 + 10 + 10) / 3.5, 1.0e-12);
  // Point 1 left out: its own value comes back with the weight of 1.0e-7.
  EXPECT_NEAR(f.Estimate(4, 1, 0, 0, 0), 10.0, 1.0e-5);
}

TEST(WeightedEstimate, SchemeTwoWithAllNeighboursOnThePoint) {
  // Dmax is 0: the neighbours' values are averaged instead of 0/0.
  Fixture f({5, 5, 5, 9}, {5, 5, 5, 9}, {1, 2, 6, 100});
  EXPECT_DOUBLE_EQ(f.Estimate(3, 2, 5, 5), 3.0);
}

TEST(WeightedEstimate, WeightsThatUnderflowStillGiveTheWeightedMean) {
  // exp(-1.0e-5 d^2) is 0 in double precision at d = 10^4; the weights
  // relative to each other are still well defined.
  Fixture f({10000, 10010}, {0, 0}, {4, 9});
  const double alpha = 9.999999747378752e-06, eps = 9.99999993922529e-09;
  const double d1 = 1.0e8, d2 = 10010.0 * 10010.0;
  const double ratio = std::exp(-alpha * (d2 - d1)) * (d1 + eps) / (d2 + eps);
  const double estimate = f.Estimate(2, 5, 0, 0);
  ASSERT_TRUE(std::isfinite(estimate));
  EXPECT_NEAR(estimate, (4 + 9 * ratio) / (1 + ratio), 1.0e-9);
  // Scheme 6 near the point: exp(-1/d^2) underflows for d = 0.01 and 0.02,
  // and the farther point carries almost all the weight.
  Fixture g({0.01, 0.02}, {0, 0}, {4, 9});
  const double e1 = -1.0 / 1.0e-4 - std::log(1.0e-4 + eps);
  const double e2 = -1.0 / 4.0e-4 - std::log(4.0e-4 + eps);
  const double r6 = std::exp(e1 - e2);
  EXPECT_NEAR(g.Estimate(2, 6, 0, 0), (4 * r6 + 9) / (r6 + 1), 1.0e-9);
}

}  // namespace
}  // namespace mornax
