// Measures how often a semivariogram run asks for a stop: a whole run (reading
// the data file, merging, the pair loop, the result files) on 100 000 points,
// with a message implementation that stamps every Cancel poll. Reports the
// worst time between two polls (the start and the end of the run count as
// polls), and how long a run takes to end after a poll answered yes.
//
//   mornax_cancel_gap [points] [folder]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_data.h"
#include "core/engine_state.h"
#include "core/messages.h"
#include "dispatch/run_driver.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Processor time of the calling thread: its work, whatever else the machine
// runs meanwhile.
double ThreadCpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

class StampedPolls : public mornax::Messages {
 public:
  void AddLine(int, std::string_view) override {}
  void ShowMessage(std::string_view text) override {
    std::fprintf(stderr, "message: %.*s\n", static_cast<int>(text.size()), text.data());
  }
  bool PollCancel() override {
    stamps.push_back(Clock::now());
    work.push_back(ThreadCpuMilliseconds());
    return stopAtPoll > 0 && static_cast<int>(stamps.size()) == stopAtPoll;
  }
  void WriteOutput(std::string_view) override {}

  std::vector<Clock::time_point> stamps;
  std::vector<double> work;  // the polling thread's processor time at each poll
  int stopAtPoll = 0;
};

struct Sector {
  const char* name;
  int lags;
  double lag, direction, tolerance;
};

void WriteDataFile(const std::filesystem::path& file, int count) {
  mornax::bench::Field field(count);
  const mornax::DataSet data = field.Data();
  std::ofstream out(file);
  out << "Cancel gap field\n" << count << "\n";
  char line[96];
  for (int i = 0; i < count; ++i) {
    std::snprintf(line, sizeof line, "%.2f %.2f %.4f\n", data.x[i], data.y[i], data.z[i]);
    out << line;
  }
  out << "0\n";
}

void Measure(const std::filesystem::path& folder, const Sector& sector, int threads) {
  mornax::EngineState state;
  state.projectFolder = folder;
  state.baseName = "GAP         ";
  state.baseLength = 3;
  state.threadCount = threads;
  state.svar.lagCount = sector.lags;
  state.svar.lagDistance = sector.lag;
  state.svar.direction = sector.direction;
  state.svar.tolerance = sector.tolerance;

  StampedPolls polls;
  const double workStart = ThreadCpuMilliseconds();
  const Clock::time_point start = Clock::now();
  mornax::RunTask(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE, state, polls);
  const Clock::time_point end = Clock::now();
  std::vector<double> work{workStart};
  work.insert(work.end(), polls.work.begin(), polls.work.end());
  work.push_back(ThreadCpuMilliseconds());
  double worstWork = 0.0;
  for (std::size_t k = 1; k < work.size(); ++k) {
    worstWork = std::max(worstWork, work[k] - work[k - 1]);
  }
  std::vector<Clock::time_point> marks{start};
  marks.insert(marks.end(), polls.stamps.begin(), polls.stamps.end());
  marks.push_back(end);
  double worst = 0.0;
  double worstInLoop = 0.0;
  for (std::size_t k = 1; k < marks.size(); ++k) {
    const double gap = Milliseconds(marks[k] - marks[k - 1]);
    worst = std::max(worst, gap);
    if (k >= 2 && k + 1 < marks.size()) worstInLoop = std::max(worstInLoop, gap);
  }

  // Stopped at the fifth poll: time from that answer to the end of the run.
  mornax::EngineState stopped = state;
  stopped.svar.lagCount = sector.lags;
  StampedPolls stopping;
  stopping.stopAtPoll = 5;
  mornax::RunTask(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE, stopped, stopping);
  const Clock::time_point stopEnd = Clock::now();
  const double latency =
      stopping.stamps.size() >= 5 ? Milliseconds(stopEnd - stopping.stamps[4]) : -1.0;

  std::printf("| %-28s | %7d | %9.0f | %6zu | %12.1f | %12.1f | %12.1f | %10.1f |\n", sector.name,
              threads, Milliseconds(end - start), polls.stamps.size(), worst, worstInLoop,
              worstWork, latency);
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
  const std::filesystem::path folder =
      argc > 2 ? std::filesystem::path(argv[2])
               : std::filesystem::temp_directory_path() / "mornax-cancel-gap";
  std::filesystem::create_directories(folder);
  WriteDataFile(folder / "GAP.dfl", count);

  // A usual sector, and the worst case for the pair loop: every pair within
  // reach and inside the sector, so every pair takes the exact arithmetic.
  const Sector sectors[] = {{"lag 250, 20 lags, 60 deg", 20, 250.0, 30.0, 60.0},
                            {"lag 1000, 15 lags, 180 deg", 15, 1000.0, 0.0, 180.0}};
  std::printf("%d points\n\n", count);
  std::printf(
      "| sector                       | threads |    run ms |  polls | worst gap ms |   in loop ms "
      "| max work ms  |    stop ms |\n"
      "|------------------------------|---------|-----------|--------|--------------|--------------"
      "|--------------|------------|\n");
  for (const Sector& sector : sectors) {
    for (const int threads : {1, 2}) Measure(folder, sector, threads);
  }
  std::filesystem::remove_all(folder);
  return 0;
}
