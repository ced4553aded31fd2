#include "gui/render/colour_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mornax::render {
namespace {

int ColourDistance(QRgb a, QRgb b) {
  const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
  return dr * dr + dg * dg + db * db;
}

}  // namespace

ColourScale::ColourScale(ColourMapKind kind, double low, double high)
    : ColourScale(
          kind == ColourMapKind::kDiverging ? ColourRamp::kBlueWhiteRed : ColourRamp::kViridis, low,
          high, kind == ColourMapKind::kDiverging) {}

ColourScale::ColourScale(ColourRamp ramp, double low, double high, bool centreOnZero)
    : ramp_(ramp), centred_(centreOnZero), low_(low), high_(high) {
  if (centred_) {
    const double extent = std::max(std::abs(low), std::abs(high));
    low_ = -extent;
    high_ = extent;
  }
  for (int i = 0; i < kColourSteps; ++i) {
    table_[static_cast<std::size_t>(i)] =
        RampColour(ramp_, static_cast<double>(i) / (kColourSteps - 1));
  }
}

void ColourScale::SetClasses(const std::vector<double>& breaks) {
  breaks_.clear();
  for (double b : breaks) {
    if (std::isfinite(b) && b > low_ && b < high_) breaks_.push_back(b);
  }
  std::sort(breaks_.begin(), breaks_.end());
  breaks_.erase(std::unique(breaks_.begin(), breaks_.end()), breaks_.end());
}

int ColourScale::ContinuousIndex(double value) const {
  const double t = (value - low_) / (high_ - low_);
  return static_cast<int>(std::round(std::clamp(t, 0.0, 1.0) * (kColourSteps - 1)));
}

int ColourScale::IndexOf(double value) const {
  if (std::isnan(value)) return -1;
  if (isConstant()) return kColourSteps / 2;
  if (breaks_.empty()) return ContinuousIndex(value);
  // The class of the value, and the colour of the class's middle; the end
  // classes run to the ends of the ramp.
  const auto above = std::upper_bound(breaks_.begin(), breaks_.end(), value);
  const std::size_t k = static_cast<std::size_t>(above - breaks_.begin());
  const double classes = static_cast<double>(breaks_.size() + 1);
  const double t = (static_cast<double>(k) + 0.5) / classes;
  return static_cast<int>(std::round(t * (kColourSteps - 1)));
}

QRgb ColourScale::ColourOf(double value) const {
  const int index = IndexOf(value);
  return index < 0 ? qRgba(0, 0, 0, 0) : ColourAt(index);
}

double ColourScale::ValueAt(int index) const {
  if (isConstant()) return low_;
  return low_ + (high_ - low_) * index / (kColourSteps - 1);
}

std::optional<double> ColourScale::ValueOfColour(QRgb colour) const {
  // Anti-aliased edges blend colours; a distance beyond this is no table colour.
  constexpr int kMaxDistance = 3 * 6 * 6;
  int best = -1;
  int bestDistance = std::numeric_limits<int>::max();
  int ties = 0;  // neighbouring entries of the same colour: their middle
  for (int i = 0; i < kColourSteps; ++i) {
    const int distance = ColourDistance(colour, ColourAt(i));
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
      ties = 0;
    } else if (distance == bestDistance && i == best + ties + 1) {
      ++ties;
    }
  }
  if (best < 0 || bestDistance > kMaxDistance) return std::nullopt;
  if (!breaks_.empty()) {
    // The class whose colour this is: its middle value.
    const double classes = static_cast<double>(breaks_.size() + 1);
    const auto k = static_cast<std::size_t>(std::clamp(
        std::floor(static_cast<double>(best) / (kColourSteps - 1) * classes), 0.0, classes - 1));
    const double from = k == 0 ? low_ : breaks_[k - 1];
    const double to = k == breaks_.size() ? high_ : breaks_[k];
    return (from + to) / 2;
  }
  if (ties > 0 && !isConstant()) {
    return low_ + (high_ - low_) * (best + ties / 2.0) / (kColourSteps - 1);
  }
  return ValueAt(best);
}

}  // namespace mornax::render
