#include "estimation/point_loops.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "core/parallel_messages.h"
#include "core/parallel_pipeline.h"
#include "core/value_bounds.h"
#include "estimation/level_list.h"
#include "estimation/spatial_index.h"
#include "io/fortran_format.h"

namespace mornax {
namespace {

// Points in flight per thread: enough to keep every thread busy while the
// calling thread writes, few enough that a stop wastes little work.
constexpr std::size_t kSlotsPerThread = 32;

bool CounterDue(int number, int last, int interval) {
  return number == last || (interval > 0 && number % interval == 0);
}

// Replaces the last progress line with "(1x,a,I4)" of the text and number.
void ShowCounter(const RunEnv& env, std::string_view text, int number, std::string& buffer) {
  static const io::FortranFormat kCounter("(1x,a,I4)");
  const io::FortranValue values[] = {io::FortranValue(text),
                                     io::FortranValue(static_cast<std::int64_t>(number))};
  buffer.clear();
  kCounter.Render(values, buffer);
  buffer.erase(buffer.find_last_not_of(" \n") + 1);
  env.Progress(kListReplaceLast, buffer);
}

// The run's workspace with the index of the data set (built once, after any
// merging), unless the run asks for the scan over all points.
EstimateWorkspace IndexedWorkspace(const RunEnv& env, const DataSet& data,
                                   const EstimateWorkspace& workspace, SpatialIndex& index) {
  EstimateWorkspace indexed = workspace;
  if (!env.options().linearScan && data.count > 0) {
    index.Build(data.x, data.y, data.count);
    indexed.index = &index;
  }
  return indexed;
}

int LoopThreads(const RunEnv& env, std::int64_t points) {
  return static_cast<int>(std::clamp<std::int64_t>(points, 1, std::max(env.options().threads, 1)));
}

// One workspace per thread: the run's own for the calling thread, copies of
// its arrays for the others. Made once per loop, never per point.
class ThreadWorkspaces {
 public:
  ThreadWorkspaces(const EstimateWorkspace& first, int threads) {
    views_.reserve(static_cast<std::size_t>(threads));
    views_.push_back(first);
    for (int worker = 1; worker < threads; ++worker) {
      NeighbourArrays& arrays = arrays_.emplace_back(first.neighbours);
      std::vector<double>& distance = distances_.emplace_back(first.distance.size(), 0.0);
      EstimateWorkspace view{arrays, std::span<double>(distance)};
      view.index = first.index;
      views_.push_back(view);
    }
  }
  EstimateWorkspace& operator[](int worker) { return views_[static_cast<std::size_t>(worker)]; }

 private:
  std::deque<NeighbourArrays> arrays_;  // a deque keeps each in place
  std::deque<std::vector<double>> distances_;
  std::vector<EstimateWorkspace> views_;
};

// True when every number the point's records take from the estimate is
// finite; the record writer shows any other as asterisks.
bool FiniteEstimate(const PointEstimate& estimate) {
  return std::isfinite(estimate.value) && std::isfinite(estimate.standardError) &&
         std::isfinite(estimate.guess);
}

// The closing message of a loop that wrote asterisks for values that are
// not numbers or overflowed: how many points, and whether the statistics
// block was affected.
void ReportNonFinite(const RunEnv& env, int points, bool statistics) {
  if (points == 0 && !statistics) return;
  std::string text;
  if (points > 0) {
    text = "Estimate not finite at " + std::to_string(points) +
           (points == 1 ? " point" : " points") +
           ", written as asterisks and left out of the statistics";
  }
  if (statistics) {
    text += (text.empty() ? "" : "; ") +
            std::string("Error statistics not finite, written as asterisks");
  }
  env.Error(text);
}

// One point in flight: where to estimate, the read status of a network
// point, the estimate and the messages it gave.
struct PointSlot {
  EstimationPoint point;
  int readStatus = io::kReadOk;
  bool unusable = false;  // read, but holds a value beyond kLargestUsableValue
  PointEstimate estimate;
  DeferredMessages messages;
};

// The estimate of one slot on one thread; its messages wait in the slot.
void EstimateSlot(const Estimator& estimate, PointSlot& slot, EstimateWorkspace& workspace) {
  slot.messages.Clear();
  workspace.messages = &slot.messages;
  slot.estimate = estimate(slot.point, workspace);
}

EstimationPoint DataPoint(const DataSet& data, int i) {
  EstimationPoint point;
  point.x = data.x[i];
  point.y = data.y[i];
  point.guess = data.guess.empty() ? 0.0 : data.guess[i];
  point.excluded = i;
  point.number = i + 1;
  return point;
}

// The steps around the estimate of data point i, taken in point order: the
// Cancel poll and the counter before it, the row and the sums after it. Each
// returns false when the loop ends there, with `end` set.
struct AnalysisWriter {
  const RunEnv& env;
  const DataSet& data;
  const ErrorAnalysisSetup& setup;
  int& nonFinite;  // points whose row holds a value that is not finite
  ErrorStatistics statistics;
  std::string counter;
  LoopEnd end = LoopEnd::kCompleted;
  long long written = 0;

  bool BeforeEstimate(int i) {
    if (env.Cancelled()) {
      end = LoopEnd::kCancelled;
      return false;
    }
    if (CounterDue(i + 1, data.count, setup.counterInterval)) {
      ShowCounter(env, setup.counterText, i + 1, counter);
    }
    return true;
  }
  bool AfterEstimate(int i, const PointEstimate& estimate) {
    if (estimate.failure != 0) {
      if (setup.reportFailure) setup.reportFailure(estimate);
      end = LoopEnd::kFailed;
      return false;
    }
    const ErrorTerm term = setup.writeRow(i, estimate);
    ++written;
    if (!FiniteEstimate(estimate) || !std::isfinite(term.error)) {
      ++nonFinite;
    } else if (term.counted) {
      statistics.Add(term);
    }
    return true;
  }
};

RunEnd AnalyseEachPoint(const RunEnv& env, io::RecordFile& lst, const DataSet& data,
                        const ErrorAnalysisSetup& setup, EstimateWorkspace& workspace,
                        int& nonFinite, bool& statisticsNonFinite) {
  SpatialIndex index;
  EstimateWorkspace first = IndexedWorkspace(env, data, workspace, index);
  AnalysisWriter writer{env, data, setup, nonFinite, {}, {}};
  const auto ended = [&writer] { return RunEnd{writer.end, 0, {}, writer.written}; };
  const int threads = LoopThreads(env, data.count);

  if (threads == 1) {
    for (int i = 0; i < data.count; ++i) {
      if (!writer.BeforeEstimate(i)) return ended();
      if (!writer.AfterEstimate(i, setup.estimate(DataPoint(data, i), first))) return ended();
    }
  } else {
    ThreadWorkspaces workspaces(first, threads);
    std::vector<PointSlot> slots(kSlotsPerThread * static_cast<std::size_t>(threads));
    PipelineStages stages;
    stages.read = [&](std::int64_t item, std::size_t slot) {
      slots[slot].point = DataPoint(data, static_cast<int>(item));
      return true;
    };
    stages.compute = [&](std::size_t slot, int worker) {
      EstimateSlot(setup.estimate, slots[slot], workspaces[worker]);
    };
    stages.finish = [&](std::int64_t item, std::size_t slot, bool) {
      const int i = static_cast<int>(item);
      if (!writer.BeforeEstimate(i)) return false;
      slots[slot].messages.Replay(env.messages());
      return writer.AfterEstimate(i, slots[slot].estimate);
    };
    RunPipeline(threads, data.count, slots.size(), stages);
    if (writer.end != LoopEnd::kCompleted) return ended();
  }
  if (writer.statistics.count() > 0) {
    writer.statistics.Report(env, lst, *setup.statistics);
    statisticsNonFinite = !writer.statistics.AllFinite(*setup.statistics);
  }
  return ended();
}

}  // namespace

RunEnd RunErrorAnalysis(const RunEnv& env, io::RecordFile& lst, const DataSet& data,
                        const ErrorAnalysisSetup& setup, EstimateWorkspace& workspace) {
  int nonFinite = 0;
  bool statisticsNonFinite = false;
  const RunEnd end =
      AnalyseEachPoint(env, lst, data, setup, workspace, nonFinite, statisticsNonFinite);
  ReportNonFinite(env, nonFinite, statisticsNonFinite);
  return end;
}

namespace {

RunEnd EstimateEachPoint(const RunEnv& env, RunFiles& files, const DataSet& data,
                         const InterpolationSetup& setup, EstimateWorkspace& workspace,
                         int& nonFinite) {
  static const io::FortranFormat kLevRecord("(F15.5)");
  static const io::FortranFormat kWlRecord("(3F15.5)");

  if (setup.progressLineFirst) env.Progress(kListAppend, "");
  std::int32_t networkCount = 0;
  int status = files.data.ReadInteger(networkCount);
  std::string countDetail;
  if (status != io::kReadOk) countDetail = files.data.FailureDetail({"network count"});
  if (status == io::kReadOk && networkCount < 0) {
    status = io::kReadFormatError;
    countDetail = ", line " + std::to_string(files.data.lineNumber()) + ": network count expected";
  }
  // A count that is missing at the end of the file leaves no network.
  if (status > 0) return {LoopEnd::kFailed, status, countDetail, 0};
  if (status < 0) networkCount = 0;
  if (networkCount > 0) {
    setup.writeDatHeader(files.dat, networkCount);
    WriteLevelList(files.lev, data.zmin, data.zmax);
  }
  if (!setup.progressLineFirst) env.Progress(kListAppend, "");

  SpatialIndex index;
  EstimateWorkspace first = IndexedWorkspace(env, data, workspace, index);
  const std::size_t valuesPerLine = setup.networkValues == 3 ? 3 : 2;
  std::string counter;
  RunEnd end{LoopEnd::kCompleted, status, countDetail, 0};
  // The failure of network point `number`'s read, as FinishRun reports it.
  auto readFailure = [&](int readStatus) {
    end.end = LoopEnd::kFailed;
    end.readStatus = readStatus;
    end.readDetail = files.data.FailureDetail({"x", "y", "guess"});
    return end;
  };

  // Reads network point `number` (1-based) into `slot`.
  auto readPoint = [&](int number, PointSlot& slot) {
    std::array<double, 3> values{};
    slot.unusable = false;
    slot.readStatus = files.data.ReadReals(std::span<double>(values.data(), valuesPerLine));
    if (slot.readStatus != io::kReadOk) return false;
    slot.unusable = !std::all_of(values.begin(), values.begin() + valuesPerLine, UsableValue);
    if (slot.unusable) {
      slot.point.number = number;
      return false;
    }
    slot.point = EstimationPoint{};
    slot.point.x = values[0];
    slot.point.y = values[1];
    slot.point.guess = valuesPerLine == 3 ? values[2] : 0.0;
    slot.point.number = number;
    return true;
  };
  // The Cancel poll that precedes the point's read; false ends the loop.
  auto beforeRead = [&] {
    if (!env.Cancelled()) return true;
    end.end = LoopEnd::kCancelled;
    end.readStatus = 0;
    end.readDetail.clear();
    return false;
  };
  // A point that could not be read ends the loop: a value beyond the usable
  // magnitude is shown here, a read error by FinishRun with its status.
  auto endAtUnreadPoint = [&](const PointSlot& slot) -> RunEnd {
    if (!slot.unusable) return readFailure(slot.readStatus);
    env.Error(UnusableValueMessage("network point", slot.point.number, env.File(".dfl")));
    end.end = LoopEnd::kFailed;
    end.readStatus = 0;
    end.readDetail.clear();
    return end;
  };
  auto showCounter = [&](int number) {
    if (CounterDue(number, networkCount, setup.counterInterval)) {
      ShowCounter(env, setup.counterText, number, counter);
    }
  };
  // The records of a point that was estimated; false ends the loop.
  auto writePoint = [&](const PointSlot& slot) {
    const PointEstimate& estimate = slot.estimate;
    if (estimate.failure != 0) {
      if (setup.reportFailure) setup.reportFailure(estimate);
      end.end = LoopEnd::kFailed;
      end.readStatus = 0;
      end.readDetail.clear();
      return false;
    }
    if (!FiniteEstimate(estimate)) ++nonFinite;
    setup.writeDatRecord(files.dat, slot.point, estimate);
    files.lev.Write(kLevRecord, estimate.value);
    files.wl.Write(kWlRecord, slot.point.x, slot.point.y, estimate.value);
    ++end.written;
    return true;
  };

  const int threads = LoopThreads(env, networkCount);
  if (threads == 1) {
    PointSlot slot;
    for (int number = 1; number <= networkCount; ++number) {
      if (!beforeRead()) return end;
      if (!readPoint(number, slot)) return endAtUnreadPoint(slot);
      showCounter(number);
      slot.estimate = setup.estimate(slot.point, first);
      if (!writePoint(slot)) return end;
    }
    return end;
  }

  ThreadWorkspaces workspaces(first, threads);
  std::vector<PointSlot> slots(kSlotsPerThread * static_cast<std::size_t>(threads));
  PipelineStages stages;
  stages.read = [&](std::int64_t item, std::size_t slot) {
    return readPoint(static_cast<int>(item) + 1, slots[slot]);
  };
  stages.compute = [&](std::size_t slot, int worker) {
    EstimateSlot(setup.estimate, slots[slot], workspaces[worker]);
  };
  stages.finish = [&](std::int64_t, std::size_t slot, bool readOk) {
    if (!beforeRead()) return false;
    if (!readOk) {
      endAtUnreadPoint(slots[slot]);
      return false;
    }
    showCounter(slots[slot].point.number);
    slots[slot].messages.Replay(env.messages());
    return writePoint(slots[slot]);
  };
  RunPipeline(threads, networkCount, slots.size(), stages);
  return end;
}

}  // namespace

RunEnd RunInterpolation(const RunEnv& env, RunFiles& files, const DataSet& data,
                        const InterpolationSetup& setup, EstimateWorkspace& workspace) {
  int nonFinite = 0;
  const RunEnd end = EstimateEachPoint(env, files, data, setup, workspace, nonFinite);
  ReportNonFinite(env, nonFinite, false);
  return end;
}

}  // namespace mornax
