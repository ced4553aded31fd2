// What a project's document says about the run behind its results: the
// parameters of the method that wrote them, for the metadata of exported
// rasters, the meaning of the standard-error layer and that of the level
// list. The commands read the document and hand its records over.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/api/mornax.h"
#include "geo/result_files.h"

namespace mornax::geo {

struct RunSettings {
  bool known = false;  // the document was read
  SVAR svar{};
  IPL ipl{};
};

// True when the run took the natural logarithms of the values (kriging and
// Bayesian estimation with logTransform 1): its estimates are back-transformed
// while its .lev list holds levels of the logarithms.
bool TookLogarithms(ResultMethod method, const RunSettings& settings);

// Metadata items (name, value) describing the run: method, model and its
// parameters, neighbours, log transform. Empty when the settings are unknown.
std::vector<std::pair<std::string, std::string>> RunMetadata(ResultMethod method,
                                                             const RunSettings& settings);

// What the standard-error layer of `method` holds: a spread in the values'
// units, or (under the log transform) a multiplicative factor.
struct StandardErrorMeaning {
  bool factor = false;
  std::string text;
};
StandardErrorMeaning MeaningOfStandardError(ResultMethod method, const RunSettings& settings);

}  // namespace mornax::geo
