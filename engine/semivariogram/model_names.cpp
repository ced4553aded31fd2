#include <array>
#include <string>

#include "semivariogram/fvar.h"

namespace mornax {

void model_names(int model, std::string& name, std::array<std::string, 3>& labels) {
  static const std::array<const char*, 6> kNames = {"Polynomial ", " Spherical ", "Exponential",
                                                    " Gaussian  ", "De Wijsian ", "  k_Rho    "};
  labels = {"SILL ", "RANGE", " C0  "};
  if (model < 1 || model > 6) return;  // the name stays as it was
  name = kNames[static_cast<std::size_t>(model - 1)];
  if (model == 1) labels = {"SLOPE", "POWER", " C0  "};
  if (model == 6) labels = {"SIGMA", "  K  ", " RHO "};
}

}  // namespace mornax
