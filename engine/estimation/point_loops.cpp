#include "estimation/point_loops.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>

#include "core/value_bounds.h"
#include "estimation/level_list.h"
#include "io/fortran_format.h"

namespace mornax {
namespace {

// Records handed from the network loop to the files at a time.
constexpr std::size_t kRecordBlock = 256;

// Counter values up to this fit the I4 field.
constexpr std::int64_t kWidestFieldCounter = 9999;

bool CounterDue(std::int64_t number, std::int64_t last, int interval) {
  return number == last || (interval > 0 && number % interval == 0);
}

// Replaces the last progress line with the counter of the text and number.
void ShowCounter(const RunEnv& env, std::string_view text, std::int64_t number) {
  env.Progress(kListReplaceLast, CounterLine(text, number));
}

}  // namespace

std::string CounterLine(std::string_view text, std::int64_t number) {
  std::string line;
  if (number <= kWidestFieldCounter && number >= -999) {
    static const io::FortranFormat kCounter("(1x,a,I4)");
    const io::FortranValue values[] = {io::FortranValue(text), io::FortranValue(number)};
    kCounter.Render(values, line);
  } else {
    line.assign(1, ' ');
    line.append(text);
    line.append(std::to_string(number));
  }
  line.erase(line.find_last_not_of(" \n") + 1);
  return line;
}

RunEnd RunErrorAnalysis(const RunEnv& env, io::RecordFile& lst, const DataSet& data,
                        const ErrorAnalysisSetup& setup, EstimateWorkspace& workspace) {
  AnalysisSetup loop;
  loop.estimate = setup.estimate;
  loop.beforePoint = [&](int i) {
    if (CounterDue(i + 1, data.count, setup.counterInterval)) {
      ShowCounter(env, setup.counterText, i + 1);
    }
  };
  loop.accept = setup.writeRow;
  const AnalysisEnd end = AnalyseDataPoints(env, data, loop, workspace);
  if (end.end == LoopEnd::kFailed && setup.reportFailure) setup.reportFailure(end.failure);
  bool statisticsNonFinite = false;
  if (end.end == LoopEnd::kCompleted && end.statistics.count() > 0) {
    end.statistics.Report(env, lst, *setup.statistics);
    statisticsNonFinite = !end.statistics.AllFinite(*setup.statistics);
  }
  ReportNonFinite(env, end.nonFinite, statisticsNonFinite);
  return RunEnd{end.end, 0, {}, end.written};
}

RunEnd RunInterpolation(const RunEnv& env, RunFiles& files, const DataSet& data,
                        const InterpolationSetup& setup, EstimateWorkspace& workspace) {
  static const io::FortranFormat kLevRecord("(F15.5)");
  static const io::FortranFormat kWlRecord("(3F15.5)");

  if (setup.progressLineFirst) env.Progress(kListAppend, "");
  std::int32_t networkCount = 0;
  std::string countDetail;
  const int status = ReadNetworkCount(files.data, networkCount, countDetail);
  if (status > 0) return {LoopEnd::kFailed, status, countDetail, 0};
  if (networkCount > 0) {
    setup.writeDatHeader(files.dat, networkCount);
    WriteLevelList(files.lev, data.zmin, data.zmax);
  }
  if (!setup.progressLineFirst) env.Progress(kListAppend, "");

  const std::size_t valuesPerLine = setup.networkValues == 3 ? 3 : 2;
  int readStatus = io::kReadOk;
  const NodeReader read = [&](EstimationPoint& point) {
    std::array<double, 3> values{};
    readStatus = files.data.ReadReals(std::span<double>(values.data(), valuesPerLine));
    if (readStatus != io::kReadOk) return NodeRead::kFailed;
    point.x = values[0];
    point.y = values[1];
    point.guess = values[2];
    return NodeRead::kNode;
  };
  NetworkSetup loop;
  loop.estimate = setup.estimate;
  loop.readsGuess = valuesPerLine == 3;
  loop.total = networkCount;
  loop.blockSize = kRecordBlock;
  loop.beforeNode = [&](const EstimationPoint& point) {
    if (CounterDue(point.number, networkCount, setup.counterInterval)) {
      ShowCounter(env, setup.counterText, point.number);
    }
  };
  loop.deliver = [&](std::span<const NodeEstimate> nodes) {
    for (const NodeEstimate& node : nodes) {
      const double value = node.estimate.singular ? kUnprintableValue : node.estimate.value;
      setup.writeDatRecord(files.dat, node.point, node.estimate);
      files.lev.Write(kLevRecord, value);
      files.wl.Write(kWlRecord, node.point.x, node.point.y, value);
    }
    return true;
  };
  const NetworkOutcome outcome = EstimateNetwork(env, data, read, loop, workspace);

  RunEnd end{LoopEnd::kCompleted, status, countDetail, outcome.delivered};
  switch (outcome.end) {
    case NetworkEnd::kCompleted:
    case NetworkEnd::kRefused:  // the files take every block
      break;
    case NetworkEnd::kCancelled:
      end = RunEnd{LoopEnd::kCancelled, 0, {}, outcome.delivered};
      break;
    case NetworkEnd::kFailed:
      if (setup.reportFailure) setup.reportFailure(outcome.failure);
      end = RunEnd{LoopEnd::kFailed, 0, {}, outcome.delivered};
      break;
    case NetworkEnd::kUnreadable:
      end = RunEnd{LoopEnd::kFailed, readStatus, files.data.FailureDetail({"x", "y", "guess"}),
                   outcome.delivered};
      break;
    case NetworkEnd::kUnusable:
      env.Error(api::MessageCode::kValueOutOfRange,
                UnusableValueMessage("network point", outcome.at, env.File(".dfl")));
      end = RunEnd{LoopEnd::kFailed, 0, {}, outcome.delivered};
      break;
  }
  ReportNonFinite(env, outcome.nonFinite, false);
  return end;
}

}  // namespace mornax
