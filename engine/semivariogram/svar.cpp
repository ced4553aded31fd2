#include "semivariogram/svar.h"

namespace mornax {

void Svar(const RunEnv&, const std::string&, PointArrays&, LagArrays&, SvarCopy&) {}  // TODO

}  // namespace mornax
