// One estimate of distance weighting and kriging on 100 000 points, the
// neighbour selection with and without the index, building the index, and the
// semivariogram pair loop of 10 000 points on one thread.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <vector>

#include "bench_data.h"
#include "estimation/spatial_index.h"
#include "kriging/kriging_estimate.h"
#include "semivariogram/gama3.h"
#include "weighting/weighting.h"

namespace mornax::bench {
namespace {

void BM_Nearest(benchmark::State& state) {
  Setup& s = Shared();
  const int count = static_cast<int>(state.range(0));
  const bool indexed = state.range(1) != 0;
  Scratch scratch(static_cast<std::size_t>(count) + 16, kPoints);
  EstimateWorkspace workspace = scratch.View(indexed ? &s.index : nullptr);
  std::size_t q = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        SelectNearest(s.data, s.qx[q], s.qy[q], -1, count, kKrigingExclusion, workspace));
    q = (q + 1) % kQueries;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Nearest)
    ->ArgNames({"NN", "index"})
    ->Args({4, 1})
    ->Args({6, 1})
    ->Args({16, 1})
    ->Args({6, 0});

void BM_IndexBuild(benchmark::State& state) {
  Setup& s = Shared();
  for (auto _ : state) {
    SpatialIndex index;
    index.Build(s.data.x, s.data.y, s.data.count);
    benchmark::DoNotOptimize(&index);
  }
}
BENCHMARK(BM_IndexBuild)->Unit(benchmark::kMillisecond);

void BM_WeightedEstimate(benchmark::State& state) {
  Setup& s = Shared();
  const int nearest = static_cast<int>(state.range(0));
  Scratch scratch(static_cast<std::size_t>(nearest) + 16, kPoints);
  EstimateWorkspace workspace = scratch.View(&s.index);
  std::size_t q = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(WeightedEstimate(s.data, nearest, 1, -1, s.qx[q], s.qy[q], workspace));
    q = (q + 1) % kQueries;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WeightedEstimate)->ArgName("NN")->Arg(4);

void BM_KrigingEstimate(benchmark::State& state) {
  Setup& s = Shared();
  const int nearest = static_cast<int>(state.range(0));
  const int order = static_cast<int>(state.range(1));
  const std::size_t capacity = static_cast<std::size_t>(nearest) + 16;
  Scratch scratch(capacity, kPoints);
  EstimateWorkspace workspace = scratch.View(&s.index);
  KrigingParameters parameters;
  parameters.variogram = VariogramModel{2, 40.0, 39.0, 1.0, 3000.0};
  parameters.nearest = nearest;
  parameters.driftTerms = order == 0 ? 1 : 3;
  parameters.leadingDimension = static_cast<int>(capacity);
  QuietMessages messages;
  std::size_t q = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        KrigingEstimate(messages, s.data, parameters, s.qx[q], s.qy[q], -1, workspace));
    q = (q + 1) % kQueries;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KrigingEstimate)
    ->ArgNames({"NN", "order"})
    ->Args({6, 0})
    ->Args({16, 0})
    ->Args({6, 1})
    ->Args({16, 1});

// Every pair of 10 000 points in a 45-degree sector, 20 lags of 250 m.
void BM_PairLoop(benchmark::State& state) {
  Field field(static_cast<int>(state.range(0)));
  DataSet data = field.Data();
  const auto n = static_cast<std::size_t>(data.count);
  LagArrays lags;
  for (auto* array : {&lags.lag1, &lags.lag2, &lags.lag3}) array->data.assign(21, 0.0);
  for (auto _ : state) {
    int nlags = 20;
    benchmark::DoNotOptimize(Gama3(data.z.first(n), data.x.first(n), data.y.first(n), nlags, 250.0,
                                   45.0, 45.0, lags, 1));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n * (n - 1) / 2));
}
BENCHMARK(BM_PairLoop)->ArgName("N")->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mornax::bench
