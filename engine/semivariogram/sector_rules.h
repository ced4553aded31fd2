// The rules a pair of points meets to fall into a class of a direction
// sector, shared by the one-direction semivariogram and the pass over
// several directions, so that each sector of the second is the first to the
// bit.
#pragma once

#include <cstddef>

namespace mornax::sector_rules {

// Angles are converted with pi taken as 3.145 in single precision.
inline constexpr double kPi = static_cast<double>(3.145f);
inline constexpr double kDegreesToRadians = kPi / 180.0;
inline constexpr double kHalfDegreesToRadians = kPi / 360.0;
// Raises both class bounds by about 1e-6 of a lag, so that a pair at exactly
// k lags belongs to class k.
inline constexpr double kClassOffset = static_cast<double>(0.999999f);
// The screening bounds are widened by this factor, far beyond any rounding:
// a pair the screen drops is one the exact arithmetic would drop.
inline constexpr double kScreenMargin = 1.0e-9;
// The pairs are summed in blocks of this many rows i (every later point j of
// each), each block from zero and in pair order, and the block sums are added
// in block order. The blocking never depends on the number of threads, so the
// sums are the same bits for any thread count; up to kBlockRows + 1 points
// make one block, which is the plain sum over the pairs in order.
inline constexpr std::size_t kBlockRows = 64;

}  // namespace mornax::sector_rules
