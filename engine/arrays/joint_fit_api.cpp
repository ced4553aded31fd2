// The joint fit of directional semivariograms in memory.
#include <algorithm>
#include <numeric>
#include <string>

#include "arrays/api_call.h"
#include "models/variogram_models.h"
#include "semivariogram/fit_start.h"
#include "semivariogram/joint_fit.h"

namespace mornax::api {
namespace {

constexpr int kFewestClasses = 5;  // five parameters

// The start and bounds read off every direction's classes together.
bool ProposeStart(std::span<const DirectionClasses> directions, int model, JointFitSpec& spec,
                  std::string& problem) {
  std::vector<std::array<double, 2>> pooled;
  for (const DirectionClasses& d : directions) {
    for (std::size_t k = 0; k < d.distance.size(); ++k) {
      pooled.push_back({d.distance[k], d.semivariance[k]});
    }
  }
  std::sort(pooled.begin(), pooled.end());
  std::vector<double> distance, semivariance;
  for (const auto& [h, g] : pooled) {
    distance.push_back(h);
    semivariance.push_back(g);
  }
  FitStart start;
  if (!ProposeFitStart(distance, semivariance, {}, model, start, problem)) return false;
  spec.initial = start.initial;
  spec.minimum = start.minimum;
  spec.maximum = start.maximum;
  return true;
}

}  // namespace

JointFitResult JointFit(const DirectionalParameters& run, const DirectionalResult& result,
                        const JointFitParameters& parameters, const Hooks& hooks) {
  JointFitResult out;
  out.model = parameters.model;
  arrays::Call call(hooks, out.report);
  const RunEnv& env = call.env();
  if (!IsRangeModel(parameters.model)) {
    env.Error(MessageCode::kParameterNotValid,
              "Parameter model not valid, must be 2-4 : " + std::to_string(parameters.model));
    call.End(Outcome::kRefused);
    return out;
  }
  if (!(parameters.minimumRatio > 0.0 && parameters.minimumRatio <= 1.0) ||
      run.directions.size() != result.directions.size()) {
    env.Error(MessageCode::kParameterNotValid,
              "Parameter minimumRatio not valid, must be > 0 and <= 1, with one result per "
              "direction");
    call.End(Outcome::kRefused);
    return out;
  }
  std::vector<DirectionClasses> directions;
  std::size_t classes = 0;
  for (std::size_t d = 0; d < run.directions.size(); ++d) {
    DirectionClasses& c = directions.emplace_back();
    c.direction = run.directions[d];
    const SemivariogramResult& s = result.directions[d];
    for (std::size_t k = 0; k < s.distance.size(); ++k) {
      if (s.distance[k] == 0.0) continue;  // empty
      c.distance.push_back(s.distance[k]);
      c.semivariance.push_back(s.semivariance[k]);
    }
    classes += c.distance.size();
  }
  if (classes < kFewestClasses) {
    env.Error(MessageCode::kMoreUnknownsThanFunctions,
              " MORE UNKNOWNS THAN FUNCTIONS : the joint fit needs 5 classes");
    call.End(Outcome::kRefused);
    return out;
  }
  JointFitSpec spec;
  spec.model = parameters.model;
  spec.minimumRatio = parameters.minimumRatio;
  spec.initial = parameters.initial;
  spec.minimum = parameters.minimum;
  spec.maximum = parameters.maximum;
  const bool unset =
      std::all_of(spec.initial.begin(), spec.initial.end(), [](double v) { return v == 0.0; }) &&
      std::all_of(spec.minimum.begin(), spec.minimum.end(), [](double v) { return v == 0.0; }) &&
      std::all_of(spec.maximum.begin(), spec.maximum.end(), [](double v) { return v == 0.0; });
  std::string problem;
  if (unset && !ProposeStart(directions, parameters.model, spec, problem)) {
    env.Error(MessageCode::kParameterNotValid, "No start for the joint fit: " + problem);
    call.End(Outcome::kRefused);
    return out;
  }
  const JointFitOutcome fit = mornax::JointFit(directions, spec);
  out.b = fit.b;
  out.anisotropy = {fit.angle, fit.ratio};
  out.chi2 = fit.chi2;
  out.iterations = fit.iterations;
  out.converged = fit.converged;
  for (const DirectionClasses& d : directions) {
    out.distance.push_back(d.distance);
    out.observed.push_back(d.semivariance);
    std::vector<double>& model = out.fitted.emplace_back();
    for (const double h : d.distance) {
      model.push_back(JointModelValue(spec.model, fit.b, fit.angle, fit.ratio, d.direction, h));
    }
  }
  if (!std::isfinite(fit.chi2)) {
    env.Error(MessageCode::kModelNotEvaluable, " MODEL CANNOT BE EVALUATED FOR THESE PARAMETERS ");
    call.End(Outcome::kFailed);
  }
  return out;
}

Variogram VariogramFromJointFit(const JointFitResult& fit, const Variogram& keep) {
  Variogram v = VariogramFromFit(fit.model, fit.b, keep);
  v.anisotropy = fit.anisotropy;
  return v;
}

}  // namespace mornax::api
