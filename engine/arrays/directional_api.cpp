// Several direction sectors and the variogram map in memory.
#include <cmath>
#include <cstddef>
#include <string>

#include "arrays/api_call.h"
#include "core/progress_counter.h"
#include "estimation/parameter_checks.h"
#include "semivariogram/direction_set.h"
#include "semivariogram/semivariogram_method.h"

namespace mornax::api {
namespace {

// The parameters of one sector, for the checks and the messages the
// one-direction run gives.
SemivariogramParameters SectorParameters(const DirectionalParameters& p, double direction) {
  return SemivariogramParameters{p.lagCount, p.lagDistance,  p.tolerance,
                                 direction,  p.logTransform, p.subtract};
}

bool CheckDirectional(const RunEnv& env, const DirectionalParameters& p) {
  if (p.directions.empty() || p.directions.size() > kMaxDirections) {
    env.Error(MessageCode::kParameterNotValid,
              "Parameter directions not valid, must be 1 to " + std::to_string(kMaxDirections) +
                  " directions : " + std::to_string(p.directions.size()));
    return false;
  }
  for (const double direction : p.directions) {
    if (!CheckSemivariogram(env, SectorParameters(p, direction))) return false;
  }
  if (p.mapCells < 0 || p.mapCells > kMaxMapCells || !std::isfinite(p.mapCellSize) ||
      p.mapCellSize < 0.0) {
    env.Error(MessageCode::kParameterNotValid, "Parameter map not valid: mapCells must be 0 to " +
                                                   std::to_string(kMaxMapCells) +
                                                   " and mapCellSize >= 0");
    return false;
  }
  return true;
}

}  // namespace

DirectionalResult DirectionalSemivariogram(const Points& points,
                                           const DirectionalParameters& parameters,
                                           const Hooks& hooks) {
  DirectionalResult result;
  arrays::Call call(hooks, result.report);
  const RunEnv& env = call.env();
  arrays::OwnedPoints owned;
  if (!arrays::Accepted(call, CheckDirectional(env, parameters)) ||
      !arrays::CopyPoints(call, points, {.subtract = parameters.subtract}, owned)) {
    return result;
  }
  DataSet& data = owned.data;
  const bool prepared = PrepareSemivariogramData(env, data, parameters.logTransform);
  result.report.counts.mergedPairs = owned.given - data.count;
  if (!prepared) {
    call.End(Outcome::kRefused);
    return result;
  }

  DirectionSetSpec spec;
  spec.lagCount = parameters.lagCount;
  spec.lagDistance = parameters.lagDistance;
  spec.tolerance = parameters.tolerance;
  spec.directions = parameters.directions;
  spec.mapCells = parameters.mapCells;
  spec.mapCellSize = parameters.mapCellSize > 0.0 ? parameters.mapCellSize : parameters.lagDistance;
  const auto n = static_cast<std::size_t>(data.count);
  const std::int64_t rows = n > 0 ? static_cast<std::int64_t>(n - 1) : 0;
  ProgressCounter progress(env.messages(), rows);
  const DirectionSetSums sums = DirectionSet(
      std::span<const double>(data.z).first(n), std::span<const double>(data.x).first(n),
      std::span<const double>(data.y).first(n), spec, env.options().threads,
      [&env] { return env.Cancelled(); },
      [&progress](std::int64_t done) { progress.Advance(done); });
  if (sums.stopped) {
    call.End(Outcome::kStopped);
    return result;
  }
  progress.Finish(rows);

  for (const SectorClasses& sector : sums.sectors) {
    SemivariogramResult& r = result.directions.emplace_back();
    r.classCount = sector.classCount;
    r.distance = sector.distance;
    r.semivariance = sector.semivariance;
    for (const double count : sector.pairs) r.pairs.push_back(static_cast<std::int64_t>(count));
    r.average = sums.statistics.average;
    r.variance = sums.statistics.variance;
    r.pointsUsed = sums.statistics.pointsUsed;
  }
  result.map.cells = spec.mapCells;
  result.map.cellSize = spec.mapCells > 0 ? spec.mapCellSize : 0.0;
  result.map.semivariance = sums.mapSemivariance;
  for (const double count : sums.mapPairs) {
    result.map.pairs.push_back(static_cast<std::int64_t>(count));
  }
  if (data.count < 2) {
    env.Error(MessageCode::kTooFewDistinctPoints,
              "No pair of points: fewer than 2 distinct data points (one point, or all points "
              "at one place)");
  }
  return result;
}

}  // namespace mornax::api
