// The point loops in memory: the error analysis, which re-estimates each data
// point from the others, and the network loop, which estimates nodes read one
// after another and hands their results on in blocks, in node order. Neither
// knows of files: the file tasks (point_loops.h) write records from what they
// hand on, the in-memory interface fills arrays.
//
// Both index the data set for the nearest-neighbour selection (unless the run
// asks for the scan over all points, or the workspace carries an index of
// these points already) and estimate on env.options().threads threads.
// Everything else happens on the calling thread in point order, as with one
// thread: the stop poll (once per point), the caller's per-point step, the
// messages an estimate gave (estimators report through
// EstimateWorkspace::MessagesOr), the results and the sums. At most a few
// dozen points per thread are estimated beyond a stop.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <span>

#include "api/message_codes.h"
#include "api/mornax_arrays.h"
#include "core/run_env.h"
#include "estimation/data_points.h"
#include "estimation/error_statistics.h"
#include "estimation/neighbours.h"

namespace mornax {

// Where and how to estimate.
struct EstimationPoint {
  double x = 0.0;
  double y = 0.0;
  // The guess of a node (when the run reads one), or the data point's guess
  // in error analysis (when the data set has guesses).
  double guess = 0.0;
  int excluded = -1;        // the 0-based data index left out (error analysis); -1 none
  std::int64_t number = 0;  // 1-based number of the point in its loop
};

// One estimate.
struct PointEstimate {
  double value = 0.0;          // the estimate
  double standardError = 0.0;  // methods with a standard error
  double guess = 0.0;          // methods that carry the guess
  // Nonzero: the estimate failed; the loop ends at this point.
  int failure = 0;
  // The system had no unique solution: the numbers mean nothing.
  bool singular = false;
  // The distance of the farthest neighbour used (NaN: none), set by the loop
  // from the workspace.
  double lastNeighbour = std::numeric_limits<double>::quiet_NaN();
};

// Estimates one point. It must depend only on the data set (captured by the
// method), the point and the workspace passed in: no state may be carried
// from one point to the next, so that points can be estimated in any order
// and on any thread. Its messages go to workspace.MessagesOr(run messages).
using Estimator = std::function<PointEstimate(const EstimationPoint&, EstimateWorkspace&)>;

// True when every number the estimate carries is finite.
bool FiniteEstimate(const PointEstimate& estimate);

// How a loop ended.
enum class LoopEnd { kCompleted, kCancelled, kFailed };

// ---- Error analysis

struct AnalysisSetup {
  Estimator estimate;
  // Optional, in point order after the stop poll (the file task's counter).
  std::function<void(int i)> beforePoint;
  // The error term of data point i (0-based) from its estimate, in point
  // order (the file task writes its row here). Not called for a failure.
  std::function<ErrorTerm(int i, const PointEstimate&)> accept;
  // Optional: the status of point i, after `accept`.
  std::function<void(int i, api::PointStatus)> classified;
};

struct AnalysisEnd {
  LoopEnd end = LoopEnd::kCompleted;
  long long written = 0;       // points accepted
  PointEstimate failure;       // the estimate that ended the loop (LoopEnd::kFailed)
  ErrorStatistics statistics;  // over the points counted
  long long singular = 0;
  long long nonFinite = 0;  // points whose estimate or error is not finite (not counted)
};

// For each data point: poll the stop, estimate with the point excluded,
// accept it. A stop or a failed estimate ends the loop.
AnalysisEnd AnalyseDataPoints(const RunEnv& env, const DataSet& data, const AnalysisSetup& setup,
                              EstimateWorkspace& workspace);

// ---- Networks

enum class NodeRead { kNode, kEnd, kFailed };
// Reads the next node into point.x, point.y and point.guess, in order.
using NodeReader = std::function<NodeRead(EstimationPoint& point)>;

// One node estimated, as handed on.
struct NodeEstimate {
  EstimationPoint point;
  PointEstimate estimate;
  api::PointStatus status = api::PointStatus::kEstimated;
};

struct NetworkSetup {
  Estimator estimate;
  // The nodes carry a guess: it must be a usable value, like the coordinates.
  bool readsGuess = false;
  // Nodes the reader gives (-1: until it ends), for the progress counts.
  std::int64_t total = -1;
  std::size_t blockSize = 256;
  // Optional, in node order after the stop poll (the file task's counter).
  std::function<void(const EstimationPoint&)> beforeNode;
  // Takes the estimated nodes in order, a block at a time; false ends the
  // loop.
  std::function<bool(std::span<const NodeEstimate>)> deliver;
};

enum class NetworkEnd {
  kCompleted,
  kCancelled,   // the stop poll
  kFailed,      // an estimate failed (NetworkOutcome::failure)
  kUnreadable,  // the reader failed at node `at`
  kUnusable,    // node `at` holds a value beyond the usable magnitude
  kRefused,     // `deliver` returned false
};

struct NetworkOutcome {
  NetworkEnd end = NetworkEnd::kCompleted;
  std::int64_t delivered = 0;  // nodes handed on
  std::int64_t at = 0;         // 1-based number of the node the loop ended at
  PointEstimate failure;
  std::int64_t singular = 0;
  std::int64_t nonFinite = 0;
};

// For each node: poll the stop (not after the reader's end), read it, estimate
// with nothing excluded, hand it on.
NetworkOutcome EstimateNetwork(const RunEnv& env, const DataSet& data, const NodeReader& read,
                               const NetworkSetup& setup, EstimateWorkspace& workspace);

// The closing message of a loop that met estimates that are not finite
// (written as asterisks and left out of the statistics): how many points, and
// whether the statistics block was affected. Nothing when neither.
void ReportNonFinite(const RunEnv& env, long long points, bool statistics);

}  // namespace mornax
