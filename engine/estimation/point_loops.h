// The two point loops of every interpolation run, with files: the error
// analysis, which re-estimates each data point from the others into the .lst
// file, and the interpolation, which estimates each network point of the data
// file into .dat, .lev and .wl. A method supplies its estimator, its texts and
// its record writers; the loops themselves are those of point_stream.h.
//
// A method's run routine composes the building blocks:
//   RunFiles::Open -> ReadDataPoints -> [MergeCoincidentPoints] ->
//   [its own preparation] -> one empty progress line ->
//   RunErrorAnalysis or RunInterpolation -> FinishRun.
//
// Everything the user sees happens in point order, as with one thread: the
// Cancel poll, the counter, the messages an estimate gave, the records and
// the sums. A stop leaves the files as the sequential loop leaves them.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

#include "core/run_env.h"
#include "estimation/data_points.h"
#include "estimation/error_statistics.h"
#include "estimation/neighbours.h"
#include "estimation/point_stream.h"
#include "estimation/run_files.h"
#include "io/record_file.h"

namespace mornax {

// Written for an estimate that means nothing (its system is singular): too
// wide for every field, so the records show asterisks.
inline constexpr double kUnprintableValue = std::numeric_limits<double>::max();

// The progress line "(1x,a,I4)" of a point counter: the text and the number,
// which widens beyond 9999 instead of filling its field with asterisks;
// trailing blanks removed.
std::string CounterLine(std::string_view text, std::int64_t number);

struct ErrorAnalysisSetup {
  // Progress line "(1x,a,I4)" with this text and the point number, in mode 1,
  // at every `counterInterval`-th point and the last.
  std::string_view counterText;
  int counterInterval = 10;
  const StatisticsLayout* statistics = nullptr;
  Estimator estimate;
  // Writes the .lst row of data point i (0-based) and returns its error (an
  // error that is not `counted` stays out of the statistics).
  std::function<ErrorTerm(int i, const PointEstimate&)> writeRow;
  // Shows the message of a failed estimate (optional).
  std::function<void(const PointEstimate&)> reportFailure;
};

// For each data point: poll Cancel, the counter, estimate with the point
// excluded, the row, the sums; then the statistics block and the RMSE line.
// The table header is the caller's. Cancel or a failure ends the loop with no
// statistics. Needs data.count > 0. The result counts the rows written.
RunEnd RunErrorAnalysis(const RunEnv& env, io::RecordFile& lst, const DataSet& data,
                        const ErrorAnalysisSetup& setup, EstimateWorkspace& workspace);

struct InterpolationSetup {
  // Progress line "(1x,a,i4)" with this text and the point number, in mode 1,
  // at every `counterInterval`-th point and the last.
  std::string_view counterText;
  int counterInterval = 25;
  int networkValues = 2;  // numbers read per network line: x, y [, guess]
  // The empty progress line comes before the network count is read (and so
  // appears even when that read fails), instead of after the level list.
  bool progressLineFirst = false;
  Estimator estimate;
  // The .dat header, written when the network count M is positive.
  std::function<void(io::RecordFile& dat, std::int32_t networkCount)> writeDatHeader;
  // The .dat record of one point; .lev and .wl records are common (a
  // singular estimate is written as asterisks there).
  std::function<void(io::RecordFile& dat, const EstimationPoint&, const PointEstimate&)>
      writeDatRecord;
  std::function<void(const PointEstimate&)> reportFailure;  // optional
};

// Reads M; when M > 0 writes the .dat header and the level list (from
// data.zmin, data.zmax); appends an empty progress line; then for each
// network point: poll Cancel, read it, the counter, estimate with nothing
// excluded, and write .dat, .lev, .wl in that order. A point that cannot be
// read ends the loop (the points before it stay written in all three files)
// and its status and place are returned for FinishRun, with the number of
// points written.
RunEnd RunInterpolation(const RunEnv& env, RunFiles& files, const DataSet& data,
                        const InterpolationSetup& setup, EstimateWorkspace& workspace);

}  // namespace mornax
