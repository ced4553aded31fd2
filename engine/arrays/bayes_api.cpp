// Bayesian estimation in memory.
#include <array>
#include <memory>

#include "arrays/predictor_impl.h"
#include "bayes/bayes_method.h"
#include "estimation/parameter_checks.h"

namespace mornax::api {
namespace {

struct BayesImpl : Predictor::Impl {
  BayesParameters checked;
  GuessScaling scaling;
  std::array<double, 4> linearScaling{};
  int readCount = 0;
  // The loop the data set was made ready for, and the settings of the loop
  // about to run (the count of neighbours and the STD differ between them).
  bool preparedForAnalysis = false;
  BayesSettings settings;

  bool HasStandardError() const override { return true; }
  bool HasGuess() const override { return true; }
  bool ReadsGuess() const override { return true; }

  // The neighbour count of a loop, checked against the points.
  bool Begin(arrays::Call& call, bool errorAnalysis) {
    const int nearest = BayesNeighbourCount(checked.neighbours, errorAnalysis, readCount);
    if (errorAnalysis != preparedForAnalysis &&
        !arrays::Accepted(
            call, CheckBayesNeighbours(call.env(), errorAnalysis, nearest, points.data.count))) {
      return false;
    }
    settings =
        BayesSettingsOf(checked, nearest, errorAnalysis, static_cast<int>(neighbours.x.size()));
    return true;
  }
  bool BeginNetwork(arrays::Call& call) override { return Begin(call, false); }
  bool BeginAnalysis(arrays::Call& call) override { return Begin(call, true); }

  Estimator NodeEstimator(const RunEnv& env) override {
    return BayesNodeEstimator(env, points.data, settings, scaling);
  }
  Estimator PointEstimator(const RunEnv& env) override {
    return BayesPointEstimator(env, points.data, settings);
  }
  ErrorTerm Term(int i, const PointEstimate& estimate) const override {
    return BayesErrorTerm(points.data, checked.logTransform, i, estimate);
  }
  void ReportFailure(const RunEnv& env, const PointEstimate& estimate) const override {
    ReportBayesFailure(env, estimate);
  }
};

// A predictor made ready as the file task makes its data set ready for the
// loop of `errorAnalysis`.
Predictor Prepare(const Points& points, const BayesParameters& p, bool errorAnalysis,
                  const Hooks& hooks) {
  auto impl = std::make_unique<BayesImpl>();
  impl->checked = p;
  impl->preparedForAnalysis = errorAnalysis;
  arrays::Call call(hooks, impl->preparation);
  arrays::OwnedPoints& owned = impl->points;
  if (!arrays::Accepted(call, CheckBayes(call.env(), p)) ||
      !arrays::CopyPoints(call, points, {.guess = true}, owned)) {
    return Predictor(std::move(impl));
  }
  impl->readCount = owned.data.count;
  const int nearest = BayesNeighbourCount(p.neighbours, errorAnalysis, impl->readCount);
  if (p.logTransform && !arrays::Accepted(call, TakeBayesLogarithms(call.env(), owned.data))) {
    return Predictor(std::move(impl));
  }
  MergeCoincidentPoints(call.env(), owned.data, owned.origin);
  impl->preparation.counts.mergedPairs = owned.given - owned.data.count;
  if (!arrays::Accepted(
          call, CheckBayesNeighbours(call.env(), errorAnalysis, nearest, owned.data.count)) ||
      !arrays::Accepted(call, ScaleDataGuesses(call.env(), owned.data, p.scaleGuess,
                                               impl->linearScaling, impl->scaling))) {
    return Predictor(std::move(impl));
  }
  impl->MakeWorkspace(p.neighbours, p.neighbours, 4);
  impl->ready = true;
  return Predictor(std::move(impl));
}

}  // namespace

Predictor Predictor::Bayes(const Points& points, const BayesParameters& parameters,
                           const Hooks& hooks) {
  return Prepare(points, parameters, false, hooks);
}

NodeResults Bayes(const Points& points, const Nodes& nodes, const BayesParameters& parameters,
                  const Hooks& hooks) {
  return arrays::Once(Predictor::Bayes(points, parameters, hooks),
                      [&](Predictor& p) { return p.Predict(nodes, hooks); });
}

AnalysisResults BayesAnalysis(const Points& points, const BayesParameters& parameters,
                              const Hooks& hooks) {
  return arrays::Once(Prepare(points, parameters, true, hooks),
                      [&](Predictor& p) { return p.Analyse(hooks); });
}

}  // namespace mornax::api
