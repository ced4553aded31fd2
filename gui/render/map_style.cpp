#include "gui/render/map_style.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace mornax::render {

bool IntervalLevels(const LevelSpec& spec, double low, double high, std::vector<double>& levels,
                    std::string& error) {
  levels.clear();
  const double from = spec.minimum.value_or(low);
  const double to = spec.maximum.value_or(high);
  if (!(spec.interval > 0.0) || !std::isfinite(spec.interval)) {
    error = "the contour interval must be a number above 0";
    return false;
  }
  if (!(from <= to)) {
    error = "the lowest contour level must not lie above the highest";
    return false;
  }
  // The multiples of the interval from the minimum on (the minimum itself is
  // a level when given; else the first round multiple above the range's low).
  const double first = spec.minimum ? from : std::ceil(from / spec.interval) * spec.interval;
  const double count = std::floor((to - first) / spec.interval * (1 + 1e-12)) + 1;
  if (!std::isfinite(count)) {
    error = "the contour levels must be finite numbers";
    return false;
  }
  if (count > kMostLevels) {
    std::ostringstream text;
    text << "an interval of " << spec.interval << " gives more than " << kMostLevels
         << " levels; choose a larger one";
    error = text.str();
    return false;
  }
  // Each level rounded well below the interval's own digits: 0.3, not
  // 0.30000000000000004.
  const int decimals =
      std::clamp(6 - static_cast<int>(std::floor(std::log10(spec.interval))), 0, 15);
  const double shift = std::pow(10.0, decimals);
  for (int k = 0; k < static_cast<int>(count); ++k) {
    levels.push_back(std::round((first + k * spec.interval) * shift) / shift);
  }
  return true;
}

}  // namespace mornax::render
