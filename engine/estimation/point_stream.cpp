#include "estimation/point_stream.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "core/parallel_messages.h"
#include "core/parallel_pipeline.h"
#include "core/progress_counter.h"
#include "core/value_bounds.h"
#include "estimation/spatial_index.h"

namespace mornax {
namespace {

// Points in flight per thread: enough to keep every thread busy while the
// calling thread hands results on, few enough that a stop wastes little work.
constexpr std::size_t kSlotsPerThread = 32;

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// The run's workspace with an index of the data set: the one it carries when
// that covers these points, else one built here (after any merging), unless
// the run asks for the scan over all points.
EstimateWorkspace IndexedWorkspace(const RunEnv& env, const DataSet& data,
                                   const EstimateWorkspace& workspace, SpatialIndex& index) {
  EstimateWorkspace indexed = workspace;
  if (env.options().linearScan || data.count <= 0) {
    indexed.index = nullptr;
  } else if (indexed.index == nullptr || !indexed.index->Covers(data.x, data.y, data.count)) {
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

// How a node's read went.
enum class SlotRead { kNode, kEnd, kFailed, kUnusable };

// One point in flight: where to estimate, the estimate and the messages it
// gave.
struct PointSlot {
  EstimationPoint point;
  SlotRead read = SlotRead::kNode;
  PointEstimate estimate;
  DeferredMessages messages;
};

// The estimate of one slot on one thread; its messages wait in the slot.
void EstimateSlot(const Estimator& estimate, PointSlot& slot, EstimateWorkspace& workspace) {
  slot.messages.Clear();
  workspace.messages = &slot.messages;
  workspace.lastNeighbour = kNotANumber;
  slot.estimate = estimate(slot.point, workspace);
  slot.estimate.lastNeighbour = workspace.lastNeighbour;
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

std::size_t Ring(int threads) {
  return kSlotsPerThread * static_cast<std::size_t>(threads);
}

}  // namespace

bool FiniteEstimate(const PointEstimate& estimate) {
  return std::isfinite(estimate.value) && std::isfinite(estimate.standardError) &&
         std::isfinite(estimate.guess);
}

AnalysisEnd AnalyseDataPoints(const RunEnv& env, const DataSet& data, const AnalysisSetup& setup,
                              EstimateWorkspace& workspace) {
  AnalysisEnd end;
  if (data.count <= 0) return end;
  SpatialIndex index;
  const EstimateWorkspace first = IndexedWorkspace(env, data, workspace, index);
  const int threads = LoopThreads(env, data.count);
  ThreadWorkspaces workspaces(first, threads);
  std::vector<PointSlot> slots(Ring(threads));
  ProgressCounter progress(env.messages(), data.count);

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
    if (env.Cancelled()) {
      end.end = LoopEnd::kCancelled;
      return false;
    }
    if (setup.beforePoint) setup.beforePoint(i);
    slots[slot].messages.Replay(env.messages());
    const PointEstimate& estimate = slots[slot].estimate;
    if (estimate.failure != 0) {
      end.end = LoopEnd::kFailed;
      end.failure = estimate;
      return false;
    }
    const ErrorTerm term = setup.accept(i, estimate);
    ++end.written;
    api::PointStatus status = api::PointStatus::kEstimated;
    if (estimate.singular) {
      status = api::PointStatus::kSingular;
      ++end.singular;
    } else if (!FiniteEstimate(estimate) || !std::isfinite(term.error)) {
      status = api::PointStatus::kNonFinite;
      ++end.nonFinite;
    } else if (term.counted) {
      end.statistics.Add(term);
    }
    if (setup.classified) setup.classified(i, status);
    progress.Advance(item + 1);
    return true;
  };
  RunPipeline(threads, data.count, slots.size(), stages);
  progress.Finish(end.written);
  return end;
}

NetworkOutcome EstimateNetwork(const RunEnv& env, const DataSet& data, const NodeReader& read,
                               const NetworkSetup& setup, EstimateWorkspace& workspace) {
  NetworkOutcome outcome;
  const std::int64_t total =
      setup.total >= 0 ? setup.total : std::numeric_limits<std::int64_t>::max();
  if (total == 0) return outcome;
  SpatialIndex index;
  const EstimateWorkspace first = IndexedWorkspace(env, data, workspace, index);
  const int threads = LoopThreads(env, total);
  ThreadWorkspaces workspaces(first, threads);
  std::vector<PointSlot> slots(Ring(threads));
  ProgressCounter progress(env.messages(), setup.total);
  const std::size_t blockSize = std::max<std::size_t>(setup.blockSize, 1);
  std::vector<NodeEstimate> block;
  block.reserve(blockSize);
  // Hands the block on; false when the taker refused it (the block is
  // dropped, and nothing is handed on after it).
  bool refused = false;
  auto handOn = [&] {
    if (block.empty() || refused) return !refused;
    refused = !setup.deliver(block);
    if (!refused) outcome.delivered += static_cast<std::int64_t>(block.size());
    block.clear();
    return !refused;
  };

  PipelineStages stages;
  stages.read = [&](std::int64_t item, std::size_t slot) {
    PointSlot& s = slots[slot];
    s.point = EstimationPoint{};
    s.point.number = item + 1;
    switch (read(s.point)) {
      case NodeRead::kEnd:
        s.read = SlotRead::kEnd;
        return false;
      case NodeRead::kFailed:
        s.read = SlotRead::kFailed;
        return false;
      case NodeRead::kNode:
        break;
    }
    s.point.number = item + 1;
    s.point.excluded = -1;
    const bool usable = UsableValue(s.point.x) && UsableValue(s.point.y) &&
                        (!setup.readsGuess || UsableValue(s.point.guess));
    s.read = usable ? SlotRead::kNode : SlotRead::kUnusable;
    return usable;
  };
  stages.compute = [&](std::size_t slot, int worker) {
    EstimateSlot(setup.estimate, slots[slot], workspaces[worker]);
  };
  stages.finish = [&](std::int64_t item, std::size_t slot, bool readOk) {
    PointSlot& s = slots[slot];
    // The reader's end is no point: nothing to poll for.
    if (!readOk && s.read == SlotRead::kEnd) return false;
    if (env.Cancelled()) {
      outcome.end = NetworkEnd::kCancelled;
      return false;
    }
    if (!readOk) {
      outcome.end = s.read == SlotRead::kUnusable ? NetworkEnd::kUnusable : NetworkEnd::kUnreadable;
      outcome.at = item + 1;
      return false;
    }
    if (setup.beforeNode) setup.beforeNode(s.point);
    s.messages.Replay(env.messages());
    if (s.estimate.failure != 0) {
      outcome.end = NetworkEnd::kFailed;
      outcome.failure = s.estimate;
      outcome.at = item + 1;
      return false;
    }
    NodeEstimate& node = block.emplace_back();
    node.point = s.point;
    node.estimate = s.estimate;
    if (s.estimate.singular) {
      node.status = api::PointStatus::kSingular;
      ++outcome.singular;
    } else if (!FiniteEstimate(s.estimate)) {
      node.status = api::PointStatus::kNonFinite;
      ++outcome.nonFinite;
    } else {
      node.status = api::PointStatus::kEstimated;
    }
    if (block.size() >= blockSize && !handOn()) {
      outcome.end = NetworkEnd::kRefused;
      return false;
    }
    progress.Advance(item + 1);
    return true;
  };
  RunPipeline(threads, total, slots.size(), stages);
  // What was estimated before the loop ended is handed on.
  if (!handOn() && outcome.end == NetworkEnd::kCompleted) outcome.end = NetworkEnd::kRefused;
  progress.Finish(outcome.delivered);
  return outcome;
}

void ReportNonFinite(const RunEnv& env, long long points, bool statistics) {
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
  env.Error(api::MessageCode::kNonFinite, text);
}

}  // namespace mornax
