// The experimental semivariogram of a project's .fit file (with the pair
// counts of its .var report), and the initial guesses and bounds that the fit
// dialog's "Initialize" proposes from it.
#pragma once

#include <string>
#include <vector>

#include "mornax.h"

namespace mornax::project {

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
  std::vector<double> pairs;  // pairs per class from the .var report; empty when unknown
};

// Reads the classes of `fitFile`; `count` is the class count the file states
// (empty classes included). kOk, kNotFound, kBadFile, or kNoMemory for a count
// that cannot be allocated (left in `count`); `classes` changes only on kOk.
FitInitStatus ReadFitClasses(const std::string& fitFile, FitClasses& classes, int& count);

// The pairs per non-empty class from the semivariogram report `varFile`,
// written by the same run as the classes; false (and `classes.pairs` empty)
// when the report is missing or describes other classes.
bool ReadPairCounts(const std::string& varFile, FitClasses& classes);

// Reads `fitFile` and, for the model in `fvar.model`, sets `fitPointCount`
// (the file's class count), `lagCount` (the number of non-empty classes) and
// the initial values and bounds in single precision. On a
// failure the records stay as they were, except that a class count that
// cannot be allocated is left in `fitPointCount`.
FitInitStatus InitializeFitGuesses(const std::string& fitFile, SVAR& svar, FVAR& fvar,
                                   FitClasses& classes);

}  // namespace mornax::project
