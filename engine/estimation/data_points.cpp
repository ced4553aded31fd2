#include "estimation/data_points.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "core/value_bounds.h"
#include "io/format_line.h"
#include "io/fortran_format.h"

namespace mornax {
namespace {

std::size_t PointCapacity(const PointArrays& points, bool withGuess) {
  std::size_t capacity = std::min({points.x.size(), points.y.size(), points.value.size()});
  if (withGuess) capacity = std::min(capacity, points.fifth.size());
  return capacity;
}

// Counts the points still present before and at each place, so that the
// current (1-based) index of an original point is known while points are
// being removed.
class PresentCounter {
 public:
  explicit PresentCounter(std::size_t n) : tree_(n + 1, 0) {
    for (std::size_t i = 1; i <= n; ++i) {
      tree_[i] += 1;
      const std::size_t parent = i + (i & (~i + 1));
      if (parent <= n) tree_[parent] += tree_[i];
    }
  }
  // Number of present points among the original places 0..place.
  int CountUpTo(std::size_t place) const {
    int sum = 0;
    for (std::size_t i = place + 1; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }
  void Remove(std::size_t place) {
    for (std::size_t i = place + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] -= 1;
  }

 private:
  std::vector<int> tree_;
};

}  // namespace

bool ReadDataPoints(const RunEnv& env, io::FreeFormReader& reader, PointArrays& points,
                    const DataReadOptions& options, DataSet& data) {
  static const io::FortranFormat kCapacity("(1x,a,i8,a)");
  const std::string dataFile = options.fileName.empty() ? env.File(".dfl") : options.fileName;

  std::int32_t count = 0;
  int status = reader.SkipLine();
  std::string detail;
  if (status != io::kReadOk) {
    detail = reader.FailureDetail({"title"});
  } else {
    status = reader.ReadInteger(count);
    if (status != io::kReadOk) detail = reader.FailureDetail({"count"});
  }
  if (status == io::kReadOk && count < 0 && !options.negativeCountIsEmpty) {
    status = io::kReadFormatError;
    detail = ", line " + std::to_string(reader.lineNumber()) + ": count expected";
  }
  if (status != io::kReadOk) {
    env.InputError(status, dataFile, detail);
    return false;
  }
  if (count <= 0) {
    env.Error(api::MessageCode::kNoDataPoints, "No Data Points in input file : " + dataFile);
    return false;
  }
  const std::size_t capacity = PointCapacity(points, options.readGuess);
  if (static_cast<std::size_t>(count) > capacity) {
    env.Error(api::MessageCode::kTooManyPoints,
              FormatLine(kCapacity, "Maximum of ", static_cast<std::int64_t>(capacity),
                         " points exceeded "));
    return false;
  }

  std::array<double, 4> record{};
  const bool fourth = options.readGuess || options.subtract;
  const std::span<double> wanted(record.data(), fourth ? 4 : 3);
  const char* fourthName = options.subtract ? "value to subtract" : "guess";
  int firstWithoutLogarithm = 0;
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
    status = reader.ReadReals(wanted);
    if (status != io::kReadOk) {
      env.InputError(status, dataFile, reader.FailureDetail({"x", "y", "value", fourthName}));
      return false;
    }
    for (const double value : wanted) {
      if (!UsableValue(value)) {
        env.Error(api::MessageCode::kValueOutOfRange,
                  UnusableValueMessage("data point", static_cast<long long>(i + 1), dataFile));
        return false;
      }
    }
    points.x[i] = record[0];
    points.y[i] = record[1];
    const double value = options.subtract ? std::fabs(record[2] - record[3]) : record[2];
    if (options.logValues && !HasLogarithm(value) && firstWithoutLogarithm == 0) {
      firstWithoutLogarithm = static_cast<int>(i + 1);
    }
    points.value[i] = options.logValues ? std::log(value) : value;
    if (options.readGuess) points.fifth[i] = record[3];
  }

  data.x = std::span<double>(points.x.data);
  data.y = std::span<double>(points.y.data);
  data.z = std::span<double>(points.value.data);
  data.guess = options.readGuess ? std::span<double>(points.fifth.data) : std::span<double>();
  data.count = count;
  data.firstWithoutLogarithm = firstWithoutLogarithm;
  data.zmin = data.z[0];
  data.zmax = data.z[0];
  for (int i = 1; i < count; ++i) {
    if (data.z[i] > data.zmax) data.zmax = data.z[i];
    if (data.z[i] < data.zmin) data.zmin = data.z[i];
  }
  return true;
}

int ReadNetworkCount(io::FreeFormReader& reader, std::int32_t& count, std::string& detail) {
  count = 0;
  int status = reader.ReadInteger(count);
  if (status != io::kReadOk) detail = reader.FailureDetail({"network count"});
  if (status == io::kReadOk && count < 0) {
    status = io::kReadFormatError;
    detail = ", line " + std::to_string(reader.lineNumber()) + ": network count expected";
  }
  if (status < 0) count = 0;
  return status;
}

// The pairwise scan (every later point against each point, removing as it
// goes) costs O(N^2); grouping equal coordinates by sorting gives the same
// merges, in the same order, with the same indices in the messages.
void MergeCoincidentPoints(DataSet& data, const MergeReport& report,
                           std::span<std::int32_t> origin) {
  const auto n = static_cast<std::size_t>(std::max(data.count, 0));
  if (n < 2) return;

  // Original places ordered by coordinates, file order within equal ones.
  // A coordinate that is not a number equals nothing and takes no part.
  std::vector<std::uint32_t> order;
  order.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (!std::isnan(data.x[i]) && !std::isnan(data.y[i])) {
      order.push_back(static_cast<std::uint32_t>(i));
    }
  }
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    if (data.x[a] != data.x[b]) return data.x[a] < data.x[b];
    if (data.y[a] != data.y[b]) return data.y[a] < data.y[b];
    return a < b;
  });

  // nextInGroup[p]: the next later place with the same coordinates as p.
  constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  std::vector<std::uint32_t> nextInGroup(n, kNone);
  std::vector<bool> isLater(n, false);
  bool anyDuplicate = false;
  for (std::size_t k = 1; k < order.size(); ++k) {
    const std::uint32_t a = order[k - 1];
    const std::uint32_t b = order[k];
    if (data.x[a] == data.x[b] && data.y[a] == data.y[b]) {
      nextInGroup[a] = b;
      isLater[b] = true;
      anyDuplicate = true;
    }
  }
  if (!anyDuplicate) return;

  // Each group is met at its first point, its later points in file order;
  // points of earlier groups are gone by then, which the counter reflects.
  PresentCounter present(n);
  std::vector<bool> removed(n, false);
  for (std::size_t first = 0; first < n; ++first) {
    if (isLater[first]) continue;
    for (std::uint32_t later = nextInGroup[first]; later != kNone; later = nextInGroup[later]) {
      const int i = present.CountUpTo(first);
      const int j = present.CountUpTo(later);
      report(i, j);
      data.z[first] = (data.z[first] + data.z[later]) * 0.5;
      present.Remove(later);
      removed[later] = true;
    }
  }

  const bool withGuess = !data.guess.empty();
  std::size_t kept = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (removed[i]) continue;
    data.x[kept] = data.x[i];
    data.y[kept] = data.y[i];
    data.z[kept] = data.z[i];
    if (withGuess) data.guess[kept] = data.guess[i];
    if (!origin.empty()) origin[kept] = origin[i];
    ++kept;
  }
  data.count = static_cast<int>(kept);
}

void MergeCoincidentPoints(const RunEnv& env, DataSet& data, std::span<std::int32_t> origin) {
  static const io::FortranFormat kDuplicate("(1x,a,i4,a1,i4)");
  MergeCoincidentPoints(
      data,
      [&env](int kept, int removed) {
        env.Error(api::MessageCode::kDuplicatePoints,
                  FormatLine(kDuplicate, " Duplicate points : ", kept, ",", removed));
      },
      origin);
}

int FirstWithoutLogarithm(std::span<const double> values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!HasLogarithm(values[i])) return static_cast<int>(i + 1);
  }
  return 0;
}

void TakeLogarithms(std::span<double> values) {
  for (double& value : values) value = std::log(value);
}

}  // namespace mornax
