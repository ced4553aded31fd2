// The fit's start of the in-memory interface: the batch tool's proposal from
// classes held in arrays.
#include <cstddef>
#include <vector>

#include "api/mornax_arrays.h"
#include "semivariogram/fit_start.h"

namespace mornax::api {

FitStartProposal ProposeFitStart(const Classes& classes, std::span<const std::int64_t> pairs,
                                 int model) {
  FitStartProposal proposal;
  if (classes.distance.size() != classes.semivariance.size() ||
      (!pairs.empty() && pairs.size() != classes.distance.size())) {
    proposal.problem = "the classes' distances, semivariances and pair counts differ in length";
    return proposal;
  }
  // The non-empty classes, in order, as the fit reads them.
  std::vector<double> distance, semivariance, weight;
  for (std::size_t k = 0; k < classes.distance.size(); ++k) {
    if (classes.distance[k] == 0.0) continue;
    distance.push_back(classes.distance[k]);
    semivariance.push_back(classes.semivariance[k]);
    if (!pairs.empty()) weight.push_back(static_cast<double>(pairs[k]));
  }
  FitStart start;
  proposal.proposed =
      mornax::ProposeFitStart(distance, semivariance, weight, model, start, proposal.problem);
  if (!proposal.proposed) return proposal;
  proposal.initial = start.initial;
  proposal.minimum = start.minimum;
  proposal.maximum = start.maximum;
  proposal.classCount = start.classCount;
  proposal.nugget = start.nugget;
  proposal.sill = start.sill;
  proposal.reach = start.reach;
  return proposal;
}

}  // namespace mornax::api
