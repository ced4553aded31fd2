// Four direction sectors and a variogram map from one pass, against one
// sector of the one-direction run, on the benchmark field (100 000 points
// over 10 km x 10 km). A timed program: best of REPEATS wall times.
//
//   mornax_direction_bench [POINTS [LAG [REPEATS [MAP [ONE]]]]]
//
// 20 lags of LAG metres (default 50), sectors 45 degrees wide at 0, 45, 90
// and 135, a map of (2 MAP + 1)^2 cells of LAG (MAP 14 by default: within the
// classes' reach; 20 reaches beyond it); threads from MORNAX_THREADS. ONE 0
// leaves out the one-direction run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "api/mornax_arrays.h"
#include "bench_data.h"

namespace {

template <typename Run>
double Best(int repeats, const Run& run) {
  double best = 1e30;
  for (int r = 0; r < repeats; ++r) {
    const auto start = std::chrono::steady_clock::now();
    run();
    best = std::min(
        best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int points = argc > 1 ? std::atoi(argv[1]) : 100000;
  const double lag = argc > 2 ? std::atof(argv[2]) : 50.0;
  const int repeats = argc > 3 ? std::atoi(argv[3]) : 3;
  const int mapCells = argc > 4 ? std::atoi(argv[4]) : 14;
  const bool withOne = argc > 5 ? std::atoi(argv[5]) != 0 : true;
  mornax::bench::Field field(points);
  const mornax::DataSet data = field.Data();
  const auto n = static_cast<std::size_t>(data.count);
  const std::vector<double> x(data.x.begin(), data.x.begin() + static_cast<long>(n));
  const std::vector<double> y(data.y.begin(), data.y.begin() + static_cast<long>(n));
  const std::vector<double> z(data.z.begin(), data.z.begin() + static_cast<long>(n));
  const mornax::api::Points p{x, y, z};

  mornax::api::DirectionalParameters set;
  set.lagCount = 20;
  set.lagDistance = lag;
  set.tolerance = 45.0;
  set.mapCells = mapCells;
  long long pairs = 0;
  const double all = Best(repeats, [&] {
    const auto r = mornax::api::DirectionalSemivariogram(p, set);
    pairs = 0;
    for (const auto& d : r.directions) {
      for (const auto k : d.pairs) pairs += k;
    }
  });
  std::printf("N %d, 20 lags of %g: four sectors and a %d x %d map %.3f s (%lld sector pairs)\n",
              points, lag, 2 * mapCells + 1, 2 * mapCells + 1, all, pairs);
  if (withOne) {
    const double one = Best(repeats, [&] { mornax::api::Semivariogram(p, {20, lag, 45.0, 45.0}); });
    std::printf("one sector alone %.3f s\n", one);
  }
  return 0;
}
