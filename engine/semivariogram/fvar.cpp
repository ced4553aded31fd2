#include "semivariogram/fvar.h"

namespace mornax {

void model_names(int, std::string&, std::array<std::string, 3>&) {}  // TODO

void Fvar(const RunEnv&, LagArrays&, FitArrays&, FvarCopy&, int, const std::string&,
          const std::array<std::string, 3>&, std::string&) {}  // TODO

}  // namespace mornax
