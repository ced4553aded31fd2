// The numbers by which the parameters choose a method's variant: weighting
// schemes, the trend surface and its degrees, kriging orders, the scaling of
// guesses. The checks and the methods read them here.
#pragma once

namespace mornax {

// Distance weighting: schemes 1-6 weigh the nearest points; scheme 7 is the
// trend surface.
inline constexpr int kFirstWeightingScheme = 1;
inline constexpr int kLastWeightingScheme = 6;
inline constexpr int kTrendScheme = 7;

inline constexpr int kLowestTrendDegree = 1;
inline constexpr int kHighestTrendDegree = 9;

// Kriging: the order of the drift.
inline constexpr int kLowestKrigingOrder = 0;
inline constexpr int kHighestKrigingOrder = 2;

// Bayesian estimation: the scaling of the guesses.
inline constexpr int kNoScaling = 0;
inline constexpr int kMeanWindowScaling = 1;  // per estimation point, from its neighbours
inline constexpr int kMeanScaling = 2;
inline constexpr int kLinearScaling = 3;

}  // namespace mornax
