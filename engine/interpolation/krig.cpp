#include "interpolation/krig.h"

namespace mornax {

void Krig(const RunEnv&, int, const std::string&, PointArrays&, NeighbourArrays&, IplCopy&, int) {
}  // TODO

}  // namespace mornax
