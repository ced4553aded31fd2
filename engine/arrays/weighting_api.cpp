// Distance weighting and the trend surface in memory.
#include <memory>

#include "arrays/predictor_impl.h"
#include "estimation/parameter_checks.h"
#include "weighting/trend_surface.h"
#include "weighting/weighting_method.h"

namespace mornax::api {
namespace {

struct WeightingImpl : Predictor::Impl {
  WeightingParameters parameters;

  Estimator NodeEstimator(const RunEnv&) override {
    return WeightingEstimator(points.data, parameters.neighbours, parameters.scheme);
  }
  Estimator PointEstimator(const RunEnv& env) override { return NodeEstimator(env); }
  ErrorTerm Term(int i, const PointEstimate& estimate) const override {
    return WeightingErrorTerm(points.data, i, estimate);
  }
};

struct TrendImpl : Predictor::Impl {
  TrendSurface surface;

  Estimator NodeEstimator(const RunEnv&) override { return TrendEstimator(surface); }
  Estimator PointEstimator(const RunEnv&) override { return TrendEstimator(surface); }
  ErrorTerm Term(int i, const PointEstimate& estimate) const override {
    return WeightingErrorTerm(points.data, i, estimate);
  }
};

AnalysisOfVariance VarianceOf(const TrendVariance& v) {
  AnalysisOfVariance a;
  a.regression = v.ssr;
  a.deviation = v.ssd;
  a.total = v.sst;
  a.regressionFreedom = v.regressionFreedom;
  a.deviationFreedom = v.deviationFreedom;
  a.totalFreedom = v.totalFreedom;
  a.regressionMean = v.msr;
  a.deviationMean = v.msd;
  a.fTest = v.fTest;
  a.goodness = v.goodness;
  a.correlation = v.correlation;
  return a;
}

}  // namespace

Predictor Predictor::Weighting(const Points& points, const WeightingParameters& parameters,
                               const Hooks& hooks) {
  auto impl = std::make_unique<WeightingImpl>();
  impl->parameters = parameters;
  arrays::Call call(hooks, impl->preparation);
  // Distance weighting merges no coincident points.
  if (arrays::Accepted(call, CheckWeighting(call.env(), parameters)) &&
      arrays::CopyPoints(call, points, {}, impl->points)) {
    impl->MakeWorkspace(parameters.neighbours, 0, 0);
    impl->ready = true;
  }
  return Predictor(std::move(impl));
}

Predictor Predictor::Trend(const Points& points, const TrendParameters& parameters,
                           const Hooks& hooks) {
  auto impl = std::make_unique<TrendImpl>();
  arrays::Call call(hooks, impl->preparation);
  if (!arrays::Accepted(call, CheckTrend(call.env(), parameters)) ||
      !arrays::CopyPoints(call, points, {}, impl->points)) {
    return Predictor(std::move(impl));
  }
  const DataSet& data = impl->points.data;
  auto fit = std::make_unique<TrendFit>();
  fit->degree = parameters.degree;
  fit->coefficients.assign(static_cast<std::size_t>(TrendTermCount(parameters.degree)), 0.0);
  fit->fitted.assign(static_cast<std::size_t>(data.count), 0.0);
  TrendVariance variance;
  if (!arrays::Accepted(call, FitTrend(call.env(), data, parameters.degree, fit->coefficients,
                                       fit->fitted, impl->surface, variance))) {
    return Predictor(std::move(impl));
  }
  fit->analysisOfVariance = VarianceOf(variance);
  impl->trend = std::move(fit);
  impl->MakeWorkspace(1, 0, 0);
  impl->ready = true;
  return Predictor(std::move(impl));
}

NodeResults Weighting(const Points& points, const Nodes& nodes,
                      const WeightingParameters& parameters, const Hooks& hooks) {
  return arrays::Once(Predictor::Weighting(points, parameters, hooks),
                      [&](Predictor& p) { return p.Predict(nodes, hooks); });
}

AnalysisResults WeightingAnalysis(const Points& points, const WeightingParameters& parameters,
                                  const Hooks& hooks) {
  return arrays::Once(Predictor::Weighting(points, parameters, hooks),
                      [&](Predictor& p) { return p.Analyse(hooks); });
}

NodeResults Trend(const Points& points, const Nodes& nodes, const TrendParameters& parameters,
                  const Hooks& hooks) {
  return arrays::Once(Predictor::Trend(points, parameters, hooks),
                      [&](Predictor& p) { return p.Predict(nodes, hooks); });
}

AnalysisResults TrendAnalysis(const Points& points, const TrendParameters& parameters,
                              const Hooks& hooks) {
  return arrays::Once(Predictor::Trend(points, parameters, hooks),
                      [&](Predictor& p) { return p.Analyse(hooks); });
}

}  // namespace mornax::api
