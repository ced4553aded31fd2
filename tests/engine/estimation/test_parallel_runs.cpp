// Estimating on several threads changes nothing the user sees: the ordered
// pipeline finishes items in order and stops where it is told; the point
// loops show every message, counter and record where the sequential loop
// shows it and stop at the same point on Cancel, a failed estimate or an
// unreadable network line; whole runs write the same bytes for every thread
// count and with or without the spatial index.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/parallel_pipeline.h"
#include "dispatch/run_driver.h"
#include "estimation/data_points.h"
#include "estimation/point_loops.h"
#include "estimation/run_files.h"
#include "support/recorder_messages.h"
#include "support/run_fixture.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::RecorderMessages;
using testing::ScopedTempDir;

// A pipeline whose items are squared by `compute`; the finish of `stopAt`
// stops, the compute of `throwAt` throws (-1: never).
struct PipelineCase {
  std::int64_t stopAt = -1, throwAt = -1;
  std::vector<std::int64_t> slots, read, finished;
  std::multiset<std::int64_t> computed;
  std::mutex mutex;
  int highestWorker = -1;

  void Run(int threads, std::int64_t total, std::size_t ring) {
    slots.assign(ring, 0);
    PipelineStages stages;
    stages.read = [&](std::int64_t item, std::size_t slot) {
      read.push_back(item);
      slots[slot] = item;
      return true;
    };
    stages.compute = [&](std::size_t slot, int worker) {
      const std::int64_t item = slots[slot];
      if (item == throwAt) throw std::runtime_error("compute failed");
      slots[slot] = item * item;
      const std::lock_guard lock(mutex);
      computed.insert(item);
      highestWorker = std::max(highestWorker, worker);
    };
    stages.finish = [&](std::int64_t item, std::size_t slot, bool) {
      EXPECT_EQ(slots[slot], item * item);
      finished.push_back(item);
      return item != stopAt;
    };
    RunPipeline(threads, total, ring, stages);
  }
};

TEST(Pipeline, EveryItemIsComputedOnceAndFinishedInOrder) {
  std::vector<std::int64_t> all(500);
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<std::int64_t>(i);
  for (const int threads : {1, 2, 3, 8}) {
    for (const std::size_t ring : {1u, 7u, 64u}) {
      SCOPED_TRACE(std::to_string(threads) + " threads, ring " + std::to_string(ring));
      PipelineCase p;
      p.Run(threads, 500, ring);
      EXPECT_EQ(p.read, all);
      EXPECT_EQ(p.finished, all);
      EXPECT_EQ(p.computed, std::multiset<std::int64_t>(all.begin(), all.end()));
      EXPECT_LT(p.highestWorker, threads);
    }
  }
}

TEST(Pipeline, AStopBoundsTheWorkAheadAndAFailedComputationReachesTheCaller) {
  for (const int threads : {1, 3}) {
    SCOPED_TRACE(threads);
    PipelineCase stopped;
    stopped.stopAt = 30;
    stopped.Run(threads, 1000, 16);
    EXPECT_EQ(stopped.finished.size(), 31u);
    // Nothing beyond the ring is read or computed.
    EXPECT_LE(stopped.read.back(), 30 + 16);
    EXPECT_LE(*stopped.computed.rbegin(), 30 + 16);

    PipelineCase failing;
    failing.throwAt = 17;
    EXPECT_THROW(failing.Run(threads, 100, 8), std::runtime_error);
    EXPECT_LE(failing.finished.size(), 17u);
  }
}

// Records every message in one sequence "mode|line", "box|text", "out|line",
// so that the order of lines, boxes and standard output is compared whole.
class SequenceRecorder : public RecorderMessages {
 public:
  void AddLine(int mode, std::string_view text) override {
    events.push_back(std::to_string(mode) + "|" + std::string(text));
  }
  void ShowMessage(std::string_view text) override { events.push_back("box|" + std::string(text)); }
  void WriteOutput(std::string_view line) override { events.push_back("out|" + std::string(line)); }
  std::vector<std::string> events;
};

// What a loop or a run left behind.
struct Outcome {
  std::vector<std::string> events;
  int polls = 0;
  std::string lst, dat, lev, wl;
  LoopEnd end = LoopEnd::kCompleted;
  int readStatus = 0;
  long long written = 0;
};

Outcome Left(const SequenceRecorder& messages, const ScopedTempDir& dir) {
  Outcome outcome;
  outcome.events = messages.events;
  outcome.polls = messages.polls;
  outcome.lst = dir.Read("SITE.lst");
  outcome.dat = dir.Read("SITE.dat");
  outcome.lev = dir.Read("SITE.lev");
  outcome.wl = dir.Read("SITE.wl");
  return outcome;
}

void ExpectSame(const Outcome& a, const Outcome& b) {
  EXPECT_EQ(a.events, b.events);
  EXPECT_EQ(a.polls, b.polls);
  EXPECT_EQ(a.lst, b.lst);
  EXPECT_EQ(a.dat, b.dat);
  EXPECT_EQ(a.lev, b.lev);
  EXPECT_EQ(a.wl, b.wl);
  EXPECT_EQ(a.end, b.end);
  EXPECT_EQ(a.readStatus, b.readStatus);
  EXPECT_EQ(a.written, b.written);
}

int Lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// 12 data points (x = 10 i, y = 7 i mod 50, value i), then the network
// (x = p, y = 2 p); `unreadable` spoils the line of point p.
std::string ScriptedFile(int network, int unreadable = 0) {
  std::string text = "Scripted\n12\n";
  for (int i = 0; i < 12; ++i) {
    text +=
        std::to_string(i * 10) + " " + std::to_string(i * 7 % 50) + " " + std::to_string(i) + "\n";
  }
  text += std::to_string(network) + "\n";
  for (int p = 1; p <= network; ++p) {
    text += p == unreadable ? "1 x\n" : std::to_string(p) + " " + std::to_string(2 * p) + "\n";
  }
  return text;
}

// The point loops with an estimator whose estimate is x + 2 y + number / 4;
// points 5 and 30 give a message of every kind and point `failAt` fails.
class ScriptedLoop : public ::testing::Test {
 protected:
  struct Script {
    int failAt = 0;
    int cancelAtPoll = 0;
  };

  Outcome Run(bool errorAnalysis, int threads, const Script& script, const std::string& file) {
    dir.Write("SITE.dfl", file);
    SequenceRecorder messages;
    messages.cancelAtPoll = script.cancelAtPoll;
    const RunEnv env(messages, "SITE", 4, RunOptions{threads, false}, nullptr, dir.path());
    RunFiles files;
    EXPECT_TRUE(files.Open(env, "Scripted", errorAnalysis, !errorAnalysis));
    PointArrays points;
    for (auto* array : {&points.x, &points.y, &points.value, &points.distance, &points.fifth}) {
      array->data.assign(12, 0.0);
    }
    DataSet data;
    EXPECT_TRUE(ReadDataPoints(env, files.data, points, {}, data));
    NeighbourArrays neighbours;
    EstimateWorkspace workspace{neighbours, std::span<double>(points.distance.data)};

    const Estimator estimate = [&](const EstimationPoint& point, EstimateWorkspace& ws) {
      Messages& out = ws.MessagesOr(env.messages());
      if (point.number == 5 || point.number == 30) {
        out.AddLine(kListAppend, "note " + std::to_string(point.number));
        out.ShowMessage("box " + std::to_string(point.number));
        out.WriteOutput("output " + std::to_string(point.number));
      }
      PointEstimate result{point.x + 2 * point.y + 0.25 * point.number};
      if (point.number == script.failAt) result.failure = 7;
      return result;
    };
    auto reportFailure = [&](const PointEstimate& result) {
      env.Error("failure " + std::to_string(result.failure));
    };

    LoopEnd end = LoopEnd::kCompleted;
    int readStatus = 0;
    long long written = 0;
    if (errorAnalysis) {
      ErrorAnalysisSetup setup;
      setup.counterText = "Row ";
      setup.counterInterval = 4;
      setup.statistics = &WeightingStatistics();
      setup.estimate = estimate;
      setup.writeRow = [&](int i, const PointEstimate& result) {
        const double error = result.value - data.z[static_cast<std::size_t>(i)];
        files.lst.Put("row " + std::to_string(i) + " " + std::to_string(error) + "\n");
        return ErrorTerm{error};
      };
      setup.reportFailure = reportFailure;
      const RunEnd loop = RunErrorAnalysis(env, files.lst, data, setup, workspace);
      end = loop.end;
      written = loop.written;
    } else {
      InterpolationSetup setup;
      setup.counterText = "Point ";
      setup.counterInterval = 10;
      setup.estimate = estimate;
      setup.writeDatHeader = [](io::RecordFile& dat, std::int32_t count) {
        dat.Put("header " + std::to_string(count) + "\n");
      };
      setup.writeDatRecord = [](io::RecordFile& dat, const EstimationPoint& point,
                                const PointEstimate& result) {
        char record[80];
        std::snprintf(record, sizeof record, "%g %g %g %lld\n", point.x, point.y, result.value,
                      static_cast<long long>(point.number));
        dat.Put(record);
      };
      setup.reportFailure = reportFailure;
      const RunEnd loop = RunInterpolation(env, files, data, setup, workspace);
      end = loop.end;
      readStatus = loop.readStatus;
      written = loop.written;
    }
    // Everything written is kept, to be compared.
    for (io::RecordFile* file : {&files.lst, &files.dat, &files.lev, &files.wl}) {
      if (file->Pending()) file->Commit();
    }
    files.Close();
    Outcome outcome = Left(messages, dir);
    outcome.end = end;
    outcome.readStatus = readStatus;
    outcome.written = written;
    return outcome;
  }

  // The sequential outcome, and the same from several thread counts.
  Outcome LikeOneThread(bool errorAnalysis, const Script& script, const std::string& file) {
    const Outcome one = Run(errorAnalysis, 1, script, file);
    for (const int threads : {2, 3, 8}) {
      SCOPED_TRACE(threads);
      ExpectSame(Run(errorAnalysis, threads, script, file), one);
    }
    return one;
  }

  ScopedTempDir dir;
};

TEST_F(ScriptedLoop, MessagesOfEstimatesAppearWhereTheSequentialLoopShowsThem) {
  const Outcome outcome = LikeOneThread(false, {}, ScriptedFile(57));
  // Counters at 10, 20, ..., 50 and the last; point 5's messages before the
  // counter of 10, point 30's after the counter of 30.
  EXPECT_EQ(outcome.events,
            (std::vector<std::string>{"2|", "2|note 5", "box|box 5", "out|output 5",
                                      "1| Point   10", "1| Point   20", "1| Point   30",
                                      "2|note 30", "box|box 30", "out|output 30", "1| Point   40",
                                      "1| Point   50", "1| Point   57"}));
  EXPECT_EQ(Lines(outcome.dat), 58);
  EXPECT_NE(outcome.dat.find("\n57 114 299.25 57\n"), std::string::npos);
}

TEST_F(ScriptedLoop, InterpolationStopsWhereTheSequentialLoopStops) {
  const Outcome failed = LikeOneThread(false, {.failAt = 30}, ScriptedFile(57));
  EXPECT_EQ(failed.end, LoopEnd::kFailed);
  EXPECT_EQ(failed.events.back(), "box|failure 7");
  EXPECT_EQ(Lines(failed.wl), 29);
  EXPECT_EQ(Lines(failed.dat), 30);  // the header and points 1-29

  const Outcome cancelled = LikeOneThread(false, {.cancelAtPoll = 23}, ScriptedFile(57));
  EXPECT_EQ(cancelled.end, LoopEnd::kCancelled);
  EXPECT_EQ(cancelled.polls, 23);
  EXPECT_EQ(Lines(cancelled.wl), 22);

  const Outcome unreadable = LikeOneThread(false, {}, ScriptedFile(57, 40));
  EXPECT_EQ(unreadable.readStatus, io::kReadFormatError);
  EXPECT_EQ(Lines(unreadable.wl), 39);

  // A network shorter than its count meets the end of the file.
  const Outcome cut = LikeOneThread(false, {}, ScriptedFile(57).substr(0, 200));
  EXPECT_LT(cut.readStatus, 0);
}

TEST_F(ScriptedLoop, ErrorAnalysisRowsStatisticsAndStopsMatchTheSequentialLoop) {
  const Outcome complete = LikeOneThread(true, {}, ScriptedFile(0));
  EXPECT_NE(complete.lst.find("row 11 "), std::string::npos);
  EXPECT_NE(complete.lst.find("Root Mean Square Error"), std::string::npos);

  const Outcome failed = LikeOneThread(true, {.failAt = 9}, ScriptedFile(0));
  EXPECT_EQ(failed.end, LoopEnd::kFailed);
  EXPECT_EQ(failed.lst.find("Average Error"), std::string::npos);

  const Outcome cancelled = LikeOneThread(true, {.cancelAtPoll = 6}, ScriptedFile(0));
  EXPECT_EQ(cancelled.end, LoopEnd::kCancelled);
  EXPECT_EQ(Lines(cancelled.lst), 1 + 5);  // the title and rows 0-4
}

// 300 points on a 10-unit lattice over 1000 x 1000 (many equal distances),
// three of them repeated exactly; a smooth field with noise and guesses near
// it; a 15 x 15 network with guesses.
std::string FieldFile() {
  std::mt19937 random(515);
  std::normal_distribution<double> noise(0.0, 0.5);
  std::string text = "A lattice field\n300\n";
  std::vector<std::pair<int, int>> places;
  char line[96];
  for (std::size_t i = 0; i < 300; ++i) {
    std::pair<int, int> place{static_cast<int>(random() % 101) * 10,
                              static_cast<int>(random() % 101) * 10};
    if (i == 100 || i == 200 || i == 250) place = places[i / 3];
    places.push_back(place);
    const auto [x, y] = place;
    const double z = 50.0 + 0.01 * x - 0.02 * y + 5.0 * std::sin(x / 150.0) + noise(random);
    std::snprintf(line, sizeof line, "%d %d %.3f %.3f\n", x, y, z, z + 2.0 + noise(random));
    text += line;
  }
  text += "225\n";
  for (int p = 0; p < 225; ++p) {
    std::snprintf(line, sizeof line, "%d %d %.2f\n", 10 + 70 * (p % 15), 10 + 70 * (p / 15),
                  60.0 + 0.3 * (p / 15));
    text += line;
  }
  return text;
}

class WholeRuns : public testing::ProjectRun {
 protected:
  void SetUp() override {
    auto& p = state.ipl;
    p.dwPoints = 6;
    p.dwScheme = 2;
    p.krigPoints = 8;
    p.krigModel = 2;
    p.krigOrder = 1;
    p.sill = 40;
    p.c0 = 1;
    p.a = 300;
    p.bayesPoints = 6;
    p.bayesModel = 3;
    p.scaleGuess = 1;
    p.guessSill = 5;
    p.guessC0 = 1;
    p.guessA = 300;
    dir.Write("SITE.dfl", FieldFile());
  }

  // Runs method (1 weighting, 2 kriging, 3 Bayes) in `mode` on `threads`.
  Outcome Run(int method, int mode, int threads) {
    for (const char* name : {"SITE.lst", "SITE.dat", "SITE.lev", "SITE.wl"}) {
      std::filesystem::remove(dir.path() / name);
    }
    SequenceRecorder messages;
    state.threadCount = threads;
    RunTask(MNX_TASK_INTERPOLATION, method, mode, state, messages);
    return Left(messages, dir);
  }
};

TEST_F(WholeRuns, FilesAndMessagesAreTheSameForEveryThreadCountAndWithoutTheIndex) {
  for (const int method : {MNX_METHOD_WEIGHTING, MNX_METHOD_KRIGING, MNX_METHOD_BAYES}) {
    for (const int mode : {MNX_MODE_ERROR_ANALYSIS, MNX_MODE_INTERPOLATION}) {
      SCOPED_TRACE("method " + std::to_string(method) + " mode " + std::to_string(mode));
      const Outcome one = Run(method, mode, 1);
      // Every point estimated: the title, the header and 297 rows after the
      // merges (weighting keeps all 300), or the header and 225 records.
      if (mode == MNX_MODE_ERROR_ANALYSIS) {
        EXPECT_GE(Lines(one.lst), 2 + 297);
      } else {
        EXPECT_EQ(Lines(one.dat), 226);
      }
      ExpectSame(Run(method, mode, 3), one);
      setenv("MORNAX_LINEAR_SCAN", "1", 1);
      const Outcome scanned = Run(method, mode, 2);
      unsetenv("MORNAX_LINEAR_SCAN");
      ExpectSame(scanned, one);
    }
  }
  // More neighbours than points: the places beyond them repeat the lowest
  // index, on every thread alike.
  state.ipl.dwPoints = 305;
  ExpectSame(Run(MNX_METHOD_WEIGHTING, MNX_MODE_ERROR_ANALYSIS, 4),
             Run(MNX_METHOD_WEIGHTING, MNX_MODE_ERROR_ANALYSIS, 1));
}

TEST_F(WholeRuns, SingularKrigingSystemsReportInPointOrder) {
  // Every point on one line: a linear drift makes every system singular.
  std::string text = "On a line\n30\n";
  for (int i = 0; i < 30; ++i)
    text += std::to_string(i * 10) + " 0 " + std::to_string(i % 7) + "\n";
  text += "40\n";
  for (int p = 0; p < 40; ++p) text += std::to_string(p * 7) + " " + std::to_string(p % 3) + "\n";
  dir.Write("SITE.dfl", text);
  state.ipl.krigPoints = 4;
  for (const int mode : {MNX_MODE_ERROR_ANALYSIS, MNX_MODE_INTERPOLATION}) {
    const Outcome one = Run(MNX_METHOD_KRIGING, mode, 1);
    EXPECT_TRUE(one.events.back().starts_with("box|"));  // the report of the singular points
    ExpectSame(Run(MNX_METHOD_KRIGING, mode, 3), one);
  }
  // More neighbours than points: repeated rows, zero divisors in the
  // solution and their standard-output lines.
  state.ipl.krigPoints = 33;
  state.ipl.krigOrder = 0;
  const Outcome one = Run(MNX_METHOD_KRIGING, MNX_MODE_INTERPOLATION, 1);
  EXPECT_GE(std::count_if(one.events.begin(), one.events.end(),
                          [](const std::string& e) { return e.starts_with("out|"); }),
            40);
  ExpectSame(Run(MNX_METHOD_KRIGING, MNX_MODE_INTERPOLATION, 3), one);
}

}  // namespace
}  // namespace mornax
