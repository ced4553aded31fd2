// The in-memory interface on a benchmark data file (bench/make_data.py):
// ordinary kriging of every network node, timed without the reading of the
// file, as run.sh times the same case through the batch tool.
//
//   mornax_api_bench FILE.dfl [NEIGHBOURS [REPEATS [--stream]]]
//
// Prints the best and the median wall time of REPEATS runs (default 5) of
// api::Kriging on all cores (MORNAX_THREADS sets the count), with the
// parameters of run.sh's cases (spherical, sill 40, C0 1, range 3000, order
// 0). With --stream the nodes go through Predictor::Stream in blocks of 4096
// from the data file itself (flat memory, as a raster writer would use it)
// and the time includes reading them.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "api/mornax_arrays.h"

namespace {

using mornax::api::DataFileReader;

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Processor time of the whole process (all threads), seconds.
double ProcessorSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

double processorTime = 0.0;  // of the last run's estimation

mornax::api::KrigingParameters Parameters(int neighbours) {
  mornax::api::KrigingParameters p;
  p.variogram = {.model = 2, .sill = 40.0, .a = 3000.0, .c = 39.0, .c0 = 1.0};
  p.order = 0;
  p.neighbours = neighbours;
  return p;
}

// One run; returns its wall time, or a negative value when it failed.
double Run(const char* file, int neighbours, bool stream) {
  DataFileReader reader(file);
  if (!reader.report().completed()) return -1.0;
  const auto nodes = static_cast<std::size_t>(reader.networkCount());
  if (stream) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu = ProcessorSeconds();
    mornax::api::Predictor predictor =
        mornax::api::Predictor::Kriging(reader.points(), Parameters(neighbours));
    double sum = 0.0;
    const mornax::api::Report report = predictor.Stream(
        [&reader](const mornax::api::NodeBlock& block) { return reader.ReadNodes(block); },
        [&sum](const mornax::api::ResultBlock& block) {
          for (const double e : block.estimate) sum += e;
          return true;
        },
        {}, {.total = static_cast<std::int64_t>(nodes), .blockSize = 4096});
    const double seconds = Seconds(std::chrono::steady_clock::now() - start);
    processorTime = ProcessorSeconds() - cpu;
    std::fprintf(stderr, "checksum %.6f\n", sum);
    return report.completed() ? seconds : -1.0;
  }
  std::vector<double> x(nodes), y(nodes), guess(nodes);
  if (reader.ReadNodes({x, y, guess}) != nodes) return -1.0;
  const auto start = std::chrono::steady_clock::now();
  const double cpu = ProcessorSeconds();
  const mornax::api::NodeResults results =
      mornax::api::Kriging(reader.points(), {x, y, {}}, Parameters(neighbours));
  const double seconds = Seconds(std::chrono::steady_clock::now() - start);
  processorTime = ProcessorSeconds() - cpu;
  return results.report.completed() ? seconds : -1.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: mornax_api_bench FILE.dfl [NEIGHBOURS [REPEATS [--stream]]]\n");
    return 2;
  }
  const int neighbours = argc > 2 ? std::atoi(argv[2]) : 16;
  const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  const bool stream = argc > 4 && std::strcmp(argv[4], "--stream") == 0;
  std::vector<double> times, processor;
  for (int r = 0; r < repeats; ++r) {
    const double seconds = Run(argv[1], neighbours, stream);
    if (seconds < 0.0) {
      std::fprintf(stderr, "the run did not complete\n");
      return 1;
    }
    times.push_back(seconds);
    processor.push_back(processorTime);
  }
  std::sort(times.begin(), times.end());
  std::sort(processor.begin(), processor.end());
  std::printf("best %.3f s, median %.3f s over %d runs (processor time: best %.3f s)\n",
              times.front(), times[times.size() / 2], repeats, processor.front());
  return 0;
}
