#include "project/automatic_fit_start.h"

#include <algorithm>
#include <vector>

#include "project/fit_initializer.h"

namespace mornax::project {

AutomaticStart StartFitFromSemivariogram(const std::filesystem::path& fitFile,
                                         const std::filesystem::path& varFile, bool keepLagCount,
                                         Records& records, FitStart& start, std::string& problem) {
  if (!FitStartUnset(records.fvar)) return AutomaticStart::kAlreadySet;
  FitClasses classes;
  int count = 0;
  switch (ReadFitClasses(fitFile.string(), classes, count)) {
    case FitInitStatus::kOk:
      break;
    case FitInitStatus::kNotFound:
      return AutomaticStart::kNoFitFile;
    default:
      return AutomaticStart::kBadFitFile;
  }
  ReadPairCounts(varFile.string(), classes);
  const std::vector<double> distance(classes.distance.begin(), classes.distance.end());
  const std::vector<double> semivariance(classes.semivariance.begin(), classes.semivariance.end());
  if (!ProposeFitStart(distance, semivariance, classes.pairs, records.fvar.model, start, problem)) {
    return AutomaticStart::kNoProposal;
  }
  StoreFitStart(start, records.fvar);
  // The fit's class table holds every class of the file, the empty ones too.
  records.fvar.fitPointCount = std::max(records.fvar.fitPointCount, count);
  if (!keepLagCount) records.svar.lagCount = start.classCount;
  return AutomaticStart::kStarted;
}

}  // namespace mornax::project
