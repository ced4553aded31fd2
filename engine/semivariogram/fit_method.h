// The variogram fit in memory, shared by the file task (fvar.cpp) and the
// in-memory interface: the classes checked and put in the model's units, the
// bounded Marquardt iteration with its progress lines, and the model values
// the report lists.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "api/mornax_arrays.h"
#include "core/run_env.h"
#include "semivariogram/fit_report.h"
#include "semivariogram/marq.h"

namespace mornax {

struct FitRun {
  FitSummary summary;    // ICON, CHI2 and the call counter of the report
  double scale = 1.0;    // k_Rho: the first class distance, the fit's unit
  bool stopped = false;  // the user's stop ended the iterations
  bool refused = false;  // the classes cannot be fitted (values, k_Rho's unit)
};

// "Maximum number of lags is N": more classes asked for than there are.
std::string LagLimitMessage(std::size_t limit);

// Fits model p.model (or only evaluates it, without p.bestFit) to the classes
// x (distances) and y (semivariances): `b` starts at the initial values and
// ends at the parameters reported, `f` receives the model values. Classes
// with values beyond the usable magnitude are refused, naming the class and
// `inputName` (the input file; empty for classes given in memory). True when
// there is a report to give; false after the message (or after a stop,
// run.stopped), when the model cannot be evaluated at the parameters
// reported, or could not be at the start of the iteration.
bool FitModel(const RunEnv& env, std::span<double> x, std::span<const double> y,
              std::span<double> f, const api::FitParameters& p, ModelParameters& b,
              const MarqWork& work, const ModelLabels& labels, const std::string& inputName,
              FitRun& run);

}  // namespace mornax
