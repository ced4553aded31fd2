// The merge of coincident points on a data set with one point in ten placed
// on an earlier one, against the pairwise scan that removes as it goes (the
// way a merge used to be written, kept here as the reference).
#include <benchmark/benchmark.h>

#include <cstddef>
#include <random>
#include <vector>

#include "estimation/data_points.h"

namespace mornax::bench {
namespace {

struct Points {
  std::vector<double> x, y, z;
};

Points WithDuplicates(int count) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> site(0.0, 10000.0);
  Points p;
  for (int i = 0; i < count; ++i) {
    if (i > 0 && i % 10 == 0) {
      const auto earlier = static_cast<std::size_t>(random() % static_cast<unsigned>(i));
      p.x.push_back(p.x[earlier]);
      p.y.push_back(p.y[earlier]);
    } else {
      p.x.push_back(site(random));
      p.y.push_back(site(random));
    }
    p.z.push_back(site(random));
  }
  return p;
}

int MergeByScan(Points& p) {
  std::size_t n = p.x.size();
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t j = i + 1;
    while (j < n) {
      if (p.x[j] != p.x[i] || p.y[j] != p.y[i]) {
        ++j;
        continue;
      }
      p.z[i] = (p.z[j] + p.z[i]) * 0.5;
      for (std::size_t k = j + 1; k < n; ++k) {
        p.x[k - 1] = p.x[k];
        p.y[k - 1] = p.y[k];
        p.z[k - 1] = p.z[k];
      }
      --n;
    }
  }
  return static_cast<int>(n);
}

void BM_MergeSorted(benchmark::State& state) {
  const Points start = WithDuplicates(static_cast<int>(state.range(0)));
  int reports = 0;
  for (auto _ : state) {
    Points p = start;
    DataSet data{p.x, p.y, p.z, {}, static_cast<int>(p.x.size())};
    MergeCoincidentPoints(data, [&reports](int, int) { ++reports; });
    benchmark::DoNotOptimize(data.count);
  }
  benchmark::DoNotOptimize(reports);
}
BENCHMARK(BM_MergeSorted)->ArgName("N")->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_MergePairwiseScan(benchmark::State& state) {
  const Points start = WithDuplicates(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Points p = start;
    benchmark::DoNotOptimize(MergeByScan(p));
  }
}
BENCHMARK(BM_MergePairwiseScan)->ArgName("N")->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mornax::bench
