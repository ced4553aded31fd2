// Kriging in memory.
#include <memory>

#include "arrays/predictor_impl.h"
#include "estimation/parameter_checks.h"
#include "kriging/kriging_method.h"

namespace mornax::api {
namespace {

struct KrigingImpl : Predictor::Impl {
  KrigingParameters checked;
  mornax::KrigingParameters settings;

  bool HasStandardError() const override { return true; }
  Estimator NodeEstimator(const RunEnv& env) override {
    return KrigingEstimator(env, points.data, settings);
  }
  Estimator PointEstimator(const RunEnv& env) override { return NodeEstimator(env); }
  ErrorTerm Term(int i, const PointEstimate& estimate) const override {
    return KrigingErrorTerm(points.data, checked.logTransform, i, estimate);
  }
  void ReportSingular(const RunEnv& env, long long count, bool errorAnalysis) const override {
    ReportSingularPoints(env, count, errorAnalysis);
  }
};

}  // namespace

Predictor Predictor::Kriging(const Points& points, const KrigingParameters& parameters,
                             const Hooks& hooks) {
  auto impl = std::make_unique<KrigingImpl>();
  impl->checked = parameters;
  arrays::Call call(hooks, impl->preparation);
  arrays::OwnedPoints& owned = impl->points;
  if (!arrays::Accepted(call, CheckKriging(call.env(), parameters)) ||
      !arrays::CopyPoints(call, points, {.logValues = parameters.logTransform}, owned) ||
      !arrays::Accepted(call, PrepareKrigingData(call.env(), owned.data, parameters.logTransform,
                                                 owned.origin))) {
    return Predictor(std::move(impl));
  }
  impl->preparation.counts.mergedPairs = owned.given - owned.data.count;
  const int order = KrigingSystemOrder(parameters);
  impl->MakeWorkspace(parameters.neighbours, order, 1);
  impl->settings = KrigingSettings(parameters, order > 0 ? order : 1);
  impl->settings.leadingDimension = static_cast<int>(impl->neighbours.x.size());
  impl->ready = true;
  return Predictor(std::move(impl));
}

NodeResults Kriging(const Points& points, const Nodes& nodes, const KrigingParameters& parameters,
                    const Hooks& hooks) {
  return arrays::Once(Predictor::Kriging(points, parameters, hooks),
                      [&](Predictor& p) { return p.Predict(nodes, hooks); });
}

AnalysisResults KrigingAnalysis(const Points& points, const KrigingParameters& parameters,
                                const Hooks& hooks) {
  return arrays::Once(Predictor::Kriging(points, parameters, hooks),
                      [&](Predictor& p) { return p.Analyse(hooks); });
}

}  // namespace mornax::api
