// Interpolation method 3: Bayesian estimation with prior guesses.
#pragma once

#include <array>
#include <string>

#include "driver/engine_state.h"
#include "driver/run_env.h"

namespace mornax {

// mode 1: error analysis into BASE.lst; otherwise interpolation into BASE.dat,
// BASE.lev and BASE.wl. `linearScaling` is the driver's four-double area
// (dMin, gMin, slope, gMax of the linear guess scaling).
void BayesRun(const RunEnv& env, int mode, const std::string& title, PointArrays& points,
              NeighbourArrays& neighbours, std::array<double, 4>& linearScaling, IplCopy& ipl,
              int logTransform);

}  // namespace mornax
