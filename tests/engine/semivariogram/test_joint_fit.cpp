// The joint fit of directional semivariograms recovers the anisotropy of a
// simulated field.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "api/mornax_arrays.h"
#include "support/gaussian_field.h"

namespace mornax {
namespace {

double AngleApart(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 180.0);
  return std::min(d, 180.0 - d);
}

TEST(JointFit, RecoversTheAngleAndRatioOfASimulatedField) {
  struct Case {
    double angle, ratio;
  };
  for (const Case k : {Case{30.0, 0.4}, Case{120.0, 0.5}}) {
    SCOPED_TRACE(::testing::Message() << k.angle << " " << k.ratio);
    api::DirectionalParameters run;
    run.lagCount = 12;
    run.lagDistance = 20.0;
    run.tolerance = 20.0;
    run.directions = {0.0, 20.0, 40.0, 60.0, 80.0, 100.0, 120.0, 140.0, 160.0};
    // The classes of three realizations averaged: one draw of a field this
    // size scatters its semivariogram more than the tolerance allows.
    api::DirectionalResult classes;
    for (const std::uint64_t seed : {42u, 43u, 44u}) {
      const auto field = testing::SimulateField(
          {.model = 3, .c = 1.0, .a = 60.0, .c0 = 0.05, .angle = k.angle, .ratio = k.ratio}, 1500,
          0.0, 0.0, 700.0, seed);
      std::vector<double> x, y, z;
      for (const auto& p : field) {
        x.push_back(p.x);
        y.push_back(p.y);
        z.push_back(p.z);
      }
      const api::DirectionalResult one = api::DirectionalSemivariogram({x, y, z}, run);
      ASSERT_TRUE(one.report.completed());
      if (classes.directions.empty()) {
        classes = one;
        continue;
      }
      for (std::size_t d = 0; d < one.directions.size(); ++d) {
        auto& sum = classes.directions[d];
        const std::size_t n = std::min(sum.distance.size(), one.directions[d].distance.size());
        sum.distance.resize(n);
        sum.semivariance.resize(n);
        for (std::size_t c = 0; c < n; ++c) {
          sum.distance[c] += one.directions[d].distance[c];
          sum.semivariance[c] += one.directions[d].semivariance[c];
        }
      }
    }
    for (auto& d : classes.directions) {
      for (double& v : d.distance) v /= 3.0;
      for (double& v : d.semivariance) v /= 3.0;
    }
    ASSERT_TRUE(classes.report.completed());
    const api::JointFitResult fit = api::JointFit(run, classes, {.model = 3});
    ASSERT_TRUE(fit.report.completed());
    EXPECT_LT(AngleApart(fit.anisotropy.angle, k.angle), 5.0) << fit.anisotropy.angle;
    EXPECT_NEAR(fit.anisotropy.ratio, k.ratio, 0.1 * k.ratio);
    const api::Variogram v = api::VariogramFromJointFit(fit, {});
    EXPECT_EQ(v.anisotropy.angle, fit.anisotropy.angle);
    EXPECT_EQ(v.a, fit.b[1]);
  }
}

TEST(JointFit, RefusesAModelWithoutARange) {
  api::DirectionalParameters run;
  api::DirectionalResult none;
  none.directions.resize(run.directions.size());
  EXPECT_EQ(api::JointFit(run, none, {.model = 1}).report.outcome, api::Outcome::kRefused);
  EXPECT_EQ(api::JointFit(run, none, {.model = 2}).report.outcome, api::Outcome::kRefused);
}

}  // namespace
}  // namespace mornax
