#include "arrays/api_call.h"

#include <cmath>
#include <limits>
#include <string>

#include "core/value_bounds.h"
#include "io/format_line.h"
#include "io/fortran_format.h"

namespace mornax::arrays {
namespace {

using api::MessageCode;

// The stop hook is asked again after this much time, the clock read once
// every so many polls.
constexpr auto kStopInterval = std::chrono::milliseconds(20);
constexpr int kPollsPerClockRead = 16;

std::string Lengths(std::string_view what, std::initializer_list<std::size_t> sizes,
                    std::initializer_list<std::string_view> names) {
  std::string text = std::string(what) + " differ in length (";
  auto size = sizes.begin();
  bool first = true;
  for (const std::string_view name : names) {
    if (!first) text += ", ";
    text += std::string(name) + " " + std::to_string(*size++);
    first = false;
  }
  return text + ")";
}

bool Refuse(Call& call, MessageCode code, const std::string& text) {
  call.env().Error(code, text);
  call.End(api::Outcome::kRefused);
  return false;
}

}  // namespace

void CallMessages::Notify(api::MessageCode code, std::string_view text) {
  api::Message message{code, std::string(text)};
  if (hooks_.message) hooks_.message(message);
  report_.messages.push_back(std::move(message));
}

bool CallMessages::PollCancel() {
  if (stopped_) return true;
  if (!hooks_.stop) return false;
  if (asked_ && ++sinceCheck_ < kPollsPerClockRead) return false;
  sinceCheck_ = 0;
  const auto now = std::chrono::steady_clock::now();
  if (asked_ && now - lastAsked_ < kStopInterval) return false;
  asked_ = true;
  lastAsked_ = now;
  stopped_ = hooks_.stop();
  return stopped_;
}

void CallMessages::Count(std::int64_t done, std::int64_t total) {
  if (hooks_.progress) hooks_.progress(done, total);
}

bool CopyPoints(Call& call, const api::Points& points, const CopyOptions& options,
                OwnedPoints& out) {
  static const io::FortranFormat kCapacity("(1x,a,i8,a)");
  const std::size_t n = points.x.size();
  if (n == 0) return Refuse(call, MessageCode::kNoDataPoints, "No Data Points given");
  if (points.y.size() != n || points.value.size() != n) {
    return Refuse(call, MessageCode::kInputMismatch,
                  Lengths("Points: x, y and value", {n, points.y.size(), points.value.size()},
                          {"x", "y", "value"}));
  }
  const bool guess = options.guess || options.subtract;
  if (guess && points.guess.empty()) {
    return Refuse(call, MessageCode::kMissingGuess,
                  options.subtract ? "Points: the value to subtract is missing (guess)"
                                   : "Points: a guess at every data point is needed");
  }
  if (!points.guess.empty() && points.guess.size() != n) {
    return Refuse(call, MessageCode::kInputMismatch,
                  Lengths("Points: value and guess", {n, points.guess.size()}, {"value", "guess"}));
  }
  constexpr auto kMost = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
  if (n > kMost) {
    return Refuse(call, MessageCode::kTooManyPoints,
                  FormatLine(kCapacity, "Maximum of ", static_cast<std::int64_t>(kMost),
                             " points exceeded "));
  }

  out.given = static_cast<std::int64_t>(n);
  out.x.assign(points.x.begin(), points.x.end());
  out.y.assign(points.y.begin(), points.y.end());
  out.z.resize(n);
  out.guess.clear();
  if (options.guess) out.guess.assign(points.guess.begin(), points.guess.end());
  out.origin.resize(n);
  int firstWithoutLogarithm = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const bool usable = UsableValue(points.x[i]) && UsableValue(points.y[i]) &&
                        UsableValue(points.value[i]) && (!guess || UsableValue(points.guess[i]));
    if (!usable) {
      return Refuse(call, MessageCode::kValueOutOfRange,
                    UnusableValueMessage("data point", static_cast<long long>(i + 1), ""));
    }
    const double value =
        options.subtract ? std::fabs(points.value[i] - points.guess[i]) : points.value[i];
    if (options.logValues && !HasLogarithm(value) && firstWithoutLogarithm == 0) {
      firstWithoutLogarithm = static_cast<int>(i + 1);
    }
    out.z[i] = options.logValues ? std::log(value) : value;
    out.origin[i] = static_cast<std::int32_t>(i);
  }

  DataSet& data = out.data;
  data = DataSet{};
  data.x = out.x;
  data.y = out.y;
  data.z = out.z;
  data.guess = out.guess;
  data.count = static_cast<int>(n);
  data.firstWithoutLogarithm = firstWithoutLogarithm;
  data.zmin = data.zmax = out.z[0];
  for (std::size_t i = 1; i < n; ++i) {
    if (out.z[i] > data.zmax) data.zmax = out.z[i];
    if (out.z[i] < data.zmin) data.zmin = out.z[i];
  }
  return true;
}

bool CheckNodes(Call& call, const api::Nodes& nodes, bool guess) {
  const std::size_t n = nodes.x.size();
  if (nodes.y.size() != n) {
    return Refuse(call, MessageCode::kInputMismatch,
                  Lengths("Nodes: x and y", {n, nodes.y.size()}, {"x", "y"}));
  }
  if (guess && nodes.guess.size() != n) {
    if (nodes.guess.empty() && n > 0) {
      return Refuse(call, MessageCode::kMissingGuess, "Nodes: a guess at every node is needed");
    }
    if (!nodes.guess.empty()) {
      return Refuse(call, MessageCode::kInputMismatch,
                    Lengths("Nodes: x and guess", {n, nodes.guess.size()}, {"x", "guess"}));
    }
  }
  return true;
}

void Append(api::Report& report, const api::Report& later) {
  report.messages.insert(report.messages.end(), later.messages.begin(), later.messages.end());
  report.counts.mergedPairs += later.counts.mergedPairs;
  report.counts.singularPoints += later.counts.singularPoints;
  report.counts.nonFinitePoints += later.counts.nonFinitePoints;
  if (report.outcome == api::Outcome::kCompleted) report.outcome = later.outcome;
}

}  // namespace mornax::arrays
