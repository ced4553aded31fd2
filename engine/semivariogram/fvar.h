// Task 2: the variogram fit run and its solution report BASE.sol.
#pragma once

#include <array>
#include <string>

#include "core/engine_state.h"
#include "core/run_env.h"

namespace mornax {

// Fills the 11-character model name and the three 5-character parameter labels.
void model_names(int model, std::string& name, std::array<std::string, 3>& labels);

// Reads BASE.fit, fits (or only evaluates) the model of `fvar.model` over the
// first `lagCount` non-empty classes and writes BASE.sol. The fit overwrites
// `fvar.initial`; `title` is replaced by columns 5-76 of the .fit title line.
void Fvar(const RunEnv& env, LagArrays& lags, FitArrays& fit, FvarCopy& fvar, int lagCount,
          const std::string& modelName, const std::array<std::string, 3>& labels,
          std::string& title);

}  // namespace mornax
