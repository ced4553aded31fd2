// Reading the fitting input BASE.fit written by the semivariogram run.
#pragma once

#include <span>
#include <string>

#include "core/run_env.h"

namespace mornax {

// Reads BASE.fit: the title becomes columns 5-76 of its first line (the line
// blank padded to 76), then the class count and the classes (distance,
// semivariance). Empty classes (distance 0) are dropped; the others are stored
// in order in `distance` and `semivariance`, which bound the class count.
// Returns the number of classes kept, or -1 after the failure was reported.
int ReadFitInput(const RunEnv& env, std::span<double> distance, std::span<double> semivariance,
                 std::string& title);

}  // namespace mornax
