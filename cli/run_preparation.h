// What the batch tool settles before it hands a computation to the library:
// the lag of --auto-lag, the fit's start on a new document, and the checks
// and notes that tell a newcomer what to do next (no network, too few
// points, a fitted model not yet in use).
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include "arguments.h"
#include "project/project.h"

namespace mornax::batch {

struct RunContext {
  const Invocation& invocation;
  std::filesystem::path folder;  // the document's folder ("" the current one)
  project::FileSet files;
  std::set<std::string, std::less<>> assigned;  // fields set on the command line

  std::filesystem::path File(project::FileIndex index) const;
  bool Assigned(std::string_view field) const { return assigned.contains(field); }
};

// The outcome of a preparation: go ahead, or stop with this exit status after
// the message has been shown.
struct Preparation {
  bool proceed = true;
  int status = 0;
};

// variogram: --auto-lag sets the run's lagDistance from the data; a data file
// with fewer than two distinct points is refused; a lag still at the
// new-document value gets a note naming --auto-lag.
Preparation PrepareVariogram(const RunContext& context, project::Records& records);

// fit: when the nine starting values and bounds are unset they are read off
// the semivariogram of the .fit file (with the .var pair counts) for this
// run, and printed.
Preparation PrepareFit(const RunContext& context, project::Records& records);

// weighting, kriging, bayes: an interpolation without network points is
// refused; a model still at the new-document values while the project has a
// fit report gets a note naming use-fit.
Preparation PrepareInterpolation(const RunContext& context, int method, bool interpolate,
                                 const project::Records& records);

}  // namespace mornax::batch
