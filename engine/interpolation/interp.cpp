#include "interpolation/interp.h"

namespace mornax {

void Interp(const RunEnv&, int, const std::string&, PointArrays&, NeighbourArrays&, TrendArrays&,
            const IplCopy&) {}  // TODO

}  // namespace mornax
