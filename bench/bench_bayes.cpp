// One Bayesian estimate on 100 000 points (its own file: the model numbers of
// Bayesian estimation and of kriging are declared apart).
#include <benchmark/benchmark.h>

#include <cstddef>

#include "bayes/bayes_estimate.h"
#include "bench_data.h"

namespace mornax::bench {
namespace {

void BM_BayesEstimate(benchmark::State& state) {
  Setup& s = Shared();
  const int nearest = static_cast<int>(state.range(0));
  const std::size_t capacity = static_cast<std::size_t>(nearest) + 16;
  Scratch scratch(capacity, kPoints);
  EstimateWorkspace workspace = scratch.View(&s.index);
  BayesSettings settings;
  settings.count = nearest;
  settings.capacity = static_cast<int>(capacity);
  settings.observation = BayesModel{2, 39.0, 3000.0, 1.0, 40.0, 0.0, 0.0, 0.0};
  settings.guess = BayesModel{2, 4.0, 3000.0, 1.0, 5.0, 0.0, 0.0, 0.0};
  QuietMessages messages;
  std::size_t q = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        EstimateBayes(messages, s.data, settings, s.qx[q], s.qy[q], 70.0, -1, workspace));
    q = (q + 1) % kQueries;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BayesEstimate)->ArgName("NN")->Arg(8);

}  // namespace
}  // namespace mornax::bench
