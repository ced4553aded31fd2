// The experimental semivariogram of a set of points in one direction sector.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "core/work_arrays.h"

namespace mornax {

struct ValueStatistics {
  double average = 0.0;
  double variance = 0.0;  // divisor: the number of points
  int pointsUsed = 0;
};

// The values' average and variance, summed in their order.
ValueStatistics ValueStatisticsOf(std::span<const double> z);

// Sorts every pair of the points (x, y, z hold one entry per point) into the
// lag classes 1..nlags of width `lag` and keeps the pairs whose direction lies
// within `tolerance` / 2 degrees of `direction` (either sense). Class k goes
// into slot k - 1 of the lag arrays: lag1 the pair count, lag2 the mean
// semivariance, lag3 the mean distance (0 for an empty class). On return
// nlags is the highest class that received a pair (at least 1).
// The pairs are shared out among `threads` threads; the sums are combined in
// an order that does not depend on the thread count, so every count of
// threads gives the same bits.
// `stopRequested`, when given, is asked on the calling thread before the
// first pairs and then whenever about kStopPollInterval has passed, checked at
// least every few milliseconds of work; when it answers true the loop ends
// early, nlags is set to 0 and the lag tables are not to be used.
// `rowsDone`, when given, is told on the calling thread how many rows i
// (points whose pairs with every later point are summed) are done, in order.
// Preconditions: nlags >= 1, lag > 0, each lag array holds nlags entries.
ValueStatistics Gama3(std::span<const double> z, std::span<const double> x,
                      std::span<const double> y, int& nlags, double lag, double direction,
                      double tolerance, LagArrays& lags, int threads = 1,
                      const std::function<bool()>& stopRequested = {},
                      const std::function<void(std::int64_t rows)>& rowsDone = {});

}  // namespace mornax
