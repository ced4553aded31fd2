#include "semivariogram/svar.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "estimation/data_points.h"
#include "io/format_line.h"
#include "io/free_reader.h"
#include "io/record_file.h"
#include "semivariogram/gama3.h"
#include "semivariogram/variogram_files.h"

namespace mornax {
namespace {

// Shortest text that reads back as the same double (for messages).
std::string NumberText(double value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

std::size_t LagCapacity(const LagArrays& lags) {
  return std::min({lags.lag1.size(), lags.lag2.size(), lags.lag3.size()});
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
    env.Error("Logtransform not possible, value <= 0 at data point X = " + NumberText(data.x[k]) +
              " Y = " + NumberText(data.y[k]));
    return false;
  }
  TakeLogarithms(data.z.first(n));
  return true;
}

bool NoPairInAnyClass(const LagArrays& lags, int nlags) {
  const auto& pairCount = lags.lag1;
  for (std::size_t k = 0; k < static_cast<std::size_t>(nlags); ++k) {
    if (pairCount[k] > 0.0) return false;
  }
  return true;
}

bool CreateResultFile(const RunEnv& env, io::RecordFile& file, std::string_view extension) {
  if (file.Create(env.Path(extension))) return true;
  env.Error("Cannot create output file : " + env.File(extension));
  return false;
}

}  // namespace

void Svar(const RunEnv& env, const std::string& title, PointArrays& points, LagArrays& lags,
          SvarCopy& svar) {
  static const io::FortranFormat kLagCapacity("(a,i5)");
  static const io::FortranFormat kLagCount("(A,i5)");

  if (svar.lagCount <= 0 || !(svar.lagDistance > 0.0)) {
    env.Error("No Parameters specified");
    return;
  }
  const std::size_t lagCapacity = LagCapacity(lags);
  if (lagCapacity < static_cast<std::size_t>(svar.lagCount)) {
    env.Error(FormatLine(kLagCapacity, "Maximum number of lags is ",
                         static_cast<long long>(lagCapacity)));
    return;
  }

  io::FreeFormReader dfl;
  if (!dfl.Open(env.Path(".dfl"))) {
    env.Error("Cannot open input file : " + env.File(".dfl"));
    return;
  }
  // Both files are written under temporary names and replace the earlier
  // .var and .fit only when both are complete: any failure or a stop before
  // that leaves the earlier pair as it was.
  io::RecordFile var;
  io::RecordFile fit;
  if (!CreateResultFile(env, var, ".var") || !CreateResultFile(env, fit, ".fit")) return;

  // With the subtract option each record carries a fourth number, and the
  // value is the absolute difference of the third and the fourth.
  DataReadOptions options;
  options.subtract = svar.subtract == 1;
  options.negativeCountIsEmpty = true;
  DataSet data;
  const bool read = ReadDataPoints(env, dfl, points, options, data);
  dfl.Close();
  if (!read) return;

  env.Progress(kListAppend, "");
  MergeCoincidentPoints(data,
                        [&env](int kept, int removed) { ReportCoincidence(env, kept, removed); });
  if (svar.logTransform != 0 && !LogTransform(env, data)) return;
  env.Progress(kListReplaceLast, " Computing Semi-variogram ");

  const auto n = static_cast<std::size_t>(data.count);
  int nlags = svar.lagCount;
  const ValueStatistics stats =
      Gama3(std::span<const double>(data.z).first(n), std::span<const double>(data.x).first(n),
            std::span<const double>(data.y).first(n), nlags, svar.lagDistance, svar.direction,
            svar.tolerance, lags, env.options().threads, [&env] { return env.Cancelled(); });
  if (nlags == 0) {  // stopped: nothing of this run is kept
    env.NoteStopped(0);
    return;
  }
  const SectorSettings sector{svar.tolerance, svar.lagDistance, svar.direction};
  WriteVariogramReport(var, title, stats, sector, nlags, lags);
  WriteFitInput(fit, title, nlags, lags);
  var.Close();
  fit.Close();
  if (var.Failed() || fit.Failed() || !var.Commit() || !fit.Commit()) {
    env.Error("Cannot write output file : " + env.File(var.Failed() ? ".var" : ".fit"));
    return;
  }
  svar.lagCount = nlags;

  // An empty semivariogram is written as specified (one empty class), but
  // never silently: the sector or the tolerance let no pair through.
  if (NoPairInAnyClass(lags, nlags)) {
    env.Error("No pair of points fell in any lag class (check direction, tolerance and lag)");
  }
  env.Progress(kListAppend, TrimTrailingBlanks(FormatLine(kLagCount, " Number of lags : ", nlags)));
}

}  // namespace mornax
