// The data set of an interpolation run: the measured points read from the
// data file into the run's point arrays, their value range, and the merging
// of points that share their coordinates.
#pragma once

#include <span>

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
};

struct DataReadOptions {
  // Every data line carries a fourth number, stored in the fifth point array.
  bool readGuess = false;
  // Each value is replaced by its natural logarithm as it is read.
  bool logValues = false;
};

// Reads the data section of the opened data file: skips the title line, reads
// N and N points into `points`, and takes zmin and zmax. Any failure (a
// malformed number, the end of the file, no points, more points than the
// arrays hold) is shown to the user and false is returned; the data set is
// then not to be used.
bool ReadDataPoints(const RunEnv& env, io::FreeFormReader& reader, PointArrays& points,
                    const DataReadOptions& options, DataSet& data);

// Merges every later point whose x and y equal those of an earlier point into
// that point: one message box " Duplicate points : i,j" per pair (indices as
// they stand when the pair is met), the earlier value becomes the mean of the
// two, and the later point (with its guess) is removed. zmin and zmax keep
// their values.
void MergeCoincidentPoints(const RunEnv& env, DataSet& data);

}  // namespace mornax
