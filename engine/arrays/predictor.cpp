// The Predictor's loops, the same for every method: nodes from arrays or
// from a source, results to arrays or to a sink, and the error analysis.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

#include "arrays/predictor_impl.h"
#include "core/value_bounds.h"

namespace mornax::api {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

void Resize(std::vector<double>& column, bool carried, std::size_t n) {
  column.assign(carried ? n : 0, kNotANumber);
}

// The columns of `n` points, not estimated yet.
void SizeResults(const Predictor::Impl& impl, std::size_t n, NodeResults& results) {
  Resize(results.estimate, true, n);
  Resize(results.standardError, impl.HasStandardError(), n);
  Resize(results.guess, impl.HasGuess(), n);
  Resize(results.lastNeighbourDistance, true, n);
  results.status.assign(n, PointStatus::kNotEstimated);
}

// One estimate into place `at` of the columns: its numbers unless it means
// nothing (a singular system).
void Store(const Predictor::Impl& impl, const PointEstimate& estimate, PointStatus status,
           std::size_t at, NodeResults& results) {
  const bool numbers = status != PointStatus::kSingular;
  results.estimate[at] = numbers ? estimate.value : kNotANumber;
  if (impl.HasStandardError()) {
    results.standardError[at] = numbers ? estimate.standardError : kNotANumber;
  }
  if (impl.HasGuess()) results.guess[at] = numbers ? estimate.guess : kNotANumber;
  results.lastNeighbourDistance[at] = estimate.lastNeighbour;
  results.status[at] = status;
}

Report NotReady(const Predictor::Impl& impl) {
  Report report;
  report.outcome = impl.preparation.outcome;
  report.messages = impl.preparation.messages;
  return report;
}

}  // namespace

void Predictor::Impl::MakeWorkspace(int nearest, int order, int matrices) {
  const auto m = static_cast<std::size_t>(std::max({nearest, order, 1}));
  for (auto* array :
       {&neighbours.x, &neighbours.y, &neighbours.value, &neighbours.work1, &neighbours.work2,
        &neighbours.work3, &neighbours.work4, &neighbours.work5, &neighbours.work6}) {
    array->data.assign(m, 0.0);
  }
  neighbours.index.data.assign(m, 0);
  // Kriging uses the last matrix of the group, Bayesian estimation all four.
  int made = 0;
  for (DoubleArray* matrix :
       {&neighbours.matrix4, &neighbours.matrix1, &neighbours.matrix2, &neighbours.matrix3}) {
    if (made++ < matrices) matrix->data.assign(m * m, 0.0);
  }
  distance.assign(std::max<std::size_t>(m, static_cast<std::size_t>(points.data.count)), 0.0);
  if (points.data.count > 0) index.Build(points.data.x, points.data.y, points.data.count);
}

Predictor::Predictor(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Predictor::Predictor(Predictor&&) noexcept = default;
Predictor& Predictor::operator=(Predictor&&) noexcept = default;
Predictor::~Predictor() = default;

const Report& Predictor::preparation() const {
  return impl_->preparation;
}

bool Predictor::ready() const {
  return impl_->ready;
}

std::int64_t Predictor::pointCount() const {
  return impl_->ready ? impl_->points.data.count : 0;
}

const TrendFit* Predictor::trendFit() const {
  return impl_->trend.get();
}

Report Predictor::Stream(const NodeSource& source, const ResultSink& sink, const Hooks& hooks,
                         const StreamOptions& options) {
  Impl& impl = *impl_;
  if (!impl.ready) return NotReady(impl);
  Report report;
  arrays::Call call(hooks, report);
  if (!impl.BeginNetwork(call)) return report;
  const RunEnv& env = call.env();
  const std::size_t blockSize = std::max<std::size_t>(options.blockSize, 1);

  // Nodes come from the source a block at a time.
  std::vector<double> inX(blockSize), inY(blockSize), inGuess(blockSize);
  std::size_t have = 0;
  std::size_t next = 0;
  bool sourceEnded = false;
  const NodeReader read = [&](EstimationPoint& point) {
    if (next == have) {
      if (sourceEnded) return NodeRead::kEnd;
      std::fill(inGuess.begin(), inGuess.end(), 0.0);
      have = std::min(source(NodeBlock{inX, inY, inGuess}), blockSize);
      next = 0;
      if (have == 0) {
        sourceEnded = true;
        return NodeRead::kEnd;
      }
    }
    point.x = inX[next];
    point.y = inY[next];
    point.guess = inGuess[next];
    ++next;
    return NodeRead::kNode;
  };

  // Results go to the sink in blocks of the same size.
  std::vector<double> outX, outY, estimate, standardError, guess, lastNeighbour;
  std::vector<PointStatus> status;
  for (auto* column : {&outX, &outY, &estimate, &standardError, &guess, &lastNeighbour}) {
    column->reserve(blockSize);
  }
  status.reserve(blockSize);
  NetworkSetup setup;
  setup.estimate = impl.NodeEstimator(env);
  setup.readsGuess = impl.ReadsGuess();
  setup.total = options.total;
  setup.blockSize = blockSize;
  setup.deliver = [&](std::span<const NodeEstimate> nodes) {
    for (auto* column : {&outX, &outY, &estimate, &standardError, &guess, &lastNeighbour}) {
      column->clear();
    }
    status.clear();
    for (const NodeEstimate& node : nodes) {
      const bool numbers = node.status != PointStatus::kSingular;
      outX.push_back(node.point.x);
      outY.push_back(node.point.y);
      estimate.push_back(numbers ? node.estimate.value : kNotANumber);
      standardError.push_back(numbers ? node.estimate.standardError : kNotANumber);
      guess.push_back(numbers ? node.estimate.guess : kNotANumber);
      lastNeighbour.push_back(node.estimate.lastNeighbour);
      status.push_back(node.status);
    }
    ResultBlock block;
    block.first = nodes.front().point.number - 1;
    block.x = outX;
    block.y = outY;
    block.estimate = estimate;
    if (impl.HasStandardError()) block.standardError = standardError;
    if (impl.HasGuess()) block.guess = guess;
    block.lastNeighbourDistance = lastNeighbour;
    block.status = status;
    return sink(block);
  };
  EstimateWorkspace workspace{impl.neighbours, std::span<double>(impl.distance)};
  workspace.index = &impl.index;
  const NetworkOutcome outcome = EstimateNetwork(env, impl.points.data, read, setup, workspace);

  report.counts.singularPoints = outcome.singular;
  report.counts.nonFinitePoints = outcome.nonFinite;
  switch (outcome.end) {
    case NetworkEnd::kCompleted:
      break;
    case NetworkEnd::kCancelled:
      call.End(Outcome::kStopped);
      break;
    case NetworkEnd::kFailed:
      impl.ReportFailure(env, outcome.failure);
      call.End(Outcome::kFailed);
      break;
    case NetworkEnd::kUnreadable:  // a source reports its own failures
    case NetworkEnd::kRefused:
      call.End(Outcome::kFailed);
      break;
    case NetworkEnd::kUnusable:
      env.Error(MessageCode::kValueOutOfRange, UnusableValueMessage("node", outcome.at, ""));
      call.End(Outcome::kFailed);
      break;
  }
  ReportNonFinite(env, outcome.nonFinite, false);
  impl.ReportSingular(env, outcome.singular, false);
  return report;
}

NodeResults Predictor::Predict(const Nodes& nodes, const Hooks& hooks) {
  NodeResults results;
  SizeResults(*impl_, nodes.x.size(), results);
  if (!impl_->ready) {
    results.report = NotReady(*impl_);
    return results;
  }
  {
    arrays::Call call(hooks, results.report);
    if (!arrays::CheckNodes(call, nodes, impl_->ReadsGuess())) return results;
  }
  std::size_t given = 0;
  const NodeSource source = [&](const NodeBlock& block) {
    const std::size_t n = std::min(block.x.size(), nodes.x.size() - given);
    std::copy_n(nodes.x.begin() + static_cast<std::ptrdiff_t>(given), n, block.x.begin());
    std::copy_n(nodes.y.begin() + static_cast<std::ptrdiff_t>(given), n, block.y.begin());
    if (!nodes.guess.empty()) {
      std::copy_n(nodes.guess.begin() + static_cast<std::ptrdiff_t>(given), n, block.guess.begin());
    }
    given += n;
    return n;
  };
  const ResultSink sink = [&](const ResultBlock& block) {
    for (std::size_t k = 0; k < block.status.size(); ++k) {
      const auto at = static_cast<std::size_t>(block.first) + k;
      results.estimate[at] = block.estimate[k];
      if (!block.standardError.empty()) results.standardError[at] = block.standardError[k];
      if (!block.guess.empty()) results.guess[at] = block.guess[k];
      results.lastNeighbourDistance[at] = block.lastNeighbourDistance[k];
      results.status[at] = block.status[k];
    }
    return true;
  };
  StreamOptions options;
  options.total = static_cast<std::int64_t>(nodes.x.size());
  results.report = Stream(source, sink, hooks, options);
  return results;
}

AnalysisResults Predictor::Analyse(const Hooks& hooks) {
  Impl& impl = *impl_;
  AnalysisResults results;
  const auto given = static_cast<std::size_t>(impl.points.given);
  SizeResults(impl, given, results);
  results.residual.assign(given, kNotANumber);
  if (!impl.ready) {
    results.report = NotReady(impl);
    return results;
  }
  // Points merged into an earlier one are not estimated on their own.
  std::fill(results.status.begin(), results.status.end(), PointStatus::kMerged);
  const DataSet& data = impl.points.data;
  for (int i = 0; i < data.count; ++i) {
    results.status[static_cast<std::size_t>(impl.points.origin[static_cast<std::size_t>(i)])] =
        PointStatus::kNotEstimated;
  }

  arrays::Call call(hooks, results.report);
  if (!impl.BeginAnalysis(call)) return results;
  const RunEnv& env = call.env();
  AnalysisSetup setup;
  setup.estimate = impl.PointEstimator(env);
  setup.accept = [&](int i, const PointEstimate& estimate) {
    const ErrorTerm term = impl.Term(i, estimate);
    const auto at = static_cast<std::size_t>(impl.points.origin[static_cast<std::size_t>(i)]);
    Store(impl, estimate, estimate.singular ? PointStatus::kSingular : PointStatus::kEstimated, at,
          results);
    results.residual[at] = estimate.singular ? kNotANumber : term.error;
    return term;
  };
  setup.classified = [&](int i, PointStatus status) {
    results.status[static_cast<std::size_t>(impl.points.origin[static_cast<std::size_t>(i)])] =
        status;
  };
  EstimateWorkspace workspace{impl.neighbours, std::span<double>(impl.distance)};
  workspace.index = &impl.index;
  const AnalysisEnd end = AnalyseDataPoints(env, data, setup, workspace);

  results.report.counts.singularPoints = end.singular;
  results.report.counts.nonFinitePoints = end.nonFinite;
  bool statisticsNonFinite = false;
  if (end.end == LoopEnd::kFailed) {
    impl.ReportFailure(env, end.failure);
    call.End(Outcome::kFailed);
  } else if (end.end == LoopEnd::kCancelled) {
    call.End(Outcome::kStopped);
  } else if (end.statistics.count() > 0) {
    const mornax::ErrorStatistics& s = end.statistics;
    api::ErrorStatistics& out = results.statistics;
    out.count = s.count();
    out.average = s.AverageError();
    out.rootMeanSquare = s.RootMeanSquareError();
    out.greatest = s.GreatestError();
    out.meanAbsolute = s.MeanAbsoluteError();
    out.standardError = impl.HasStandardError() ? s.StandardError() : kNotANumber;
    statisticsNonFinite = !std::isfinite(out.average) || !std::isfinite(out.rootMeanSquare) ||
                          !std::isfinite(out.greatest) || !std::isfinite(out.meanAbsolute) ||
                          (impl.HasStandardError() && !std::isfinite(out.standardError));
  }
  ReportNonFinite(env, end.nonFinite, statisticsNonFinite);
  impl.ReportSingular(env, end.singular, true);
  return results;
}

}  // namespace mornax::api
