// The pair loop of the experimental semivariogram against the plain loop over
// every pair: the same classes for pairs on the class and sector bounds, the
// same sums (to the bit while the points form one block, to rounding beyond),
// and the same bits for every thread count.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "dispatch/run_driver.h"
#include "front/record_copies.h"
#include "semivariogram/gama3.h"
#include "support/recorder_messages.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

// The loop over all pairs i < j as the report defines it: pi is 3.145 and
// the class offset 0.999999 in single precision; class 0 and classes beyond
// nlags are left out.
struct Classes {
  std::vector<double> count, distance, semivariance;  // sums, then means
  int highest = 1;
};

Classes PlainLoop(const std::vector<double>& x, const std::vector<double>& y,
                  const std::vector<double>& z, int nlags, double lag, double direction,
                  double tolerance) {
  const double pi = static_cast<double>(3.145f);
  const double offset = static_cast<double>(0.999999f);
  const double theta = direction * (pi / 180.0);
  const double cmin = std::cos(tolerance * (pi / 360.0));
  Classes c;
  c.count.assign(static_cast<std::size_t>(nlags), 0.0);
  c.distance = c.count;
  c.semivariance = c.count;
  const std::size_t n = x.size();
  for (std::size_t i = 0; i + 1 < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      const double dx = x[j] - x[i];
      const double dy = y[j] - y[i];
      const double d = std::sqrt(dx * dx + dy * dy);
      const double position = d / lag + offset;
      if (!(position >= 1.0) || !(position < nlags + 1.0)) continue;
      const int k = static_cast<int>(position);
      if (std::fabs((dy * std::sin(theta) + dx * std::cos(theta)) / d) < cmin) continue;
      const auto slot = static_cast<std::size_t>(k - 1);
      c.count[slot] += 1.0;
      c.distance[slot] += d;
      c.semivariance[slot] += 0.5 * ((z[j] - z[i]) * (z[j] - z[i]));
      c.highest = std::max(c.highest, k);
    }
  }
  for (std::size_t s = 0; s < c.count.size(); ++s) {
    c.distance[s] /= std::max(c.count[s], 1.0);
    c.semivariance[s] /= std::max(c.count[s], 1.0);
  }
  return c;
}

struct Field {
  std::vector<double> x, y, z;
};

Classes RunGama3(const Field& f, int nlags, double lag, double direction, double tolerance,
                 int threads) {
  LagArrays lags;
  for (auto* array : {&lags.lag1, &lags.lag2, &lags.lag3}) {
    array->data.assign(static_cast<std::size_t>(nlags), -1.0);
  }
  int reduced = nlags;
  Gama3(f.z, f.x, f.y, reduced, lag, direction, tolerance, lags, threads);
  Classes c;
  c.count = lags.lag1.data;
  c.semivariance = lags.lag2.data;
  c.distance = lags.lag3.data;
  c.highest = reduced;
  return c;
}

// Points on an integer lattice: many pairs at exact multiples of a whole lag
// and exactly on the diagonals.
Field Lattice(std::mt19937& random, int n, int side) {
  Field f;
  std::uniform_real_distribution<double> value(0.0, 20.0);
  for (int i = 0; i < n; ++i) {
    f.x.push_back(static_cast<double>(random() % static_cast<unsigned>(side)));
    f.y.push_back(static_cast<double>(random() % static_cast<unsigned>(side)));
    f.z.push_back(value(random));
  }
  return f;
}

struct Sector {
  int nlags;
  double lag, direction, tolerance;
};

constexpr Sector kSectors[] = {
    {5, 1.0, 0.0, 360.0},  {8, 1.0, 45.0, 90.0},   {6, 2.0, 0.0, 90.0},
    {10, 0.5, 90.0, 45.0}, {4, 5.0, 135.0, 180.0}, {7, 1.0, 30.0, 0.0},
    {3, 1.0, 0.0, 179.8},  {12, 1.5, 60.0, 10.0},  {2, 10.0, -45.0, 270.0},
};

TEST(PairLoop, OneBlockOfPointsGivesThePlainLoopToTheBit) {
  std::mt19937 random(11);
  for (int trial = 0; trial < 120; ++trial) {
    const Field f = Lattice(random, 2 + trial % 64, 4 + trial % 9);
    for (const Sector& s : kSectors) {
      SCOPED_TRACE("trial " + std::to_string(trial) + " direction " + std::to_string(s.direction) +
                   " tolerance " + std::to_string(s.tolerance));
      const Classes expected = PlainLoop(f.x, f.y, f.z, s.nlags, s.lag, s.direction, s.tolerance);
      const Classes actual = RunGama3(f, s.nlags, s.lag, s.direction, s.tolerance, 1);
      ASSERT_EQ(actual.count, expected.count);
      ASSERT_EQ(actual.distance, expected.distance);
      ASSERT_EQ(actual.semivariance, expected.semivariance);
      ASSERT_EQ(actual.highest, expected.highest);
    }
  }
}

TEST(PairLoop, ManyBlocksAgreeWithThePlainLoopAndNeverWithTheThreadCount) {
  std::mt19937 random(12);
  std::uniform_real_distribution<double> coordinate(0.0, 400.0);
  Field f = Lattice(random, 500, 60);
  for (int i = 0; i < 400; ++i) {  // real coordinates too
    f.x.push_back(coordinate(random));
    f.y.push_back(coordinate(random));
    f.z.push_back(std::sin(f.x.back() / 50.0) * 10.0);
  }
  for (const Sector& s : {Sector{20, 10.0, 45.0, 45.0}, Sector{30, 7.0, 0.0, 360.0}}) {
    const Classes expected = PlainLoop(f.x, f.y, f.z, s.nlags, s.lag, s.direction, s.tolerance);
    const Classes one = RunGama3(f, s.nlags, s.lag, s.direction, s.tolerance, 1);
    EXPECT_EQ(one.count, expected.count);
    EXPECT_EQ(one.highest, expected.highest);
    for (std::size_t k = 0; k < expected.count.size(); ++k) {
      EXPECT_NEAR(one.distance[k], expected.distance[k], 1e-12 * expected.distance[k]);
      EXPECT_NEAR(one.semivariance[k], expected.semivariance[k], 1e-12 * expected.semivariance[k]);
    }
    for (const int threads : {2, 3, 8}) {
      const Classes many = RunGama3(f, s.nlags, s.lag, s.direction, s.tolerance, threads);
      EXPECT_EQ(many.count, one.count) << threads;
      EXPECT_EQ(many.distance, one.distance) << threads;
      EXPECT_EQ(many.semivariance, one.semivariance) << threads;
      EXPECT_EQ(many.highest, one.highest) << threads;
    }
  }
}

TEST(PairLoop, FarTinyAndUndefinedPairsAreLeftOut) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // 1e300 apart (the class number would overflow an integer), 1e-9 apart
  // (class 0), and points without finite coordinates.
  Field f{{0.0, 1e300, 1e-9, 3.0, inf, nan, 4.0},
          {0.0, 0.0, 0.0, 0.0, 0.0, 1.0, 3.0},
          {1.0, 2.0, 3.0, 5.0, 7.0, 11.0, 13.0}};
  const Classes expected = PlainLoop(f.x, f.y, f.z, 5, 1.0, 0.0, 360.0);
  for (const int threads : {1, 3}) {
    const Classes actual = RunGama3(f, 5, 1.0, 0.0, 360.0, threads);
    EXPECT_EQ(actual.count, expected.count);
    EXPECT_EQ(actual.distance, expected.distance);
    EXPECT_EQ(actual.highest, expected.highest);
  }
  // (0,0)-(3,0) and (1e-9,0)-(3,0) in class 3; (3,0)-(4,3) at sqrt(10) in 4;
  // (0,0)-(4,3) and (1e-9,0)-(4,3) at 5 (or a hair below) in class 5.
  EXPECT_EQ(expected.count, (std::vector<double>{0, 0, 2, 1, 2}));
}

TEST(PairLoop, AStopRequestEndsTheLoopAndOneNeverMadeChangesNothing) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> coordinate(0.0, 100.0);
  Field f;
  for (int i = 0; i < 2000; ++i) {  // 32 blocks of rows
    f.x.push_back(coordinate(random));
    f.y.push_back(coordinate(random));
    f.z.push_back(coordinate(random));
  }
  const Classes plain = RunGama3(f, 8, 10.0, 20.0, 90.0, 1);
  for (const int threads : {1, 3}) {
    SCOPED_TRACE(threads);
    LagArrays lags;
    for (auto* array : {&lags.lag1, &lags.lag2, &lags.lag3}) array->data.assign(8, -1.0);

    // Asked, never stopping: the same bits as without the question.
    int asked = 0;
    int nlags = 8;
    Gama3(f.z, f.x, f.y, nlags, 10.0, 20.0, 90.0, lags, threads, [&asked] {
      ++asked;
      return false;
    });
    EXPECT_GE(asked, 1);
    EXPECT_EQ(nlags, plain.highest);
    EXPECT_EQ(lags.lag1.data, plain.count);
    EXPECT_EQ(lags.lag2.data, plain.semivariance);
    EXPECT_EQ(lags.lag3.data, plain.distance);

    // Each answer takes longer than the interval between questions, so the
    // loop asks again at its next check; the third answer stops it.
    asked = 0;
    nlags = 8;
    Gama3(f.z, f.x, f.y, nlags, 10.0, 20.0, 90.0, lags, threads, [&asked] {
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
      return ++asked == 3;
    });
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(nlags, 0);
  }
}

TEST(PairLoop, SemivariogramFilesAreTheSameForEveryThreadCount) {
  testing::ScopedTempDir dir;
  std::mt19937 random(13);
  std::uniform_real_distribution<double> coordinate(0.0, 1000.0);
  std::string text = "Sector field\n600\n";
  for (int i = 0; i < 600; ++i) {
    const double x = i % 3 == 0 ? static_cast<double>(random() % 50) * 20.0 : coordinate(random);
    const double y = coordinate(random);
    text += std::to_string(x) + " " + std::to_string(y) + " " +
            std::to_string(50.0 + 0.01 * x + std::cos(y / 90.0)) + "\n";
  }
  dir.Write("SITE.dfl", text + "0\n");
  EngineState state;
  state.projectFolder = dir.path();
  FILENAME name{};
  name.nameLength = 4;
  std::strcpy(name.name, "SITE.mnx");
  LoadFileName(name, state);
  state.svar.lagCount = 25;
  state.svar.lagDistance = 20.0;
  state.svar.direction = 30.0;
  state.svar.tolerance = 60.0;

  std::string var;
  std::string fit;
  for (const int threads : {1, 2, 5}) {
    testing::RecorderMessages messages;
    state.threadCount = threads;
    state.svar.lagCount = 25;
    RunTask(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE, state, messages);
    EXPECT_TRUE(messages.boxes.empty());
    if (threads == 1) {
      var = dir.Read("SITE.var");
      fit = dir.Read("SITE.fit");
      EXPECT_NE(var.find("   25 "), std::string::npos);
    } else {
      EXPECT_EQ(dir.Read("SITE.var"), var) << threads;
      EXPECT_EQ(dir.Read("SITE.fit"), fit) << threads;
    }
  }
}

}  // namespace
}  // namespace mornax
