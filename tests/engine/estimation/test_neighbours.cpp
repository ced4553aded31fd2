// Nearest-neighbour selection: the tie rule, the point left out, and what is
// chosen once the points below the exclusion value run out. Checked against
// a literal repeated minimum search on data with many equal distances.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "estimation/neighbours.h"

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

struct Workspace {
  explicit Workspace(std::size_t pointCount, std::size_t capacity) : distance(pointCount) {
    for (auto* array : {&neighbours.x, &neighbours.y, &neighbours.value, &neighbours.work1}) {
      array->data.assign(capacity, 0.0);
    }
    neighbours.index.data.assign(capacity, 0);
  }
  EstimateWorkspace View() { return EstimateWorkspace{neighbours, distance}; }
  std::vector<int> Chosen(int count) const {
    return std::vector<int>(neighbours.index.data.begin(), neighbours.index.data.begin() + count);
  }
  NeighbourArrays neighbours;
  std::vector<double> distance;
};

// The selection as a repeated minimum search: all distances, the left-out
// point at the exclusion value, then `count` times the smallest distance
// (a later point only when strictly nearer), whose distance then becomes
// the exclusion value.
struct Reference {
  std::vector<int> chosen;
  double dmax = 0.0;
};
Reference Select(const Points& p, double x0, double y0, int excluded, int count, double exclusion) {
  const int n = static_cast<int>(p.x.size());
  std::vector<double> d(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    d[i] = std::sqrt((p.x[i] - x0) * (p.x[i] - x0) + (p.y[i] - y0) * (p.y[i] - y0));
  }
  if (excluded >= 0) d[excluded] = exclusion;
  Reference result;
  for (int k = 0; k < count; ++k) {
    int best = 0;
    for (int j = 1; j < n; ++j) {
      if (d[j] < d[best]) best = j;
    }
    result.chosen.push_back(best);
    result.dmax = d[best];
    d[best] = exclusion;
  }
  return result;
}

TEST(SelectNearest, EqualDistancesTakeTheEarlierPointFirst) {
  // (1,0) and (0,1) are both at distance 1 from the origin; (2,0) at 2.
  Points p{{2, 0, 1, 5}, {0, 1, 0, 5}, {20, 10, 11, 50}};
  DataSet data = p.Data();
  Workspace w(4, 8);
  auto view = w.View();
  EXPECT_EQ(SelectNearest(data, 0, 0, -1, 2, kWeightingExclusion, view), 1.0);
  EXPECT_EQ(w.Chosen(2), (std::vector<int>{1, 2}));
  EXPECT_EQ(w.neighbours.value[0], 10);
  EXPECT_EQ(w.neighbours.value[1], 11);
  EXPECT_EQ(SelectNearest(data, 0, 0, -1, 3, kWeightingExclusion, view), 2.0);
  EXPECT_EQ(w.Chosen(3), (std::vector<int>{1, 2, 0}));
}

TEST(SelectNearest, LeftOutPointAndPlacesBeyondTheRemainingPoints) {
  Points p{{0, 1, 3}, {0, 0, 0}, {10, 20, 40}};
  DataSet data = p.Data();
  Workspace w(3, 8);
  auto view = w.View();
  // Point 1 left out: 0 and 2, then the lowest index at the exclusion value,
  // which is 0 again (chosen before), for every remaining place.
  EXPECT_EQ(SelectNearest(data, 1, 0, 1, 5, kWeightingExclusion, view), kWeightingExclusion);
  EXPECT_EQ(w.Chosen(5), (std::vector<int>{0, 2, 0, 0, 0}));
  // Point 0 left out: the left-out point itself fills the places.
  SelectNearest(data, 0, 0, 0, 4, kWeightingExclusion, view);
  EXPECT_EQ(w.Chosen(4), (std::vector<int>{1, 2, 0, 0}));
  EXPECT_EQ(w.neighbours.value[3], 10);
  // Nothing left out, more places than points.
  EXPECT_EQ(SelectNearest(data, 3, 0, -1, 4, kKrigingExclusion, view), kKrigingExclusion);
  EXPECT_EQ(w.Chosen(4), (std::vector<int>{2, 1, 0, 0}));
}

TEST(SelectNearest, ExclusionValuesAreTheSinglePrecisionConstants) {
  EXPECT_EQ(kWeightingExclusion, 8.999999828524175e20);
  EXPECT_EQ(kKrigingExclusion, 8.999999972125496e35);
}

TEST(SelectNearest, AgreesWithTheRepeatedMinimumSearch) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(0, 6);
  for (int trial = 0; trial < 400; ++trial) {
    const int n = 1 + trial % 23;
    Points p;
    for (int i = 0; i < n; ++i) {
      p.x.push_back(coordinate(random));
      p.y.push_back(coordinate(random));
      p.z.push_back(i);
    }
    const double x0 = coordinate(random) + (trial % 3 == 0 ? 0.5 : 0.0);
    const double y0 = coordinate(random);
    const int excluded = trial % 2 == 0 ? -1 : static_cast<int>(random() % n);
    const int count = 1 + static_cast<int>(random() % (n + 4));
    const double exclusion = trial % 5 == 0 ? kKrigingExclusion : kWeightingExclusion;

    const Reference expected = Select(p, x0, y0, excluded, count, exclusion);
    DataSet data = p.Data();
    Workspace w(n, n + 8);
    auto view = w.View();
    const double dmax = SelectNearest(data, x0, y0, excluded, count, exclusion, view);
    ASSERT_EQ(w.Chosen(count), expected.chosen) << "trial " << trial;
    ASSERT_EQ(dmax, expected.dmax) << "trial " << trial;
    for (int k = 0; k < count; ++k) {
      ASSERT_EQ(w.neighbours.x[k], p.x[expected.chosen[k]]);
      ASSERT_EQ(w.neighbours.y[k], p.y[expected.chosen[k]]);
    }
  }
}

}  // namespace
}  // namespace mornax
