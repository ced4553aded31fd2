// The model terms no record carries: the anisotropy and the further
// structures of the semivariogram that kriging and Bayesian estimation share.
// The batch tool and the program set them in the engine state from their
// document before a file run; the library's entry point leaves them as they
// are (isotropic, one structure), so the records keep their meaning.
#pragma once

#include <vector>

#include "api/mornax_arrays.h"

namespace mornax {

struct ModelTerms {
  api::Anisotropy anisotropy{};  // of the first structure, and of the guesses' model
  std::vector<api::Structure> structures{};

  bool Isotropic() const { return anisotropy.ratio == 1.0 && structures.empty(); }
};

}  // namespace mornax
