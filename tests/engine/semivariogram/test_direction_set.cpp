// Several sectors and the variogram map from one pass over the pairs.
#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "api/mornax_arrays.h"

namespace mornax {
namespace {

struct Cloud {
  std::vector<double> x, y, z;
};

Cloud RandomCloud(int n, std::uint64_t seed) {
  std::mt19937_64 engine(seed);
  std::uniform_real_distribution<double> at(0.0, 1000.0);
  Cloud c;
  for (int i = 0; i < n; ++i) {
    c.x.push_back(at(engine));
    c.y.push_back(at(engine));
    c.z.push_back(0.01 * c.x.back() + at(engine) / 100.0);
  }
  // Points on a lattice put pairs exactly on class bounds and sector edges.
  for (int i = 0; i < 100; ++i) {
    c.x.push_back(10.0 * (i % 10));
    c.y.push_back(10.0 * (i / 10));
    c.z.push_back(i % 7);
  }
  return c;
}

TEST(DirectionSet, EachSectorIsTheOneDirectionRunToTheBit) {
  const Cloud c = RandomCloud(1500, 1);
  api::DirectionalParameters p;
  p.lagCount = 12;
  p.lagDistance = 10.0;
  p.tolerance = 30.0;
  p.directions = {0.0, 45.0, 90.0, 135.0, -30.0};
  p.mapCells = 6;
  const api::DirectionalResult all = api::DirectionalSemivariogram({c.x, c.y, c.z}, p);
  ASSERT_TRUE(all.report.completed());
  ASSERT_EQ(all.directions.size(), p.directions.size());
  for (std::size_t d = 0; d < p.directions.size(); ++d) {
    SCOPED_TRACE(p.directions[d]);
    const api::SemivariogramResult one = api::Semivariogram(
        {c.x, c.y, c.z}, {p.lagCount, p.lagDistance, p.tolerance, p.directions[d]});
    EXPECT_EQ(all.directions[d].classCount, one.classCount);
    EXPECT_EQ(all.directions[d].pairs, one.pairs);
    EXPECT_EQ(all.directions[d].semivariance, one.semivariance);
    EXPECT_EQ(all.directions[d].distance, one.distance);
    EXPECT_EQ(all.directions[d].average, one.average);
  }
  // Any thread count, the same bits.
  const api::DirectionalResult single =
      api::DirectionalSemivariogram({c.x, c.y, c.z}, p, {.threads = 1});
  const api::DirectionalResult three =
      api::DirectionalSemivariogram({c.x, c.y, c.z}, p, {.threads = 3});
  EXPECT_EQ(single.map.semivariance, three.map.semivariance);
  EXPECT_EQ(single.directions[1].semivariance, three.directions[1].semivariance);
}

TEST(DirectionSet, MapCountsEachPairBothWaysInItsCell) {
  // Three points: (0,0) 1, (10,0) 3, (0,20) 7 with cells of 10.
  const std::vector<double> x{0, 10, 0}, y{0, 0, 20}, z{1, 3, 7};
  api::DirectionalParameters p;
  p.lagCount = 3;
  p.lagDistance = 10.0;
  p.directions = {0.0};
  p.mapCells = 2;
  const api::DirectionalResult r = api::DirectionalSemivariogram({x, y, z}, p);
  ASSERT_TRUE(r.report.completed());
  auto cell = [&](int ix, int iy) { return static_cast<std::size_t>((iy + 2) * 5 + ix + 2); };
  EXPECT_EQ(r.map.pairs[cell(1, 0)], 1);
  EXPECT_EQ(r.map.pairs[cell(-1, 0)], 1);
  EXPECT_EQ(r.map.semivariance[cell(1, 0)], 2.0);    // (3 - 1)^2 / 2
  EXPECT_EQ(r.map.semivariance[cell(0, -2)], 18.0);  // (7 - 1)^2 / 2
  EXPECT_EQ(r.map.semivariance[cell(-1, 2)], 8.0);   // (7 - 3)^2 / 2
  EXPECT_EQ(r.map.pairs[cell(0, 0)], 0);
  std::int64_t total = 0;
  for (const std::int64_t n : r.map.pairs) total += n;
  EXPECT_EQ(total, 6);
  p.directions.clear();
  EXPECT_EQ(api::DirectionalSemivariogram({x, y, z}, p).report.outcome, api::Outcome::kRefused);
}

// The pairs are found through a grid of cells one reach wide: layouts that
// put pairs across cell borders, in one cell, or in a grid stretched by a
// far point must still give each sector as the one-direction run does.
TEST(DirectionSet, GridLayoutsKeepEverySectorAndPair) {
  std::mt19937_64 engine(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const auto cloud = [&](int n, double extent) {
    Cloud c;
    for (int i = 0; i < n; ++i) {
      c.x.push_back(extent * unit(engine));
      c.y.push_back(extent * unit(engine));
      c.z.push_back(unit(engine));
    }
    return c;
  };
  Cloud lattice;  // 10 apart: pairs on class bounds, points on cell borders
  for (int i = 0; i < 144; ++i) {
    lattice.x.push_back(10.0 * (i % 12));
    lattice.y.push_back(10.0 * (i / 12));
    lattice.z.push_back((i * 7) % 11);
  }
  Cloud cluster = cloud(150, 1.0);  // and one point far away
  cluster.x.push_back(1.0e6);
  cluster.y.push_back(-1.0e6);
  cluster.z.push_back(3.0);
  Cloud line;
  for (int i = 0; i < 200; ++i) {
    line.x.push_back(0.7 * i);
    line.y.push_back(5.0);
    line.z.push_back((i * 13) % 17);
  }
  struct Case {
    std::string name;
    Cloud c;
    int lagCount;
    double lag;
    int mapCells;
    double mapCellSize;
    std::int64_t mapTotal;  // every pair at +/-: known when the map holds them all
  };
  const std::vector<Case> cases{
      {"lattice on cell borders", lattice, 3, 10.0, 0, 0.0, -1},
      {"reach wider than the extent", cloud(60, 5.0), 5, 10.0, 3, 10.0, 60 * 59},
      {"cluster and a far point", cluster, 8, 0.1, 4, 0.5, 150 * 149},
      {"points on one line", line, 10, 1.0, 0, 0.0, -1},
      {"map beyond the classes", cloud(300, 100.0), 5, 2.0, 10, 10.0, 300 * 299},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.name);
    api::DirectionalParameters p;
    p.lagCount = t.lagCount;
    p.lagDistance = t.lag;
    p.mapCells = t.mapCells;
    p.mapCellSize = t.mapCellSize;
    const api::Points points{t.c.x, t.c.y, t.c.z};
    const api::DirectionalResult all = api::DirectionalSemivariogram(points, p, {.threads = 2});
    ASSERT_TRUE(all.report.completed());
    for (std::size_t d = 0; d < p.directions.size(); ++d) {
      const api::SemivariogramResult one =
          api::Semivariogram(points, {p.lagCount, p.lagDistance, p.tolerance, p.directions[d]});
      EXPECT_EQ(all.directions[d].pairs, one.pairs) << p.directions[d];
      EXPECT_EQ(all.directions[d].semivariance, one.semivariance) << p.directions[d];
      EXPECT_EQ(all.directions[d].distance, one.distance) << p.directions[d];
    }
    if (t.mapTotal >= 0) {
      EXPECT_EQ(std::accumulate(all.map.pairs.begin(), all.map.pairs.end(), std::int64_t{0}),
                t.mapTotal);
    }
  }
}

}  // namespace
}  // namespace mornax
