// Interpolation method 1: distance weighting (schemes 1-6) and the trend
// surface (scheme 7).
#pragma once

#include <string>

#include "core/engine_state.h"
#include "core/run_env.h"

namespace mornax {

// mode 1: error analysis into BASE.lst; otherwise interpolation into BASE.dat,
// BASE.lev and BASE.wl. Uses ipl.dwPoints, ipl.dwScheme and ipl.trendDegree.
void Interp(const RunEnv& env, int mode, const std::string& title, PointArrays& points,
            NeighbourArrays& neighbours, TrendArrays& trend, const IplCopy& ipl);

}  // namespace mornax
