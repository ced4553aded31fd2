#include "semivariogram/direction_set.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstddef>

#include "core/parallel_pipeline.h"
#include "estimation/spatial_index.h"

namespace mornax {
namespace {

// The one-direction semivariogram's constants (gama3.cpp): its angle
// conversion, its class offset and its screening margin.
constexpr double kPi = static_cast<double>(3.145f);
constexpr double kDegreesToRadians = kPi / 180.0;
constexpr double kHalfDegreesToRadians = kPi / 360.0;
constexpr double kClassOffset = static_cast<double>(0.999999f);
constexpr double kScreenMargin = 1.0e-9;
// Rows per block of sums, as there: the sums of a sector are those bits.
constexpr std::size_t kBlockRows = 64;
constexpr std::size_t kBlocksPerThread = 4;
constexpr auto kStopPollInterval = std::chrono::milliseconds(20);

struct Sector {
  double cosTheta, sinTheta, cmin;
  // cmin^2 widened both ways: outside the band the squared test decides
  // what the exact cosine would; inside it the exact arithmetic is used.
  double inside, outside;
};

// The band of the squared sector test, far beyond any rounding.
constexpr double kSectorMargin = 1.0e-9;

// The sums of one block of rows: per sector per class, and per map cell.
struct BlockSums {
  std::vector<double> count, distance, semivariance;  // sector-major, lagCount each
  std::vector<double> mapCount, mapSum;
  std::vector<std::int32_t> neighbours;  // scratch of the row being summed
  std::vector<std::uint64_t> marks;      // the row's pairs as bits, to meet them in order
};

class PairPass {
 public:
  PairPass(std::span<const double> z, std::span<const double> x, std::span<const double> y,
           const DirectionSetSpec& spec)
      : z_(z),
        x_(x),
        y_(y),
        spec_(spec),
        beyondLast_(static_cast<double>(spec.lagCount) + 1.0),
        side_(2 * static_cast<std::size_t>(spec.mapCells) + 1) {
    const double cmin = std::cos(spec.tolerance * kHalfDegreesToRadians);
    for (const double direction : spec.directions) {
      const double theta = direction * kDegreesToRadians;
      sectors_.push_back({std::cos(theta), std::sin(theta), cmin,
                          cmin * cmin * (1.0 + kSectorMargin),
                          cmin * cmin * (1.0 - kSectorMargin)});
    }
    const double reach =
        (beyondLast_ - kClassOffset + kScreenMargin * beyondLast_) * spec.lagDistance;
    double squared = reach * reach * (1.0 + kScreenMargin);
    if (spec.mapCells > 0) {
      const double corner = (spec.mapCells + 0.5) * spec.mapCellSize;
      squared = std::max(squared, 2.0 * corner * corner * (1.0 + kScreenMargin));
    }
    squaredReach_ = squared;
    perCell_ = spec.mapCells > 0 ? 1.0 / spec.mapCellSize : 0.0;
    index_.Build(x, y, static_cast<int>(x.size()));
  }

  std::size_t classes() const { return static_cast<std::size_t>(spec_.lagCount); }
  std::size_t cells() const { return spec_.mapCells > 0 ? side_ * side_ : 0; }

  void Prepare(BlockSums& sums) const {
    const std::size_t n = classes() * sectors_.size();
    sums.count.assign(n, 0.0);
    sums.distance.assign(n, 0.0);
    sums.semivariance.assign(n, 0.0);
    sums.mapCount.assign(cells(), 0.0);
    sums.mapSum.assign(cells(), 0.0);
    sums.marks.assign((z_.size() + 63) / 64, 0);
  }

  void Block(std::size_t first, std::size_t last, BlockSums& sums) const {
    for (std::size_t i = first; i < last; ++i) {
      sums.neighbours.clear();
      index_.Within(x_[i], y_[i], squaredReach_, static_cast<std::int32_t>(i), sums.neighbours);
      if (sums.neighbours.empty()) continue;
      // In pair order, as the loop over all pairs meets them: the found
      // points marked in a bit set that is read (and cleared) upwards, which
      // costs far less than sorting them.
      std::size_t lowWord = sums.marks.size();
      std::size_t highWord = 0;
      for (const std::int32_t j : sums.neighbours) {
        const auto word = static_cast<std::size_t>(j) / 64;
        sums.marks[word] |= std::uint64_t{1} << (static_cast<std::size_t>(j) % 64);
        lowWord = std::min(lowWord, word);
        highWord = std::max(highWord, word);
      }
      for (std::size_t word = lowWord; word <= highWord; ++word) {
        std::uint64_t bits = sums.marks[word];
        sums.marks[word] = 0;
        while (bits != 0) {
          const auto bit = static_cast<std::size_t>(std::countr_zero(bits));
          bits &= bits - 1;
          Pair(i, word * 64 + bit, sums);
        }
      }
    }
  }

 private:
  void Pair(std::size_t i, std::size_t j, BlockSums& sums) const {
    const double dx = x_[j] - x_[i];
    const double dy = y_[j] - y_[i];
    const double dz = z_[j] - z_[i];
    const double half = 0.5 * (dz * dz);
    if (spec_.mapCells > 0) {
      const double m = spec_.mapCells;
      const double cx = std::floor(dx * perCell_ + 0.5);
      const double cy = std::floor(dy * perCell_ + 0.5);
      if (std::fabs(cx) <= m && std::fabs(cy) <= m) {
        const auto at = [&](double ix, double iy) {
          return static_cast<std::size_t>(iy + m) * side_ + static_cast<std::size_t>(ix + m);
        };
        for (const std::size_t cell : {at(cx, cy), at(-cx, -cy)}) {
          sums.mapCount[cell] += 1.0;
          sums.mapSum[cell] += half;
        }
      }
    }
    // The class and sector arithmetic of the one-direction run.
    const double squared = dx * dx + dy * dy;
    const double d = std::sqrt(squared);
    const double position = d / spec_.lagDistance + kClassOffset;
    if (!(position >= 1.0 && position < beyondLast_)) return;
    const auto k = static_cast<std::size_t>(static_cast<int>(position) - 1);
    for (std::size_t s = 0; s < sectors_.size(); ++s) {
      const Sector& sector = sectors_[s];
      const double along = dy * sector.sinTheta + dx * sector.cosTheta;
      const double along2 = along * along;
      if (along2 <= sector.outside * squared) continue;
      if (along2 < sector.inside * squared && std::fabs(along / d) < sector.cmin) continue;
      const std::size_t slot = s * classes() + k;
      sums.count[slot] += 1.0;
      sums.distance[slot] += d;
      sums.semivariance[slot] += half;
    }
  }

  std::span<const double> z_, x_, y_;
  const DirectionSetSpec& spec_;
  double beyondLast_;
  std::size_t side_;
  std::vector<Sector> sectors_;
  double squaredReach_ = 0.0;
  double perCell_ = 0.0;
  SpatialIndex index_;
};

ValueStatistics Statistics(std::span<const double> z) {
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

}  // namespace

DirectionSetSums DirectionSet(std::span<const double> z, std::span<const double> x,
                              std::span<const double> y, const DirectionSetSpec& spec, int threads,
                              const std::function<bool()>& stopRequested,
                              const std::function<void(std::int64_t rows)>& rowsDone) {
  DirectionSetSums out;
  out.statistics = Statistics(z);
  const PairPass pass(z, x, y, spec);
  const std::size_t classes = pass.classes();
  const std::size_t sectors = spec.directions.size();
  BlockSums total;
  pass.Prepare(total);

  const std::size_t n = z.size();
  const std::size_t rows = n > 0 ? n - 1 : 0;
  const std::size_t blocks = (rows + kBlockRows - 1) / kBlockRows;
  const int blockThreads = static_cast<int>(
      std::clamp<std::size_t>(blocks, 1, static_cast<std::size_t>(std::max(threads, 1))));
  std::vector<BlockSums> ring(kBlocksPerThread * static_cast<std::size_t>(blockThreads));
  for (BlockSums& sums : ring) pass.Prepare(sums);
  std::vector<std::size_t> blockOfSlot(ring.size(), 0);

  auto last = std::chrono::steady_clock::now();
  bool asked = false;
  auto stop = [&] {
    if (!stopRequested || out.stopped) return out.stopped;
    const auto now = std::chrono::steady_clock::now();
    if (asked && now - last < kStopPollInterval) return false;
    asked = true;
    last = now;
    out.stopped = stopRequested();
    return out.stopped;
  };
  if (stop()) return out;

  PipelineStages stages;
  stages.read = [&](std::int64_t block, std::size_t slot) {
    blockOfSlot[slot] = static_cast<std::size_t>(block);
    return true;
  };
  stages.compute = [&](std::size_t slot, int) {
    const std::size_t first = blockOfSlot[slot] * kBlockRows;
    pass.Block(first, std::min(rows, first + kBlockRows), ring[slot]);
  };
  if (stopRequested) stages.idle = [&] { return !stop(); };
  stages.finish = [&](std::int64_t block, std::size_t slot, bool) {
    if (stop()) return false;
    if (rowsDone) {
      rowsDone(static_cast<std::int64_t>(
          std::min(rows, (static_cast<std::size_t>(block) + 1) * kBlockRows)));
    }
    // Block sums added in block order; a class a block did not reach adds a
    // zero, which changes no bit.
    BlockSums& sums = ring[slot];
    for (std::size_t k = 0; k < total.count.size(); ++k) {
      if (sums.count[k] == 0.0) continue;
      total.count[k] += sums.count[k];
      total.distance[k] += sums.distance[k];
      total.semivariance[k] += sums.semivariance[k];
      sums.count[k] = sums.distance[k] = sums.semivariance[k] = 0.0;
    }
    for (std::size_t c = 0; c < total.mapCount.size(); ++c) {
      if (sums.mapCount[c] == 0.0) continue;
      total.mapCount[c] += sums.mapCount[c];
      total.mapSum[c] += sums.mapSum[c];
      sums.mapCount[c] = sums.mapSum[c] = 0.0;
    }
    return true;
  };
  RunPipeline(blockThreads, static_cast<std::int64_t>(blocks), ring.size(), stages);
  if (out.stopped) return out;

  out.sectors.resize(sectors);
  for (std::size_t s = 0; s < sectors; ++s) {
    SectorClasses& sector = out.sectors[s];
    sector.pairs.assign(classes, 0.0);
    sector.semivariance.assign(classes, 0.0);
    sector.distance.assign(classes, 0.0);
    for (std::size_t k = 0; k < classes; ++k) {
      const std::size_t slot = s * classes + k;
      const double count = std::max(total.count[slot], 1.0);
      sector.pairs[k] = total.count[slot];
      sector.distance[k] = total.distance[slot] / count;
      sector.semivariance[k] = total.semivariance[slot] / count;
      if (total.count[slot] > 0.0) sector.classCount = static_cast<int>(k) + 1;
    }
    sector.pairs.resize(static_cast<std::size_t>(sector.classCount));
    sector.semivariance.resize(static_cast<std::size_t>(sector.classCount));
    sector.distance.resize(static_cast<std::size_t>(sector.classCount));
  }
  out.mapPairs = total.mapCount;
  out.mapSemivariance.resize(total.mapSum.size());
  for (std::size_t c = 0; c < total.mapSum.size(); ++c) {
    out.mapSemivariance[c] = total.mapCount[c] > 0.0 ? total.mapSum[c] / total.mapCount[c] : 0.0;
  }
  return out;
}

}  // namespace mornax
