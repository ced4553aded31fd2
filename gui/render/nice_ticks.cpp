#include "gui/render/nice_ticks.h"

#include <algorithm>
#include <cmath>

namespace mornax::render {

double NiceStep(double low, double high, int count) {
  const double span = high - low;
  if (!std::isfinite(span) || span <= 0.0 || count < 1) return 0.0;
  const double raw = span / count;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  const double fraction = raw / power;
  const double nice = fraction <= 1.0 ? 1.0 : fraction <= 2.0 ? 2.0 : fraction <= 5.0 ? 5.0 : 10.0;
  return nice * power;
}

std::vector<double> NiceTicks(double low, double high, int count) {
  std::vector<double> ticks;
  const double step = NiceStep(low, high, count);
  if (step <= 0.0 || !std::isfinite(step)) return ticks;
  // Allow for rounding at the ends of the range.
  const double slack = step * 1e-9;
  const double first = std::ceil((low - slack) / step);
  const double last = std::floor((high + slack) / step);
  // Past 2^52 a tick counter no longer moves by one; such ticks (a span
  // narrower than the values' last digits) are not drawn.
  if (!(last - first <= 1000.0) || std::abs(first) > 0x1p52 || std::abs(last) > 0x1p52) {
    return ticks;
  }
  // Each tick is the decimal number nearest to its multiple (0.3, not
  // 0.30000000000000004).
  const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 15);
  const double shift = std::pow(10.0, decimals);
  for (double k = first; k <= last; k += 1.0) ticks.push_back(std::round(k * step * shift) / shift);
  return ticks;
}

QString TickLabel(double value, double step) {
  // As many decimals as the step has (0.25 needs two, 0.5 one).
  int decimals = 0;
  if (step > 0.0 && std::isfinite(step)) {
    while (decimals < 12) {
      const double scaled = step * std::pow(10.0, decimals);
      if (std::abs(scaled - std::round(scaled)) <= 1e-6 * std::max(1.0, scaled)) break;
      ++decimals;
    }
  }
  if (std::abs(value) < step * 1e-6) value = 0.0;
  const double magnitude = std::abs(value);
  if (magnitude >= 1e9 || (magnitude > 0.0 && magnitude < 1e-5)) {
    return QString::number(value, 'g', 4);
  }
  return QString::number(value, 'f', decimals);
}

}  // namespace mornax::render
