#include "gui/render/colour_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mornax::render {
namespace {

int ToByte(double channel) {
  return static_cast<int>(std::lround(std::clamp(channel, 0.0, 1.0) * 255.0));
}

// A polynomial fit of the viridis map (dark blue to yellow, uniform in
// perceived lightness), evaluated by Horner's rule per channel.
QRgb Sequential(double t) {
  static constexpr double kCoefficients[3][7] = {
      {0.2777273272234177, 0.1050930431085774, -0.3308618287255563, -4.634230498983486,
       6.228269936347081, 4.776384997670288, -5.435455855934631},
      {0.005407344544966578, 1.404613529898575, 0.214847559468213, -5.799100973351585,
       14.17993336680509, -13.74514537774601, 4.645852612178535},
      {0.3340998053353061, 1.384590162594685, 0.09509516302823659, -19.33244095627987,
       56.69055260068105, -65.35303263337234, 26.3124352495832}};
  int rgb[3];
  for (int c = 0; c < 3; ++c) {
    double v = kCoefficients[c][6];
    for (int k = 5; k >= 0; --k) v = v * t + kCoefficients[c][k];
    rgb[c] = ToByte(v);
  }
  return qRgb(rgb[0], rgb[1], rgb[2]);
}

// Blue through white to red, piecewise linear between five anchors.
QRgb Diverging(double t) {
  static constexpr int kAnchors[5][3] = {
      {33, 102, 172}, {103, 169, 207}, {247, 247, 247}, {239, 138, 98}, {178, 24, 43}};
  const double position = std::clamp(t, 0.0, 1.0) * 4.0;
  const int segment = std::min(3, static_cast<int>(position));
  const double f = position - segment;
  int rgb[3];
  for (int c = 0; c < 3; ++c) {
    rgb[c] = static_cast<int>(
        std::lround(kAnchors[segment][c] * (1.0 - f) + kAnchors[segment + 1][c] * f));
  }
  return qRgb(rgb[0], rgb[1], rgb[2]);
}

int ColourDistance(QRgb a, QRgb b) {
  const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
  return dr * dr + dg * dg + db * db;
}

}  // namespace

ColourScale::ColourScale(ColourMapKind kind, double low, double high)
    : kind_(kind), low_(low), high_(high) {
  if (kind_ == ColourMapKind::kDiverging) {
    const double extent = std::max(std::abs(low), std::abs(high));
    low_ = -extent;
    high_ = extent;
  }
  for (int i = 0; i < kColourSteps; ++i) {
    const double t = static_cast<double>(i) / (kColourSteps - 1);
    table_[static_cast<std::size_t>(i)] =
        kind_ == ColourMapKind::kDiverging ? Diverging(t) : Sequential(t);
  }
}

int ColourScale::IndexOf(double value) const {
  if (std::isnan(value)) return -1;
  if (isConstant()) return kColourSteps / 2;
  const double t = (value - low_) / (high_ - low_);
  const double index = std::round(std::clamp(t, 0.0, 1.0) * (kColourSteps - 1));
  return static_cast<int>(index);
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
  for (int i = 0; i < kColourSteps; ++i) {
    const int distance = ColourDistance(colour, ColourAt(i));
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  if (best < 0 || bestDistance > kMaxDistance) return std::nullopt;
  return ValueAt(best);
}

}  // namespace mornax::render
