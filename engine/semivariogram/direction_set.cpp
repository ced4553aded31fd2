#include "semivariogram/direction_set.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstddef>

#include "api/mornax_arrays.h"
#include "core/parallel_pipeline.h"
#include "semivariogram/reach_grid.h"
#include "semivariogram/sector_rules.h"

namespace mornax {
namespace {

using namespace sector_rules;
constexpr std::size_t kBlocksPerThread = 4;
constexpr auto kStopPollInterval = std::chrono::milliseconds(20);

struct Sector {
  double cosTheta, sinTheta, cmin;
  // cmin^2 widened both ways: outside the band the squared test decides
  // what the exact cosine would; inside it the exact arithmetic is used.
  double inside, outside;
};

// A pair's sectors are one bit each of a word.
static_assert(api::kMaxDirections <= 64);

// The band of the squared sector test, far beyond any rounding.
constexpr double kSectorMargin = 1.0e-9;

// One class of one sector.
struct ClassSum {
  double count, distance, semivariance;
};
// One cell of the map.
struct CellSum {
  double count, semivariance;
};

// The sums of one block of rows. The map has a border of spare cells around
// it: a pair beyond the map is added there, never read, so that no branch
// depends on where a pair falls.
struct BlockSums {
  std::vector<ClassSum> classes;  // sector-major, lagCount + 1 each (class 0 unused)
  std::vector<CellSum> cells;     // (2 mapCells + 3)^2, row-major
};

// Where one pair counts, worked out before the pairs are put in order: all
// but the sums themselves, which must be added in order.
struct PairPlace {
  double d, half;
  std::uint64_t sectors;      // bit s: in sector s and in a class
  std::uint32_t slot;         // the class, as an offset within a sector's slots
  std::uint32_t there, back;  // the map cells of +(dx, dy) and -(dx, dy)
};

// A thread's scratch for one row: the pairs found and placed cell by cell,
// then put in index order through a bit set that is read upwards, which
// costs far less than sorting them.
struct RowScratch {
  std::vector<std::uint64_t> marks;  // bit j: the pair with j is found
  std::vector<std::uint32_t> rank;   // per point j: where its pair is in `lags`
  std::vector<std::uint32_t> order;  // the points found, increasing
  std::vector<PairLag> lags;         // as found
  std::vector<PairPlace> places;     // as found
};

// The squared distance within which a pair can count in a class.
double ClassSquaredReach(int lagCount, double lagDistance) {
  const double beyondLast = static_cast<double>(lagCount) + 1.0;
  const double reach = (beyondLast - kClassOffset + kScreenMargin * beyondLast) * lagDistance;
  return reach * reach * (1.0 + kScreenMargin);
}

// The squared distance within which a pair can fall in a map cell.
double MapSquaredReach(const DirectionSetSpec& spec) {
  if (spec.mapCells <= 0) return 0.0;
  const double corner = (spec.mapCells + 0.5) * spec.mapCellSize;
  return 2.0 * corner * corner * (1.0 + kScreenMargin);
}

class PairPass {
 public:
  PairPass(std::span<const double> z, std::span<const double> x, std::span<const double> y,
           const DirectionSetSpec& spec)
      : spec_(spec),
        count_(z.size()),
        beyondLast_(static_cast<double>(spec.lagCount) + 1.0),
        mapCells_(std::max(spec.mapCells, 0)),
        side_(2 * static_cast<std::size_t>(mapCells_) + 3),
        squaredReach_(
            std::max(ClassSquaredReach(spec.lagCount, spec.lagDistance), MapSquaredReach(spec))),
        perCell_(spec.mapCells > 0 ? 1.0 / spec.mapCellSize : 0.0),
        grid_(x, y, z, std::sqrt(squaredReach_)) {
    const double cmin = std::cos(spec.tolerance * kHalfDegreesToRadians);
    for (const double direction : spec.directions) {
      const double theta = direction * kDegreesToRadians;
      sectors_.push_back({std::cos(theta), std::sin(theta), cmin,
                          cmin * cmin * (1.0 + kSectorMargin),
                          cmin * cmin * (1.0 - kSectorMargin)});
    }
  }

  std::size_t classes() const { return static_cast<std::size_t>(spec_.lagCount); }
  std::size_t sectors() const { return sectors_.size(); }
  // Slot of sector s's class k (1-based) in BlockSums::classes.
  std::size_t ClassSlot(std::size_t s, std::size_t k) const { return s * (classes() + 1) + k; }
  // Slot of map cell (ix, iy), each in -mapCells..mapCells, in BlockSums::cells.
  std::size_t CellSlot(std::size_t ix, std::size_t iy) const { return (iy + 1) * side_ + ix + 1; }

  void Prepare(BlockSums& sums) const {
    sums.classes.assign(sectors_.size() * (classes() + 1), ClassSum{});
    sums.cells.assign(spec_.mapCells > 0 ? side_ * side_ : 0, CellSum{});
  }

  void Prepare(RowScratch& scratch) const {
    scratch.marks.assign((count_ + 63) / 64, 0);
    scratch.rank.assign(count_, 0);
    // Room for the four positions written ahead of the count per word.
    scratch.order.assign(count_ + 64, 0);
    scratch.lags.assign(count_, PairLag{});
    scratch.places.assign(count_, PairPlace{});
  }

  void Block(std::size_t first, std::size_t last, BlockSums& sums, RowScratch& scratch) const {
    for (std::size_t i = first; i < last; ++i) {
      const std::size_t lagCount = grid_.Later(i, squaredReach_, scratch.lags);
      std::size_t lowWord = scratch.marks.size();
      std::size_t highWord = 0;
      // The map's sums follow the order in which the pairs are found, which
      // depends on the points alone; only the pairs in a sector's class are
      // marked, to be summed in pair order.
      for (std::size_t c = 0; c < lagCount; ++c) {
        PairPlace& place = scratch.places[c];
        Place(scratch.lags[c], place);
        if (spec_.mapCells > 0) AddToMap(place, sums);
        const std::size_t j = scratch.lags[c].later;
        const std::size_t word = j / 64;
        scratch.marks[word] |= static_cast<std::uint64_t>(place.sectors != 0) << (j % 64);
        lowWord = std::min(lowWord, word);
        highWord = std::max(highWord, word);
        scratch.rank[j] = static_cast<std::uint32_t>(c);
      }
      const std::size_t found = Ordered(lowWord, highWord, scratch);
      for (std::size_t k = 0; k < found; ++k) {
        Add(scratch.places[scratch.rank[scratch.order[k]]], sums);
      }
    }
  }

 private:
  // Reads the marked points of words [low, high] into `order`, increasing,
  // and clears them; returns how many. Four positions are written per word
  // whatever it holds (the count then keeps only the real ones): the pairs of
  // a row are sparse among the points, and a branch per bit would mostly
  // guess wrong.
  static std::size_t Ordered(std::size_t low, std::size_t high, RowScratch& scratch) {
    std::size_t found = 0;
    std::uint32_t* order = scratch.order.data();
    for (std::size_t word = low; word <= high && low < scratch.marks.size(); ++word) {
      std::uint64_t bits = scratch.marks[word];
      scratch.marks[word] = 0;
      const auto base = static_cast<std::uint32_t>(word * 64);
      const auto count = static_cast<std::size_t>(std::popcount(bits));
      for (std::size_t b = 0; b < 4; ++b) {
        order[found + b] = base + static_cast<std::uint32_t>(std::countr_zero(bits));
        bits &= bits - 1;
      }
      for (std::size_t b = 4; b < count; ++b) {
        order[found + b] = base + static_cast<std::uint32_t>(std::countr_zero(bits));
        bits &= bits - 1;
      }
      found += count;
    }
    return found;
  }

  // The class and sector arithmetic of the one-direction run, and the map
  // cells.
  // Fields written one by one: a copy of the whole would be read back
  // from the stack in pieces of other sizes, which stalls.
  void Place(const PairLag& lag, PairPlace& place) const {
    const double dx = lag.dx;
    const double dy = lag.dy;
    place.half = 0.5 * (lag.dz * lag.dz);
    const double squared = dx * dx + dy * dy;
    const double d = std::sqrt(squared);
    place.d = d;
    const double position = d / spec_.lagDistance + kClassOffset;
    // Bitwise tests and selects: which way they go is random.
    const bool inClass = (position >= 1.0) & (position < beyondLast_);
    place.slot = static_cast<std::uint32_t>(static_cast<std::int64_t>(inClass ? position : 0.0));
    std::uint64_t in = 0;
    for (std::size_t s = 0; s < sectors_.size(); ++s) {
      const Sector& sector = sectors_[s];
      const double along = dy * sector.sinTheta + dx * sector.cosTheta;
      const double along2 = along * along;
      bool inSector = along2 > sector.outside * squared;
      if (inSector & (along2 < sector.inside * squared)) {
        inSector = !(std::fabs(along / d) < sector.cmin);
      }
      in |= static_cast<std::uint64_t>(inSector) << s;
    }
    place.sectors = inClass ? in : 0;
    if (spec_.mapCells > 0) {
      // Beyond the map (or not a number) in the spare border.
      const double edge = mapCells_ + 1.0;
      const double cx = std::min(std::max(-edge, std::floor(dx * perCell_ + 0.5)), edge);
      const double cy = std::min(std::max(-edge, std::floor(dy * perCell_ + 0.5)), edge);
      const auto side = static_cast<std::int64_t>(side_);
      const auto at = [&](double u, double v) {
        return static_cast<std::uint32_t>(static_cast<std::int64_t>(v + edge) * side +
                                          static_cast<std::int64_t>(u + edge));
      };
      place.there = at(cx, cy);
      place.back = at(-cx, -cy);
    }
  }

  // The pair at +(dx, dy) and at -(dx, dy) in the map.
  static void AddToMap(const PairPlace& place, BlockSums& sums) {
    CellSum& there = sums.cells[place.there];
    there.count += 1.0;
    there.semivariance += place.half;
    CellSum& back = sums.cells[place.back];
    back.count += 1.0;
    back.semivariance += place.half;
  }

  // A pair's sums in its class of every sector it lies in, in pair order.
  void Add(const PairPlace& place, BlockSums& sums) const {
    for (std::uint64_t in = place.sectors; in != 0; in &= in - 1) {
      const auto s = static_cast<std::size_t>(std::countr_zero(in));
      ClassSum& sum = sums.classes[ClassSlot(s, place.slot)];
      sum.count += 1.0;
      sum.distance += place.d;
      sum.semivariance += place.half;
    }
  }

  const DirectionSetSpec& spec_;
  std::size_t count_;
  double beyondLast_;
  int mapCells_;
  std::size_t side_;
  double squaredReach_;
  double perCell_;
  std::vector<Sector> sectors_;
  ReachGrid grid_;
};

}  // namespace

DirectionSetSums DirectionSet(std::span<const double> z, std::span<const double> x,
                              std::span<const double> y, const DirectionSetSpec& spec, int threads,
                              const std::function<bool()>& stopRequested,
                              const std::function<void(std::int64_t rows)>& rowsDone) {
  DirectionSetSums out;
  out.statistics = ValueStatisticsOf(z);
  const PairPass pass(z, x, y, spec);
  const std::size_t classes = pass.classes();
  const std::size_t sectors = pass.sectors();
  BlockSums total;
  pass.Prepare(total);

  const std::size_t n = z.size();
  const std::size_t rows = n > 0 ? n - 1 : 0;
  const std::size_t blocks = (rows + kBlockRows - 1) / kBlockRows;
  const int blockThreads = static_cast<int>(
      std::clamp<std::size_t>(blocks, 1, static_cast<std::size_t>(std::max(threads, 1))));
  std::vector<BlockSums> ring(kBlocksPerThread * static_cast<std::size_t>(blockThreads));
  for (BlockSums& sums : ring) pass.Prepare(sums);
  std::vector<RowScratch> scratch(static_cast<std::size_t>(blockThreads));
  for (RowScratch& one : scratch) pass.Prepare(one);
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
  stages.compute = [&](std::size_t slot, int worker) {
    const std::size_t first = blockOfSlot[slot] * kBlockRows;
    pass.Block(first, std::min(rows, first + kBlockRows), ring[slot],
               scratch[static_cast<std::size_t>(worker)]);
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
    for (std::size_t s = 0; s < sectors; ++s) {
      for (std::size_t k = 1; k <= classes; ++k) {
        ClassSum& from = sums.classes[pass.ClassSlot(s, k)];
        if (from.count == 0.0) continue;
        ClassSum& to = total.classes[pass.ClassSlot(s, k)];
        to.count += from.count;
        to.distance += from.distance;
        to.semivariance += from.semivariance;
        from = ClassSum{};
      }
    }
    for (CellSum& from : sums.cells) {  // the spare border too: never read
      if (from.count == 0.0) continue;
      CellSum& to = total.cells[static_cast<std::size_t>(&from - sums.cells.data())];
      to.count += from.count;
      to.semivariance += from.semivariance;
      from = CellSum{};
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
      const ClassSum& sum = total.classes[pass.ClassSlot(s, k + 1)];
      const double count = std::max(sum.count, 1.0);
      sector.pairs[k] = sum.count;
      sector.distance[k] = sum.distance / count;
      sector.semivariance[k] = sum.semivariance / count;
      if (sum.count > 0.0) sector.classCount = static_cast<int>(k) + 1;
    }
    sector.pairs.resize(static_cast<std::size_t>(sector.classCount));
    sector.semivariance.resize(static_cast<std::size_t>(sector.classCount));
    sector.distance.resize(static_cast<std::size_t>(sector.classCount));
  }
  const auto m = static_cast<std::size_t>(std::max(spec.mapCells, 0));
  const std::size_t side = 2 * m + 1;
  out.mapPairs.assign(spec.mapCells > 0 ? side * side : 0, 0.0);
  out.mapSemivariance.assign(out.mapPairs.size(), 0.0);
  for (std::size_t c = 0; c < out.mapPairs.size(); ++c) {
    const CellSum& sum = total.cells[pass.CellSlot(c % side, c / side)];
    out.mapPairs[c] = sum.count;
    out.mapSemivariance[c] = sum.count > 0.0 ? sum.semivariance / sum.count : 0.0;
  }
  return out;
}

}  // namespace mornax
