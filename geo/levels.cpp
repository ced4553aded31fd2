#include "geo/levels.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace mornax::geo {
namespace {

constexpr double kMantissas[] = {1.0, 2.0, 2.5, 5.0};
constexpr int kFewestLevels = 10;

// k * mantissa * 10^exponent as the double nearest to that decimal number.
double Multiple(double k, double mantissa, int exponent) {
  const double scaled = k * mantissa;
  return exponent >= 0 ? scaled * std::pow(10.0, exponent) : scaled / std::pow(10.0, -exponent);
}

}  // namespace

std::vector<double> NiceLevels(double zmin, double zmax) {
  if (!std::isfinite(zmin) || !std::isfinite(zmax) || !(zmax > zmin)) return {};
  const double range = zmax - zmin;
  if (!std::isfinite(range)) return {};
  // Start from a step that gives too many levels and grow it until the next
  // would give fewer than kFewestLevels.
  int exponent = static_cast<int>(std::floor(std::log10(range / 20.0))) - 1;
  std::size_t m = 0;
  double chosenMantissa = kMantissas[0];
  int chosenExponent = exponent;
  while (true) {
    const double step = Multiple(1.0, kMantissas[m], exponent);
    const double first = std::ceil(zmin / step);
    const double last = std::floor(zmax / step);
    if (last - first + 1.0 < kFewestLevels) break;
    chosenMantissa = kMantissas[m];
    chosenExponent = exponent;
    if (++m == std::size(kMantissas)) {
      m = 0;
      ++exponent;
    }
  }
  const double step = Multiple(1.0, chosenMantissa, chosenExponent);
  const double first = std::ceil(zmin / step);
  const double last = std::floor(zmax / step);
  std::vector<double> levels;
  for (double k = first; k <= last; k += 1.0) {
    const double level = Multiple(k, chosenMantissa, chosenExponent);
    levels.push_back(level == 0.0 ? 0.0 : level);  // no -0
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

}  // namespace mornax::geo
