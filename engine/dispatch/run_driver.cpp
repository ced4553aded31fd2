#include "dispatch/run_driver.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "bayes/bayes_run.h"
#include "core/record_parameters.h"
#include "estimation/parameter_checks.h"
#include "io/read_title.h"
#include "kriging/krig.h"
#include "semivariogram/fvar.h"
#include "semivariogram/svar.h"
#include "weighting/interp.h"

namespace mornax {
namespace {

// Sizes are int32 in the engine; a formula that leaves that range saturates so
// that the allocation fails with its message instead of wrapping around.
std::int32_t Saturate(std::int64_t value) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(std::clamp(value, kMin, kMax));
}

RunEnv MakeEnv(EngineState& state, Messages& messages) {
  return RunEnv(messages, state.Base(), state.baseLength, ResolveRunOptions(state.threadCount),
                &state.runOutcome, state.projectFolder);
}

void SetDataFileName(EngineState& state) {
  std::string name = state.Base() + ".dfl";
  name.resize(kDataFileNameLength, ' ');
  state.dataFileName = name;
}

// The header step: run title and point count from the data file.
void HeaderStep(int prefixIndex, EngineState& state, Messages& messages) {
  SetDataFileName(state);
  read_title(MakeEnv(state, messages), prefixIndex, state.title, state.pointCount);
}

// The refusals made before anything is allocated (the computation routines
// make them again, being callable alone). Distance weighting and the trend
// surface take integers only, which their run checks.
bool CheckRunParameters(int task, int method, const EngineState& state, const RunEnv& env) {
  if (task == MNX_TASK_SEMIVARIOGRAM) return CheckSemivariogram(env, SemivariogramOf(state.svar));
  if (task == MNX_TASK_FIT) return CheckFit(env, FitOf(state.fvar, state.svar.lagCount));
  if (method == MNX_METHOD_WEIGHTING) return true;
  if (method == MNX_METHOD_KRIGING)
    return CheckKriging(env, KrigingOf(state.ipl, state.svar.logTransform));
  return CheckBayes(env, BayesOf(state.ipl, state.svar.logTransform));
}

// The point arrays never hold fewer than zero entries; the computation
// routines check the counts they read against the capacity.
std::int32_t PointCapacity(const EngineState& state) {
  return std::max(state.pointCount, 0);
}

void RunSemivariogram(EngineState& state, Messages& messages) {
  auto& arrays = state.arrays;
  HeaderStep(MNX_METHOD_NONE, state, messages);  // the semivariogram's title prefix
  if (!CheckRunParameters(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, state,
                          MakeEnv(state, messages))) {
    return;
  }
  bool ok = arrays.AllocPointArrays(messages, PointCapacity(state)) == 1;
  ok = ok && arrays.AllocLagArrays(messages, state.lagCapacity) == 1;
  if (ok) Svar(MakeEnv(state, messages), state.title, arrays.points, arrays.lags, state.svar);
  arrays.FreePointArrays();
  arrays.FreeLagArrays();
}

void RunFit(EngineState& state, Messages& messages) {
  auto& arrays = state.arrays;
  if (!CheckRunParameters(MNX_TASK_FIT, MNX_METHOD_NONE, state, MakeEnv(state, messages))) return;
  bool ok = arrays.AllocLagArrays(messages, state.lagCapacity) == 1;
  ok = ok && arrays.AllocFitArrays(messages, state.fitWorkSize) == 1;
  if (ok) {
    model_names(state.fvar.model, state.modelName, state.parameterNames);
    Fvar(MakeEnv(state, messages), arrays.lags, arrays.fit, state.fvar, state.svar.lagCount,
         state.modelName, state.parameterNames, state.title);
  }
  arrays.FreeLagArrays();
  arrays.FreeFitArrays();
}

void RunInterpolation(int method, int mode, EngineState& state, Messages& messages) {
  auto& arrays = state.arrays;
  // The prefix table is indexed by method; every method other than weighting
  // and kriging runs Bayesian estimation and takes its prefix.
  const int prefixIndex =
      (method == MNX_METHOD_WEIGHTING || method == MNX_METHOD_KRIGING) ? method : MNX_METHOD_BAYES;
  HeaderStep(prefixIndex, state, messages);
  if (!CheckRunParameters(MNX_TASK_INTERPOLATION, method, state, MakeEnv(state, messages))) {
    return;
  }
  bool ok = arrays.AllocPointArrays(messages, PointCapacity(state)) == 1;
  ok = ok && arrays.AllocNeighbourArrays(messages, state.neighbourCapacity) == 1;
  if (ok) {
    const RunEnv env = MakeEnv(state, messages);
    if (method == MNX_METHOD_WEIGHTING) {
      if (arrays.AllocTrendArrays(messages, state.trendTermCount) == 1) {
        Interp(env, mode, state.title, arrays.points, arrays.neighbours, arrays.trend, state.ipl);
      }
      arrays.FreeTrendArrays();
    } else if (method == MNX_METHOD_KRIGING) {
      Krig(env, mode, state.title, arrays.points, arrays.neighbours, state.ipl,
           state.svar.logTransform);
    } else {
      BayesRun(env, mode, state.title, arrays.points, arrays.neighbours, state.coefficientArea,
               state.ipl, state.svar.logTransform);
    }
  }
  arrays.FreePointArrays();
  arrays.FreeNeighbourArrays();
}

}  // namespace

void ComputeSizes(EngineState& state) {
  const auto& p = state.ipl;
  const std::int64_t nearest = std::max({p.dwPoints, p.krigPoints, p.bayesPoints});
  state.neighbourCapacity = Saturate(nearest + 16);
  const std::int64_t degree = p.trendDegree;
  state.trendTermCount = Saturate((degree + 2) * (degree + 1) / 2 + 1);
  const std::int64_t lags = std::max(state.fvar.fitPointCount, state.svar.lagCount);
  state.lagCapacity = Saturate(lags + 1);
  state.fitWorkSize = Saturate(4 * lags + 11);
}

int RunTask(int task, int method, int mode, EngineState& state, Messages& messages) {
  state.runOutcome = RunOutcome{};
  ComputeSizes(state);
  if (task == MNX_TASK_SEMIVARIOGRAM) {
    RunSemivariogram(state, messages);
  } else if (task == MNX_TASK_FIT) {
    RunFit(state, messages);
  } else {
    RunInterpolation(method, mode, state, messages);
  }
  state.arrays.FreeAll();
  state.allocationStatus = 1;
  return 1;
}

}  // namespace mornax
