// The largest magnitude a data or network value may have. Every method squares
// coordinate differences and values (the semivariogram, the kriging and Bayes
// distances, the trend surface's normal equations), and double precision
// overflows near 1e154 squared; 1e100 leaves room for the sums and products
// built from those squares while being far beyond any measured quantity.
#pragma once

#include <cmath>
#include <string>

namespace mornax {

inline constexpr double kLargestUsableValue = 1e100;

// True for a finite number whose magnitude is at most kLargestUsableValue.
inline bool UsableValue(double value) {
  return std::isfinite(value) && std::fabs(value) <= kLargestUsableValue;
}

// The message for a data or network point holding a value beyond the bound;
// `what` is "data point" or "network point", `number` its 1-based number,
// `fileName` the input file that holds it (empty: the values were given in
// memory).
inline std::string UnusableValueMessage(const char* what, long long number,
                                        const std::string& fileName) {
  std::string text = std::string("Value out of range (magnitude above 1E+100) at ") + what + " : " +
                     std::to_string(number);
  if (!fileName.empty()) text += " in input file : " + fileName;
  return text;
}

}  // namespace mornax
