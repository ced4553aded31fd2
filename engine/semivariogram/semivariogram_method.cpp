#include "semivariogram/semivariogram_method.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <span>
#include <string>

#include "core/progress_counter.h"
#include "io/format_line.h"
#include "io/fortran_format.h"

namespace mornax {
namespace {

using api::MessageCode;

// Shortest text that reads back as the same double (for messages).
std::string NumberText(double value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

// Reports a merge of coincident points on the progress list.
void ReportCoincidence(const RunEnv& env, int kept, int removed) {
  static const io::FortranFormat kCoincide("(A,i5,A,i5)");
  env.Progress(kListReplaceLast, TrimTrailingBlanks(FormatLine(kCoincide, "Value ", kept,
                                                               " coincides value ", removed)));
}

// Replaces the values by their natural logarithms. A value that is 0 or
// negative has none: reported, and false is returned with nothing changed.
bool LogTransform(const RunEnv& env, DataSet& data) {
  const auto n = static_cast<std::size_t>(data.count);
  if (const int point = FirstWithoutLogarithm(data.z.first(n)); point != 0) {
    const auto k = static_cast<std::size_t>(point - 1);
    env.Error(MessageCode::kNoLogarithm,
              "Logtransform not possible, value <= 0 at data point X = " + NumberText(data.x[k]) +
                  " Y = " + NumberText(data.y[k]));
    return false;
  }
  TakeLogarithms(data.z.first(n));
  return true;
}

bool NoPairInAnyClass(const LagArrays& lags, int classCount) {
  const auto& pairCount = lags.lag1;
  for (std::size_t k = 0; k < static_cast<std::size_t>(classCount); ++k) {
    if (pairCount[k] > 0.0) return false;
  }
  return true;
}

}  // namespace

bool PrepareSemivariogramData(const RunEnv& env, DataSet& data, bool logTransform) {
  env.Progress(kListAppend, "");
  MergeCoincidentPoints(data,
                        [&env](int kept, int removed) { ReportCoincidence(env, kept, removed); });
  if (logTransform && !LogTransform(env, data)) return false;
  env.Progress(kListReplaceLast, " Computing Semi-variogram ");
  return true;
}

bool ComputeSemivariogram(const RunEnv& env, DataSet& data, const api::SemivariogramParameters& p,
                          LagArrays& lags, SemivariogramRun& run) {
  if (!PrepareSemivariogramData(env, data, p.logTransform)) return false;

  const auto n = static_cast<std::size_t>(data.count);
  int nlags = p.lagCount;
  ProgressCounter progress(env.messages(), n > 0 ? static_cast<std::int64_t>(n - 1) : 0);
  run.statistics = Gama3(
      std::span<const double>(data.z).first(n), std::span<const double>(data.x).first(n),
      std::span<const double>(data.y).first(n), nlags, p.lagDistance, p.direction, p.tolerance,
      lags, env.options().threads, [&env] { return env.Cancelled(); },
      [&progress](std::int64_t rows) { progress.Advance(rows); });
  if (nlags == 0) {  // stopped: nothing of this run is kept
    run.stopped = true;
    return false;
  }
  progress.Finish(n > 0 ? static_cast<std::int64_t>(n - 1) : 0);
  run.classCount = nlags;
  return true;
}

void ReportSemivariogram(const RunEnv& env, const DataSet& data, const LagArrays& lags,
                         int classCount) {
  static const io::FortranFormat kLagCount("(A,i5)");
  // An empty semivariogram is written as specified (one empty class), but
  // never silently: the cause is named.
  if (data.count < 2) {
    env.Error(MessageCode::kTooFewDistinctPoints,
              "No pair of points: fewer than 2 distinct data points (one point, or all points "
              "at one place)");
  } else if (NoPairInAnyClass(lags, classCount)) {
    env.Error(MessageCode::kEmptySemivariogram,
              "No pair of points fell in any lag class (check direction, tolerance and lag)");
  }
  env.Progress(kListAppend,
               TrimTrailingBlanks(FormatLine(kLagCount, " Number of lags : ", classCount)));
}

}  // namespace mornax
