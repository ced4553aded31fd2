#include "bayes/bayes_run.h"

namespace mornax {

void BayesRun(const RunEnv&, int, const std::string&, PointArrays&, NeighbourArrays&,
              std::array<double, 4>&, IplCopy&, int) {}  // TODO

}  // namespace mornax
