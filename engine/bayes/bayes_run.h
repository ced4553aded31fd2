// Interpolation method 3: Bayesian estimation with prior guesses.
#pragma once

#include <array>
#include <string>

#include "core/engine_state.h"
#include "core/run_env.h"

namespace mornax {

// mode 1: error analysis into BASE.lst; otherwise interpolation into BASE.dat,
// BASE.lev and BASE.wl. Every data line of BASE.dfl carries x, y, value and
// guess, every network line x, y and guess. `linearScaling` is the driver's
// four-double area (dMin, gMin, slope, gMax of the linear guess scaling).
// `ipl` is read only: the run's own changes (C as sill minus nugget for models
// 2-4, one point fewer in error analysis) are made on a copy.
void BayesRun(const RunEnv& env, int mode, const std::string& title, PointArrays& points,
              NeighbourArrays& neighbours, std::array<double, 4>& linearScaling, IplCopy& ipl,
              int logTransform);

}  // namespace mornax
