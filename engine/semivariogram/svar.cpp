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

#include "driver/value_bounds.h"
#include "io/free_reader.h"
#include "io/record_file.h"
#include "semivariogram/format_line.h"
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

std::size_t PointCapacity(const PointArrays& points) {
  return std::min({points.x.size(), points.y.size(), points.value.size()});
}

std::size_t LagCapacity(const LagArrays& lags) {
  return std::min({lags.lag1.size(), lags.lag2.size(), lags.lag3.size()});
}

// Reads the point count and the point records. Returns the number of points
// read, or -1 after the failure has been reported.
int ReadPoints(const RunEnv& env, io::FreeFormReader& dfl, const SvarCopy& svar,
               PointArrays& points) {
  static const io::FortranFormat kCapacity("(1x,a,i8,a)");
  const std::string dataFile = env.File(".dfl");

  std::int32_t count = 0;
  int status = dfl.SkipLine();
  if (status != io::kReadOk) {
    env.InputError(status, dataFile, dfl.FailureDetail({"title"}));
    return -1;
  }
  status = dfl.ReadInteger(count);
  if (status != io::kReadOk) {
    env.InputError(status, dataFile, dfl.FailureDetail({"count"}));
    return -1;
  }
  if (count <= 0) {
    env.Error("No Data Points in input file : " + dataFile);
    return -1;
  }
  const std::size_t capacity = PointCapacity(points);
  if (capacity < static_cast<std::size_t>(count)) {
    env.Error(FormatLine(kCapacity, "Maximum of ", static_cast<long long>(capacity),
                         " points exceeded "));
    return -1;
  }

  // With the subtract option each record carries a fourth number, and the
  // value is the absolute difference of the third and the fourth.
  const bool subtract = svar.subtract == 1;
  std::array<double, 4> record{};
  const std::span<double> wanted(record.data(), subtract ? 4 : 3);
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
    status = dfl.ReadReals(wanted);
    if (status != io::kReadOk) {
      env.InputError(status, dataFile, dfl.FailureDetail({"x", "y", "value", "value to subtract"}));
      return -1;
    }
    for (const double value : wanted) {
      if (!UsableValue(value)) {
        env.Error(UnusableValueMessage("data point", static_cast<long long>(i + 1), dataFile));
        return -1;
      }
    }
    points.x[i] = record[0];
    points.y[i] = record[1];
    points.value[i] = subtract ? std::fabs(record[2] - record[3]) : record[2];
  }
  return count;
}

// True when two of the first n points have equal coordinates; sorting finds
// that in O(n log n), so the pairwise merge below runs only when needed.
bool AnyCoincidentPoints(const PointArrays& points, std::size_t n) {
  std::vector<std::pair<double, double>> sorted;
  sorted.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    // A coordinate that is not a number equals nothing.
    if (!std::isnan(points.x[i]) && !std::isnan(points.y[i])) {
      sorted.emplace_back(points.x[i], points.y[i]);
    }
  }
  std::sort(sorted.begin(), sorted.end());
  return std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end();
}

// Merges points with equal coordinates into the first of them (the mean of
// the two values) and returns the number of points left.
int MergeCoincidentPoints(const RunEnv& env, PointArrays& points, int count) {
  static const io::FortranFormat kCoincide("(A,i5,A,i5)");
  auto& x = points.x;
  auto& y = points.y;
  auto& z = points.value;
  auto n = static_cast<std::size_t>(count);
  if (!AnyCoincidentPoints(points, n)) return count;
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t j = i + 1;
    while (j < n) {
      if (x[j] != x[i] || y[j] != y[i]) {
        ++j;
        continue;
      }
      env.Progress(kListReplaceLast, TrimTrailingBlanks(FormatLine(kCoincide, "Value ", i + 1,
                                                                   " coincides value ", j + 1)));
      z[i] = (z[j] + z[i]) * 0.5;
      // Point j goes; i is next compared with the point moved into place j.
      for (std::size_t k = j + 1; k < n; ++k) {
        x[k - 1] = x[k];
        y[k - 1] = y[k];
        z[k - 1] = z[k];
      }
      --n;
    }
  }
  return static_cast<int>(n);
}

// Replaces the values by their natural logarithms. A value that is 0 or
// negative has none: reported, and false is returned with nothing changed.
bool LogTransform(const RunEnv& env, PointArrays& points, int count) {
  const auto n = static_cast<std::size_t>(count);
  for (std::size_t k = 0; k < n; ++k) {
    if (!(points.value[k] > 0.0)) {
      env.Error("Logtransform not possible, value <= 0 at data point X = " +
                NumberText(points.x[k]) + " Y = " + NumberText(points.y[k]));
      return false;
    }
  }
  for (std::size_t k = 0; k < n; ++k) points.value[k] = std::log(points.value[k]);
  return true;
}

bool NoPairInAnyClass(const LagArrays& lags, int nlags) {
  for (std::size_t k = 0; k < static_cast<std::size_t>(nlags); ++k) {
    if (lags.lag1[k] > 0.0) return false;
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

  int count = ReadPoints(env, dfl, svar, points);
  dfl.Close();
  if (count < 0) return;

  env.Progress(kListAppend, "");
  count = MergeCoincidentPoints(env, points, count);
  if (svar.logTransform != 0 && !LogTransform(env, points, count)) return;
  env.Progress(kListReplaceLast, " Computing Semi-variogram ");

  const auto n = static_cast<std::size_t>(count);
  int nlags = svar.lagCount;
  const ValueStatistics stats = Gama3(std::span<const double>(points.value.data).first(n),
                                      std::span<const double>(points.x.data).first(n),
                                      std::span<const double>(points.y.data).first(n), nlags,
                                      svar.lagDistance, svar.direction, svar.tolerance, lags,
                                      env.options().threads, [&env] { return env.Cancelled(); });
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
