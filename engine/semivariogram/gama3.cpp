#include "semivariogram/gama3.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <vector>

#include "core/parallel_pipeline.h"
#include "semivariogram/sector_rules.h"

namespace mornax {
namespace {

using namespace sector_rules;

// Block sums in flight per thread.
constexpr std::size_t kBlocksPerThread = 4;
// Later points j screened at a time before the exact class arithmetic.
constexpr std::size_t kChunk = 256;

// Below this squared distance the sector screen is not trusted (the products
// may underflow); such pairs go to the exact arithmetic.
constexpr double kTinySquared = 1.0e-200;

// The stop request is asked at most this often (a poll may process the
// program's pending events), and the clock is read after this many pairs of
// the calling thread's own work: far less than a millisecond of it.
constexpr auto kStopPollInterval = std::chrono::milliseconds(20);
constexpr std::size_t kPairsPerClockCheck = std::size_t{1} << 16;

// Asks the stop request on the calling thread at bounded intervals.
class StopGate {
 public:
  explicit StopGate(const std::function<bool()>& stopRequested) : stopRequested_(stopRequested) {}

  bool enabled() const { return static_cast<bool>(stopRequested_); }
  bool stopped() const { return stopped_.load(std::memory_order_relaxed); }

  // After `pairs` more pairs of the calling thread's work: true when the
  // stop was requested (now or earlier).
  bool AfterPairs(std::size_t pairs) {
    pending_ += pairs;
    if (pending_ < kPairsPerClockCheck) return stopped();
    pending_ = 0;
    return Check();
  }

  // Asks when the interval has passed (or nothing was asked yet).
  bool Check() {
    if (stopped()) return true;
    if (!enabled()) return false;
    const auto now = std::chrono::steady_clock::now();
    if (asked_ && now - last_ < kStopPollInterval) return false;
    asked_ = true;
    last_ = now;
    if (stopRequested_()) stopped_.store(true, std::memory_order_relaxed);
    return stopped();
  }

 private:
  const std::function<bool()>& stopRequested_;
  std::atomic<bool> stopped_{false};  // read by the helper threads
  bool asked_ = false;
  std::chrono::steady_clock::time_point last_{};
  std::size_t pending_ = 0;
};

// The per-class sums of one block of rows. Only classes from `lowest` to
// `highest` (0-based slots) may be non-zero; the rest stay zero. The arrays
// grow to the highest class a block reaches, not to nlags. Each on its own
// cache line: blocks in flight are summed by different threads.
struct alignas(64) ClassSums {
  std::vector<double> count, distance, semivariance;
  std::size_t lowest = 0;
  std::size_t highest = 0;
  bool any = false;

  void Add(std::size_t slot, double d, double half) {
    if (slot >= count.size()) {
      count.resize(slot + 1, 0.0);
      distance.resize(slot + 1, 0.0);
      semivariance.resize(slot + 1, 0.0);
    }
    count[slot] += 1.0;
    distance[slot] += d;
    semivariance[slot] += half;
    if (!any) {
      lowest = highest = slot;
      any = true;
    } else {
      lowest = std::min(lowest, slot);
      highest = std::max(highest, slot);
    }
  }
};

class PairLoop {
 public:
  PairLoop(std::span<const double> z, std::span<const double> x, std::span<const double> y,
           int nlags, double lag, double direction, double tolerance)
      : z_(z), x_(x), y_(y), lag_(lag), beyondLast_(static_cast<double>(nlags) + 1.0) {
    const double theta = direction * kDegreesToRadians;
    cosTheta_ = std::cos(theta);
    sinTheta_ = std::sin(theta);
    cmin_ = std::cos(tolerance * kHalfDegreesToRadians);
    // A pair counts only below beyondLast lags, so its distance is below
    // (beyondLast - offset) lags; the screen keeps a margin on that.
    const double reach = (beyondLast_ - kClassOffset + kScreenMargin * beyondLast_) * lag_;
    squaredReach_ = reach * reach * (1.0 + kScreenMargin);
    sectorScreen_ = cmin_ > 0.0;
    cminSquaredLow_ = cmin_ * cmin_ * (1.0 - kScreenMargin);
  }

  // The sums of rows [first, last) from zero, in pair order. Between rows the
  // block ends early once `gate` reports a stop; `polling` is true on the
  // calling thread, which also asks the stop request.
  void Block(std::size_t first, std::size_t last, ClassSums& sums, StopGate& gate,
             bool polling) const {
    std::array<std::uint32_t, kChunk> candidates;
    const std::size_t n = z_.size();
    for (std::size_t i = first; i < last; ++i) {
      if (polling ? gate.AfterPairs(n - i) : gate.stopped()) return;
      for (std::size_t begin = i + 1; begin < n; begin += kChunk) {
        const std::size_t end = std::min(n, begin + kChunk);
        const std::size_t found = sectorScreen_ ? Screen<true>(i, begin, end, candidates.data())
                                                : Screen<false>(i, begin, end, candidates.data());
        for (std::size_t c = 0; c < found; ++c) Exact(i, candidates[c], sums);
      }
    }
  }

 private:
  // Keeps, in order, the j in [begin, end) whose pair with i may count: the
  // pairs within reach and, when the sector is narrower than a half plane,
  // near enough to its axis. Free of branches (bitwise tests), so that it
  // runs at full speed whatever share of the pairs it keeps.
  template <bool kSectorScreen>
  std::size_t Screen(std::size_t i, std::size_t begin, std::size_t end,
                     std::uint32_t* candidates) const {
    const double xi = x_[i];
    const double yi = y_[i];
    const double* x = x_.data();
    const double* y = y_.data();
    std::size_t found = 0;
    for (std::size_t j = begin; j < end; ++j) {
      const double dx = x[j] - xi;
      const double dy = y[j] - yi;
      const double squared = dx * dx + dy * dy;
      bool keep = squared <= squaredReach_;
      if constexpr (kSectorScreen) {
        const double along = dy * sinTheta_ + dx * cosTheta_;
        keep = keep & ((along * along >= cminSquaredLow_ * squared) | (squared < kTinySquared));
      }
      candidates[found] = static_cast<std::uint32_t>(j);
      found += static_cast<std::size_t>(keep);
    }
    return found;
  }

  // The class arithmetic of one pair, exactly as the loop over all pairs
  // does it.
  void Exact(std::size_t i, std::size_t j, ClassSums& sums) const {
    const double dx = x_[j] - x_[i];
    const double dy = y_[j] - y_[i];
    const double d = std::sqrt(dx * dx + dy * dy);
    const double position = d / lag_ + kClassOffset;
    // Class 0 (a pair closer than about 1e-6 of a lag) has no slot; the test
    // is written so that a non-finite position is skipped as well. Classes
    // beyond nlags are compared as a real before truncation (no overflow).
    if (!(position >= 1.0 && position < beyondLast_)) return;
    const int k = static_cast<int>(position);
    const double c = (dy * sinTheta_ + dx * cosTheta_) / d;
    if (std::fabs(c) < cmin_) return;
    const double dz = z_[j] - z_[i];
    sums.Add(static_cast<std::size_t>(k - 1), d, 0.5 * (dz * dz));
  }

  std::span<const double> z_, x_, y_;
  double lag_;
  double beyondLast_;
  double cosTheta_ = 0.0;
  double sinTheta_ = 0.0;
  double cmin_ = 0.0;
  double squaredReach_ = 0.0;
  bool sectorScreen_ = false;
  double cminSquaredLow_ = 0.0;
};

}  // namespace

ValueStatistics ValueStatisticsOf(std::span<const double> z) {
  double sum = 0.0;
  double sumOfSquares = 0.0;
  for (const double value : z) {
    sum += value;
    sumOfSquares += value * value;
  }
  ValueStatistics stats;
  stats.pointsUsed = static_cast<int>(z.size());
  const double np = static_cast<double>(z.size());
  stats.average = sum / np;
  stats.variance = (sumOfSquares - sum * sum / np) / np;
  return stats;
}

ValueStatistics Gama3(std::span<const double> z, std::span<const double> x,
                      std::span<const double> y, int& nlags, double lag, double direction,
                      double tolerance, LagArrays& lags, int threads,
                      const std::function<bool()>& stopRequested,
                      const std::function<void(std::int64_t rows)>& rowsDone) {
  // The lag arrays by role.
  const std::span<double> pairCount(lags.lag1.data);
  const std::span<double> semivariance(lags.lag2.data);
  const std::span<double> meanDistance(lags.lag3.data);
  const auto classes = static_cast<std::size_t>(nlags);
  std::fill_n(pairCount.begin(), classes, 0.0);
  std::fill_n(semivariance.begin(), classes, 0.0);
  std::fill_n(meanDistance.begin(), classes, 0.0);

  const ValueStatistics stats = ValueStatisticsOf(z);

  const PairLoop pairs(z, x, y, nlags, lag, direction, tolerance);
  const std::size_t n = z.size();
  const std::size_t rows = n > 0 ? n - 1 : 0;
  const std::size_t blocks = (rows + kBlockRows - 1) / kBlockRows;
  const int blockThreads = static_cast<int>(
      std::clamp<std::size_t>(blocks, 1, static_cast<std::size_t>(std::max(threads, 1))));
  std::vector<ClassSums> ring(kBlocksPerThread * static_cast<std::size_t>(blockThreads));
  std::vector<std::size_t> blockOfSlot(ring.size(), 0);

  int highest = 1;
  StopGate gate(stopRequested);
  if (gate.Check()) {
    nlags = 0;
    return stats;
  }
  PipelineStages stages;
  stages.read = [&](std::int64_t block, std::size_t slot) {
    blockOfSlot[slot] = static_cast<std::size_t>(block);
    return true;
  };
  stages.compute = [&](std::size_t slot, int worker) {
    const std::size_t first = blockOfSlot[slot] * kBlockRows;
    pairs.Block(first, std::min(rows, first + kBlockRows), ring[slot], gate,
                gate.enabled() && worker == 0);
  };
  // While the calling thread waits for a helper's block it keeps asking.
  if (gate.enabled()) stages.idle = [&gate] { return !gate.Check(); };
  stages.finish = [&](std::int64_t block, std::size_t slot, bool) {
    if (gate.Check()) return false;
    if (rowsDone) {
      rowsDone(static_cast<std::int64_t>(
          std::min(rows, (static_cast<std::size_t>(block) + 1) * kBlockRows)));
    }
    ClassSums& sums = ring[slot];
    if (!sums.any) return true;
    // Adding a block's zero to a total changes no bit: only the classes the
    // block reached are added (and cleared for the slot's next block).
    for (std::size_t k = sums.lowest; k <= sums.highest; ++k) {
      pairCount[k] += sums.count[k];
      meanDistance[k] += sums.distance[k];
      semivariance[k] += sums.semivariance[k];
      sums.count[k] = sums.distance[k] = sums.semivariance[k] = 0.0;
    }
    highest = std::max(highest, static_cast<int>(sums.highest) + 1);
    sums.any = false;
    return true;
  };
  RunPipeline(blockThreads, static_cast<std::int64_t>(blocks), ring.size(), stages);
  if (gate.stopped()) {
    nlags = 0;
    return stats;
  }

  for (std::size_t slot = 0; slot < classes; ++slot) {
    const double count = std::max(pairCount[slot], 1.0);
    meanDistance[slot] /= count;
    semivariance[slot] /= count;
  }
  nlags = highest;
  return stats;
}

}  // namespace mornax
