// The fit's start on a new document: when its nine starting values and
// bounds are still all 0, they are read off the project's experimental
// semivariogram (.fit classes, .var pair counts) by the engine's routine, for
// the program's fit command and the batch tool's run fit alike.
#pragma once

#include <filesystem>
#include <string>

#include "project/project.h"
#include "semivariogram/fit_start.h"

namespace mornax::project {

enum class AutomaticStart {
  kAlreadySet,  // the fit has starting values: nothing changed
  kStarted,     // the proposal is in the records
  kNoFitFile,   // the .fit file is missing
  kBadFitFile,  // the .fit file cannot be read
  kNoProposal,  // the classes allow none: `problem` says why
};

// Stores the proposal in `records.fvar` (and the class table size in
// fitPointCount). Unless `keepLagCount`, lagCount becomes the number of
// classes the proposal fits. `start` receives the proposal.
AutomaticStart StartFitFromSemivariogram(const std::filesystem::path& fitFile,
                                         const std::filesystem::path& varFile, bool keepLagCount,
                                         Records& records, FitStart& start, std::string& problem);

}  // namespace mornax::project
