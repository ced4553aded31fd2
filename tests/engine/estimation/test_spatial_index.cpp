// The spatial index against a literal repeated minimum search: the same
// neighbours in the same order and the same Dmax, on data with many equal
// distances (integer coordinates) and coincident points, with and without a
// point left out, both exclusion values, and more places than points.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "estimation/neighbours.h"
#include "estimation/spatial_index.h"

namespace mornax {
namespace {

struct Points {
  std::vector<double> x, y, z;
  DataSet Data() {
    DataSet data;
    data.x = x;
    data.y = y;
    data.z = z;
    data.count = static_cast<int>(x.size());
    return data;
  }
};

// Selection storage for `capacity` neighbours; distances for every point.
struct Workspace {
  Workspace(std::size_t pointCount, std::size_t capacity) : distance(pointCount) {
    for (auto* array : {&neighbours.x, &neighbours.y, &neighbours.value}) {
      array->data.assign(capacity, 0.0);
    }
    neighbours.index.data.assign(capacity, 0);
  }
  EstimateWorkspace View(const SpatialIndex* index) {
    EstimateWorkspace view{neighbours, distance};
    view.index = index;
    return view;
  }
  std::vector<int> Chosen(int count) const {
    return std::vector<int>(neighbours.index.data.begin(), neighbours.index.data.begin() + count);
  }
  NeighbourArrays neighbours;
  std::vector<double> distance;
};

// All distances, the left-out point at the exclusion value, then `count`
// times the smallest distance (a later point only when strictly nearer),
// whose distance then becomes the exclusion value.
struct Selection {
  std::vector<int> chosen;
  double dmax = 0.0;
};
Selection RepeatedMinimum(const Points& p, double x0, double y0, int excluded, int count,
                          double exclusion) {
  const std::size_t n = p.x.size();
  std::vector<double> d(n);
  for (std::size_t i = 0; i < n; ++i) {
    d[i] = std::sqrt((p.x[i] - x0) * (p.x[i] - x0) + (p.y[i] - y0) * (p.y[i] - y0));
  }
  if (excluded >= 0) d[static_cast<std::size_t>(excluded)] = exclusion;
  Selection result;
  for (int k = 0; k < count; ++k) {
    std::size_t best = 0;
    for (std::size_t j = 1; j < n; ++j) {
      if (d[j] < d[best]) best = j;
    }
    result.chosen.push_back(static_cast<int>(best));
    result.dmax = d[best];
    d[best] = exclusion;
  }
  return result;
}

// Random points on a small integer grid (many equal distances), some of them
// repeated exactly (coincident points).
Points GridPoints(std::mt19937& random, int n, int side) {
  std::uniform_int_distribution<int> coordinate(0, side);
  Points p;
  for (int i = 0; i < n; ++i) {
    if (i > 0 && random() % 6 == 0) {
      const auto copy = static_cast<std::size_t>(random() % static_cast<unsigned>(i));
      p.x.push_back(p.x[copy]);
      p.y.push_back(p.y[copy]);
    } else {
      p.x.push_back(coordinate(random));
      p.y.push_back(coordinate(random));
    }
    p.z.push_back(100.0 + i);
  }
  return p;
}

// One query through SelectNearest with the index, against the search.
void ExpectLikeTheSearch(Points& p, const SpatialIndex& index, double x0, double y0, int excluded,
                         int count, double exclusion) {
  const Selection expected = RepeatedMinimum(p, x0, y0, excluded, count, exclusion);
  DataSet data = p.Data();
  Workspace w(p.x.size(), static_cast<std::size_t>(count));
  EstimateWorkspace view = w.View(&index);
  ASSERT_EQ(SelectNearest(data, x0, y0, excluded, count, exclusion, view), expected.dmax);
  ASSERT_EQ(w.Chosen(count), expected.chosen);
  for (std::size_t k = 0; k < static_cast<std::size_t>(count); ++k) {
    const auto chosen = static_cast<std::size_t>(expected.chosen[k]);
    ASSERT_EQ(w.neighbours.x[k], p.x[chosen]);
    ASSERT_EQ(w.neighbours.value[k], p.z[chosen]);
  }
}

TEST(SpatialIndex, SelectionEqualsTheRepeatedMinimumSearch) {
  std::mt19937 random(2024);
  // Small sets: every case of places against points, on and off the grid.
  for (int trial = 0; trial < 600; ++trial) {
    SCOPED_TRACE(trial);
    const int n = 1 + static_cast<int>(random() % 90);
    const int side = 2 + trial % 12;
    Points p = GridPoints(random, n, side);
    SpatialIndex index;
    index.Build(p.x, p.y, n);
    const double x0 = static_cast<double>(random() % (side + 3)) - 1.0 + (trial % 3) * 0.5;
    const double y0 = static_cast<double>(random() % (side + 3)) - 1.0;
    const int excluded = trial % 2 == 0 ? -1 : static_cast<int>(random() % n);
    const int count = 1 + static_cast<int>(random() % static_cast<unsigned>(n + 5));
    ExpectLikeTheSearch(p, index, x0, y0, excluded, count,
                        trial % 4 == 0 ? kWeightingExclusion : kKrigingExclusion);
  }
  // A deep tree: equal distances across leaves (x on 40 lines) and real y.
  std::uniform_real_distribution<double> real(-500.0, 1500.0);
  Points p = GridPoints(random, 3000, 40);
  for (std::size_t i = 0; i < p.x.size(); ++i) {
    p.x[i] *= 25.0;
    if (i % 5 != 0) p.y[i] = real(random);
  }
  SpatialIndex index;
  index.Build(p.x, p.y, 3000);
  for (int query = 0; query < 300; ++query) {
    SCOPED_TRACE(query);
    const double x0 =
        query % 2 == 0 ? static_cast<double>(random() % 44) * 25.0 - 50.0 : real(random);
    const int excluded = query % 3 == 0 ? static_cast<int>(random() % 3000) : -1;
    ExpectLikeTheSearch(p, index, x0, real(random), excluded, 1 + query % 40, kKrigingExclusion);
  }
}

TEST(SpatialIndex, PointsWithoutFiniteCoordinatesAreNeverChosenBeforeOthers) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Points p{{0, nan, 5, inf, 2, 7}, {0, 1, 5, 0, 2, 1}, {1, 2, 3, 4, 5, 6}};
  SpatialIndex index;
  index.Build(p.x, p.y, 6);
  for (int count = 1; count <= 8; ++count) {
    SCOPED_TRACE(count);
    ExpectLikeTheSearch(p, index, 1, 1, -1, count, kWeightingExclusion);
  }
}

TEST(SpatialIndex, AnIndexOfOtherArraysIsNotUsed) {
  Points built{{0, 1, 2}, {0, 0, 0}, {1, 2, 3}};
  SpatialIndex index;
  index.Build(built.x, built.y, 3);
  EXPECT_TRUE(index.Covers(built.x, built.y, 3));
  EXPECT_FALSE(index.Covers(built.x, built.y, 2));

  // Same count, other arrays: the selection scans the data it is given.
  Points other{{9, 8, 7}, {0, 0, 0}, {4, 5, 6}};
  DataSet data = other.Data();
  Workspace w(3, 4);
  EstimateWorkspace view = w.View(&index);
  EXPECT_EQ(SelectNearest(data, 7, 0, -1, 2, kKrigingExclusion, view), 1.0);
  EXPECT_EQ(w.Chosen(2), (std::vector<int>{2, 1}));
}

}  // namespace
}  // namespace mornax
