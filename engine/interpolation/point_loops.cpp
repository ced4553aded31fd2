#include "interpolation/point_loops.h"

#include <array>
#include <span>
#include <string>

#include "interpolation/level_list.h"
#include "io/fortran_format.h"

namespace mornax {
namespace {

bool CounterDue(int number, int last, int interval) {
  return number == last || (interval > 0 && number % interval == 0);
}

// Replaces the last progress line with "(1x,a,I4)" of the text and number.
void ShowCounter(const RunEnv& env, std::string_view text, int number, std::string& buffer) {
  static const io::FortranFormat kCounter("(1x,a,I4)");
  const io::FortranValue values[] = {io::FortranValue(text),
                                     io::FortranValue(static_cast<std::int64_t>(number))};
  buffer.clear();
  kCounter.Render(values, buffer);
  buffer.erase(buffer.find_last_not_of(" \n") + 1);
  env.Progress(1, buffer);
}

}  // namespace

LoopEnd RunErrorAnalysis(const RunEnv& env, io::RecordFile& lst, const DataSet& data,
                         const ErrorAnalysisSetup& setup, EstimateWorkspace& workspace) {
  ErrorStatistics statistics;
  std::string counter;
  const bool withGuess = !data.guess.empty();
  for (int i = 0; i < data.count; ++i) {
    if (env.Cancelled()) return LoopEnd::kCancelled;
    const int number = i + 1;
    if (CounterDue(number, data.count, setup.counterInterval)) {
      ShowCounter(env, setup.counterText, number, counter);
    }
    EstimationPoint point;
    point.x = data.x[i];
    point.y = data.y[i];
    point.guess = withGuess ? data.guess[i] : 0.0;
    point.excluded = i;
    point.number = number;
    const PointEstimate estimate = setup.estimate(point, workspace);
    if (estimate.failure != 0) {
      if (setup.reportFailure) setup.reportFailure(estimate);
      return LoopEnd::kFailed;
    }
    const ErrorTerm term = setup.writeRow(i, estimate);
    if (term.counted) statistics.Add(term);
  }
  if (statistics.count() > 0) statistics.Report(env, lst, *setup.statistics);
  return LoopEnd::kCompleted;
}

InterpolationEnd RunInterpolation(const RunEnv& env, RunFiles& files, const DataSet& data,
                                  const InterpolationSetup& setup, EstimateWorkspace& workspace) {
  static const io::FortranFormat kLevRecord("(F15.5)");
  static const io::FortranFormat kWlRecord("(3F15.5)");

  std::int32_t networkCount = 0;
  int status = files.data.ReadInteger(networkCount);
  if (status == io::kReadOk && networkCount < 0) status = io::kReadFormatError;
  // A count that is missing at the end of the file leaves no network.
  if (status > 0) return {LoopEnd::kFailed, status};
  if (status < 0) networkCount = 0;
  if (networkCount > 0) {
    setup.writeDatHeader(files.dat, networkCount);
    WriteLevelList(files.lev, data.zmin, data.zmax);
  }
  env.Progress(2, "");

  std::array<double, 3> values{};
  const std::span<double> wanted(values.data(), setup.networkValues == 3 ? 3 : 2);
  std::string counter;
  for (int number = 1; number <= networkCount; ++number) {
    if (env.Cancelled()) return {LoopEnd::kCancelled, 0};
    const int read = files.data.ReadReals(wanted);
    if (read != io::kReadOk) return {LoopEnd::kFailed, read};
    if (CounterDue(number, networkCount, setup.counterInterval)) {
      ShowCounter(env, setup.counterText, number, counter);
    }
    EstimationPoint point;
    point.x = values[0];
    point.y = values[1];
    point.guess = wanted.size() == 3 ? values[2] : 0.0;
    point.number = number;
    const PointEstimate estimate = setup.estimate(point, workspace);
    if (estimate.failure != 0) {
      if (setup.reportFailure) setup.reportFailure(estimate);
      return {LoopEnd::kFailed, 0};
    }
    setup.writeDatRecord(files.dat, point, estimate);
    files.lev.Write(kLevRecord, estimate.value);
    files.wl.Write(kWlRecord, point.x, point.y, estimate.value);
  }
  return {LoopEnd::kCompleted, status};
}

}  // namespace mornax
