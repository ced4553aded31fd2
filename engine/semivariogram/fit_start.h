// Starting values and bounds of a variogram fit read off the experimental
// semivariogram: the nugget from the first classes, the sill from the
// plateau, the range where the curve reaches it, and bounds around them, in
// the parameters B1-B3 of each model. The fit itself is unchanged: a caller
// whose fit parameters are still unset passes these in their place.
#pragma once

#include <array>
#include <span>
#include <string>

#include "api/mornax.h"

namespace mornax {

struct FitStart {
  std::array<double, 3> initial{};  // B1, B2, B3
  std::array<double, 3> minimum{};
  std::array<double, 3> maximum{};
  // How many leading classes the fit should use: all of them, except for the
  // spherical model, whose fitted form falls again beyond its range, so that
  // classes far past the range would pull the range out; it takes the
  // classes up to a little past the range read off the curve.
  int classCount = 0;
  // What was read off the curve, in the data's units.
  double nugget = 0.0;
  double sill = 0.0;   // the plateau, nugget included
  double reach = 0.0;  // where the curve has risen 80 % from the nugget to the sill
};

// Proposes the start of model `model` (1-6) from the classes in order of
// distance: mean distance (> 0), semivariance and pair count of each (`pairs`
// may be empty: every class weighs the same). False with `problem` set when
// the classes allow no proposal: fewer than three, values that are not
// finite, no rise above zero, or a model number outside 1-6.
bool ProposeFitStart(std::span<const double> distance, std::span<const double> semivariance,
                     std::span<const double> pairs, int model, FitStart& start,
                     std::string& problem);

// True when the fit's nine starting values and bounds are all zero, as in a
// new document: the fit cannot start from them.
bool FitStartUnset(const FVAR& fvar);

// Stores the proposal's values and bounds in the record (single precision).
void StoreFitStart(const FitStart& start, FVAR& fvar);

}  // namespace mornax
