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
// `what` is "data point" or "network point", `number` its 1-based number.
inline std::string UnusableValueMessage(const char* what, long long number,
                                        const std::string& fileName) {
  return std::string("Value out of range (magnitude above 1E+100) at ") + what + " : " +
         std::to_string(number) + " in input file : " + fileName;
}

}  // namespace mornax
