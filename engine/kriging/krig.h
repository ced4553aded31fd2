// Interpolation method 2: kriging of order 0-2.
#pragma once

#include <string>

#include "core/engine_state.h"
#include "core/run_env.h"

namespace mornax {

// mode 1: error analysis into BASE.lst; otherwise interpolation into BASE.dat,
// BASE.lev and BASE.wl. Uses krigPoints, krigModel, krigOrder, sill, c, c0, a
// of `ipl` (c is replaced by sill - c0 for models 2-4 for this run).
void Krig(const RunEnv& env, int mode, const std::string& title, PointArrays& points,
          NeighbourArrays& neighbours, IplCopy& ipl, int logTransform);

}  // namespace mornax
