#include "bayes/guess_scaling.h"

#include <cmath>
#include <cstddef>

namespace mornax {

void ShiftValues(std::span<double> values, double shift) {
  for (double& value : values) value -= shift;
}

double MeanScaleGuesses(std::span<const double> values, std::span<double> guesses) {
  double sum = 0.0;
  for (std::size_t i = 0; i < guesses.size(); ++i) sum += guesses[i] - values[i];
  const double shift = sum / static_cast<double>(guesses.size());
  ShiftValues(guesses, shift);
  return shift;
}

bool LinearScaleGuesses(std::span<const double> values, std::span<double> guesses,
                        LinearScalingRecord& record) {
  if (guesses.empty()) return false;
  std::size_t iMin = 0;
  std::size_t iMax = 0;
  for (std::size_t i = 1; i < guesses.size(); ++i) {
    if (guesses[i] < guesses[iMin]) iMin = i;
    if (guesses[i] > guesses[iMax]) iMax = i;
  }
  const double gMin = guesses[iMin];
  const double gMax = guesses[iMax];
  if (!(gMax > gMin)) return false;
  const double dMin = gMin - values[iMin];
  const double dMax = gMax - values[iMax];
  const double slope = std::fabs(dMax - dMin) / (gMax - gMin);
  for (double& guess : guesses) guess -= dMin + (guess - gMin) * slope;
  record[kLinearDMin] = dMin;
  record[kLinearGMin] = gMin;
  record[kLinearSlope] = slope;
  record[kLinearGMax] = gMax;
  return true;
}

double ScaleNetworkGuess(double guess, const GuessScaling& scaling) {
  if (scaling.option == kMeanScaling) return guess - scaling.meanShift;
  if (scaling.option == kLinearScaling) {
    const LinearScalingRecord& r = scaling.linear;
    double correction = r[kLinearDMin] + (guess - r[kLinearGMin]) * r[kLinearSlope];
    if (correction < 0.0) correction = r[kLinearDMin];
    return guess - correction;
  }
  return guess;
}

}  // namespace mornax
