// The data set of a run: the measured points read from the data file into
// the run's point arrays, their value range, the merging of points that share
// their coordinates, and the logarithms of their values. Every task reads its
// points here.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "core/run_env.h"
#include "core/work_arrays.h"
#include "io/free_reader.h"

namespace mornax {

// A view of the run's point arrays. The spans cover the arrays' whole
// capacity; only the first `count` entries are data points (0-based, file
// order). Estimators read it and never change it.
struct DataSet {
  std::span<double> x, y, z;
  std::span<double> guess;  // the fourth number of each line, when the run reads it
  int count = 0;
  double zmin = 0.0;  // taken right after reading (before any merging)
  double zmax = 0.0;
  // With logValues: the first point (1-based) whose value had no logarithm,
  // else 0. Its stored value is then -infinity or not a number.
  int firstWithoutLogarithm = 0;
};

struct DataReadOptions {
  // Every data line carries a fourth number, stored in the fifth point array.
  bool readGuess = false;
  // Each value is replaced by its natural logarithm as it is read.
  bool logValues = false;
  // Every data line carries a fourth number, and the value is the absolute
  // difference of the third and the fourth (the fourth is not kept).
  bool subtract = false;
  // A negative point count is reported as "no data points" rather than as a
  // malformed count (the semivariogram's wording).
  bool negativeCountIsEmpty = false;
  // The data file's name in messages (empty: the project's BASE.dfl).
  std::string fileName{};
};

// Reads the data section of the opened data file: skips the title line, reads
// N and N points into `points`, and takes zmin and zmax. Any failure (a
// malformed number, the end of the file, no points, more points than the
// arrays hold) is shown to the user and false is returned; the data set is
// then not to be used.
bool ReadDataPoints(const RunEnv& env, io::FreeFormReader& reader, PointArrays& points,
                    const DataReadOptions& options, DataSet& data);

// Reads the network count M after the data points: a negative count is a
// malformed one, and a count missing at the end of the file leaves no network
// (M 0 with the end-of-file status). Returns the read status; `detail` says
// where a failed read stopped.
int ReadNetworkCount(io::FreeFormReader& reader, std::int32_t& count, std::string& detail);

// Told of each merged pair: the 1-based places of the kept and the removed
// point as they stand when the pair is met.
using MergeReport = std::function<void(int kept, int removed)>;

// Merges every later point whose x and y equal those of an earlier point into
// that point: `report` is told of each pair (in the order a pairwise scan
// meets them), the earlier value becomes the mean of the two, and the later
// point (with its guess) is removed. zmin and zmax keep their values.
// `origin`, when given (one entry per point), is compacted with the points,
// so that it tells each remaining point's place before the merge.
void MergeCoincidentPoints(DataSet& data, const MergeReport& report,
                           std::span<std::int32_t> origin = {});

// The estimators' merge: one message box " Duplicate points : i,j" per pair.
void MergeCoincidentPoints(const RunEnv& env, DataSet& data, std::span<std::int32_t> origin = {});

// Whether a value has a (real, finite) natural logarithm.
constexpr bool HasLogarithm(double value) {
  return value > 0.0;
}

// The first place (1-based) whose value has no logarithm, else 0.
int FirstWithoutLogarithm(std::span<const double> values);

// Replaces each value by its natural logarithm.
void TakeLogarithms(std::span<double> values);

}  // namespace mornax
