#include "geo/levels.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "geo/result_files.h"

namespace mornax::geo {
namespace {

constexpr double kMantissas[] = {1.0, 2.0, 2.5, 5.0};
constexpr int kFewestLevels = 10;
constexpr double kMostLevels = 1000.0;
constexpr int kMostSearchPasses = 64;
// Steps of a range this small would underflow as powers of ten.
constexpr double kSmallestRange = 1e-290;
// Multiples k of a step are counted in doubles: beyond 2^52 the count stops
// moving by one, and neighbouring levels are no longer distinct doubles.
constexpr double kLargestMultiple = 0x1p52;

// k * mantissa * 10^exponent as the double nearest to that decimal number.
double Multiple(double k, double mantissa, int exponent) {
  const double scaled = k * mantissa;
  return exponent >= 0 ? scaled * std::pow(10.0, exponent) : scaled / std::pow(10.0, -exponent);
}

std::string Number(double value, int digits = 10) {
  char text[40];
  std::snprintf(text, sizeof text, "%.*g", digits, value);
  return text;
}

bool AnyWithin(const std::vector<double>& levels, double low, double high) {
  return std::any_of(levels.begin(), levels.end(),
                     [&](double level) { return level >= low && level <= high; });
}

std::string RangeText(const LevelContext& context, double low, double high) {
  return "the " + context.layerName + " range " + Number(low) + " to " + Number(high);
}

}  // namespace

std::vector<double> NiceLevels(double zmin, double zmax) {
  if (!std::isfinite(zmin) || !std::isfinite(zmax) || !(zmax > zmin)) return {};
  const double range = zmax - zmin;
  // Ranges too small for powers of ten give no round levels.
  if (!std::isfinite(range) || range < kSmallestRange) return {};
  const double magnitude = std::max(std::abs(zmin), std::abs(zmax));
  // Start from a step that gives too many levels and grow it until the next
  // would give fewer than kFewestLevels. Steps finer than the values' last
  // digits are passed over; when the first step fine enough to count with
  // already gives too few levels, the range is too narrow for its values.
  // Each pass grows the step, so the search ends within a few passes; the
  // pass limit only guards that.
  int exponent = static_cast<int>(std::floor(std::log10(range / 20.0))) - 1;
  std::size_t m = 0;
  double chosenMantissa = kMantissas[0];
  int chosenExponent = exponent;
  bool chosen = false;
  for (int pass = 0; pass < kMostSearchPasses; ++pass) {
    const double step = Multiple(1.0, kMantissas[m], exponent);
    if (!(step > 0.0) || !std::isfinite(step)) return {};
    const double first = std::ceil(zmin / step);
    const double last = std::floor(zmax / step);
    const bool countable = magnitude / step < kLargestMultiple;
    if (countable && last - first + 1.0 < kFewestLevels) break;
    if (countable) {
      chosenMantissa = kMantissas[m];
      chosenExponent = exponent;
      chosen = true;
    }
    if (++m == std::size(kMantissas)) {
      m = 0;
      ++exponent;
    }
  }
  if (!chosen) return {};
  const double step = Multiple(1.0, chosenMantissa, chosenExponent);
  const double first = std::ceil(zmin / step);
  const double last = std::floor(zmax / step);
  if (!(last - first < kMostLevels)) return {};
  std::vector<double> levels;
  const auto count = static_cast<std::size_t>(last - first) + 1;
  levels.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double level = Multiple(first + static_cast<double>(i), chosenMantissa, chosenExponent);
    if (!levels.empty() && !(level > levels.back())) return {};  // not distinct doubles
    levels.push_back(level == 0.0 ? 0.0 : level);                // no -0
  }
  return levels;
}

bool ParseLevelChoice(std::string_view text, LevelChoice& choice, std::string& error) {
  choice = LevelChoice{};
  if (text == "lev") return true;
  if (text == "auto") {
    choice.source = LevelSource::kAuto;
    return true;
  }
  choice.source = LevelSource::kValues;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    auto comma = text.find(',', pos);
    if (comma == std::string_view::npos) comma = text.size();
    const std::string_view item = text.substr(pos, comma - pos);
    double value = 0.0;
    const auto [end, status] = std::from_chars(item.data(), item.data() + item.size(), value);
    if (item.empty() || status != std::errc() || end != item.data() + item.size() ||
        !std::isfinite(value)) {
      error = "--levels takes lev, auto or numbers separated by commas, not '" + std::string(item) +
              "' in '" + std::string(text) + "'";
      choice = LevelChoice{};
      return false;
    }
    choice.values.push_back(value);
    pos = comma + 1;
  }
  std::sort(choice.values.begin(), choice.values.end());
  choice.values.erase(std::unique(choice.values.begin(), choice.values.end()), choice.values.end());
  return true;
}

bool ResolveLevels(const LevelChoice& choice, const LevelContext& context, double low, double high,
                   std::vector<double>& levels, std::string& note, std::string& error) {
  levels.clear();
  note.clear();
  const std::string levName = context.levFile.filename().string();
  LevelSource source = choice.source;
  if (source == LevelSource::kLevFile && !context.given && !context.estimateLayer) {
    source = LevelSource::kAuto;
  }
  if (source == LevelSource::kLevFile && context.levOfLogarithms) {
    const std::string why = "the levels of " + levName +
                            " are natural logarithms (the run took the logarithms of the values)"
                            " while the " +
                            context.layerName + " is in the values' units";
    if (context.given) {
      error = why + ": use round levels (auto) or give the levels";
      return false;
    }
    note = why + "; round levels of the " + context.layerName + " instead";
    source = LevelSource::kAuto;
  }
  switch (source) {
    case LevelSource::kLevFile:
      if (!ReadLevelList(context.levFile, levels, error)) return false;
      if (!AnyWithin(levels, low, high)) {
        error = "none of the " + std::to_string(levels.size()) + " levels of " + levName + " (" +
                Number(levels.front()) + " to " + Number(levels.back()) + ") lies within " +
                RangeText(context, low, high) + "; use round levels (auto) or give the levels";
        return false;
      }
      return true;
    case LevelSource::kAuto:
      levels = NiceLevels(low, high);
      if (levels.empty()) {
        error = low == high ? "the " + context.layerName + " is flat (" + Number(low) +
                                  " everywhere): no contour lines"
                            : "the " + context.layerName + " range " + Number(low, 17) + " to " +
                                  Number(high, 17) + " is too narrow for round levels";
        return false;
      }
      return true;
    case LevelSource::kValues:
      levels = choice.values;
      if (!AnyWithin(levels, low, high)) {
        error = "none of the levels given (" + Number(levels.front()) + " to " +
                Number(levels.back()) + ") lies within " + RangeText(context, low, high);
        return false;
      }
      return true;
  }
  return false;
}

}  // namespace mornax::geo
