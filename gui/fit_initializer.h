// Initial guesses and bounds of the three model parameters, proposed from the
// experimental semivariogram in the project's .fit file.
#pragma once

#include <string>
#include <vector>

#include "mornax.h"

namespace mornax::gui {

enum class FitInitStatus {
  kOk,
  kNotFound,  // "FIT file not found!"
  kBadFile,   // "ERROR in FIT file!"
  kNoMemory,  // "Not Enough Memory for Arrays!"
};

// The message box text of a failure ("" for kOk).
const char* FitInitMessage(FitInitStatus status);

// The non-empty classes read from the file.
struct FitClasses {
  std::vector<float> distance;
  std::vector<float> semivariance;
};

// Reads `fitFile` and, for the model in `fvar.model`, sets `fitPointCount`
// (the file's class count), `lagCount` (the number of non-empty classes) and
// the initial values and bounds in single precision. On a
// failure the records stay as they were, except that a class count that
// cannot be allocated is left in `fitPointCount`.
FitInitStatus InitializeFitGuesses(const std::string& fitFile, SVAR& svar, FVAR& fvar,
                                   FitClasses& classes);

}  // namespace mornax::gui
