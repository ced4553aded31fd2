// Scaling of the prior guesses against the measured values, once per run on
// the data points and then on every network guess.
#pragma once

#include <array>
#include <span>

#include "estimation/method_numbers.h"

namespace mornax {

// Places of the linear-scaling record (the driver's four-double area).
inline constexpr int kLinearDMin = 0;
inline constexpr int kLinearGMin = 1;
inline constexpr int kLinearSlope = 2;
inline constexpr int kLinearGMax = 3;
using LinearScalingRecord = std::array<double, 4>;

// Subtracts `shift` from every element of `values`.
void ShiftValues(std::span<double> values, double shift);

// shift = mean of (guess - value) over all points; every guess is lowered by
// it. Returns the shift. `values` and `guesses` have the same, nonzero length.
double MeanScaleGuesses(std::span<const double> values, std::span<double> guesses);

// Removes a linear trend of the guess error: with gMin, gMax the smallest and
// largest guess (the first point wins a tie) and dMin, dMax the errors
// guess - value at those points, slope = |dMax - dMin| / (gMax - gMin) and
// every guess g becomes g - (dMin + (g - gMin) * slope). The record receives
// dMin, gMin, slope and gMax. When all guesses are equal the slope has no
// denominator: false is returned and nothing is changed.
bool LinearScaleGuesses(std::span<const double> values, std::span<double> guesses,
                        LinearScalingRecord& record);

// What the scaling of the data guesses left for the network guesses.
struct GuessScaling {
  int option = kNoScaling;
  double meanShift = 0.0;
  LinearScalingRecord linear{};
};

// A network guess as read, scaled like the data guesses: lowered by the mean
// shift, or by the linear correction dMin + (g - gMin) * slope (dMin when that
// is negative). The other options leave it unchanged.
double ScaleNetworkGuess(double guess, const GuessScaling& scaling);

}  // namespace mornax
