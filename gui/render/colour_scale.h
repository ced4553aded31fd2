// Colour scales for the result map: a ramp (colour_ramps.h) stretched over a
// value range. Values are mapped through a table of kColourSteps entries, so
// every colour on the map stands for one step of the value range and can be
// read back. A classed scale gives every value between two class breaks
// (the contour levels) the one colour of its class.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QColor>

#include "gui/render/colour_ramps.h"

namespace mornax::render {

// kSequential: viridis over the range; kDiverging: blue-white-red centred on
// zero (residuals).
enum class ColourMapKind { kSequential, kDiverging };

inline constexpr int kColourSteps = 256;

class ColourScale {
 public:
  // A scale from `low` to `high`. A diverging scale is made symmetric about
  // zero so that white always means "no error". When low == high (a constant
  // surface) every value gets the middle colour.
  ColourScale(ColourMapKind kind, double low, double high);
  // A scale of any ramp; `centreOnZero` makes it symmetric about zero.
  ColourScale(ColourRamp ramp, double low, double high, bool centreOnZero = false);

  ColourMapKind kind() const {
    return centred_ ? ColourMapKind::kDiverging : ColourMapKind::kSequential;
  }
  ColourRamp ramp() const { return ramp_; }
  double low() const { return low_; }
  double high() const { return high_; }
  bool isConstant() const { return !(high_ > low_); }
  // The value span of one colour step (0 for a constant scale).
  double step() const { return isConstant() ? 0.0 : (high_ - low_) / (kColourSteps - 1); }

  // Classes between the given breaks (those inside the range, ascending);
  // fewer than one break inside leaves the scale continuous.
  void SetClasses(const std::vector<double>& breaks);
  bool classed() const { return !breaks_.empty(); }
  const std::vector<double>& breaks() const { return breaks_; }

  // The table index of a value, clamped to the ends; -1 for NaN. On a
  // classed scale, the index of the middle of the value's class.
  int IndexOf(double value) const;
  QRgb ColourOf(double value) const;
  QRgb ColourAt(int index) const { return table_[static_cast<std::size_t>(index)]; }
  // The value a table index stands for.
  double ValueAt(int index) const;
  // The value whose colour is nearest to `colour`: the inverse of ColourOf
  // within one step (within one class on a classed scale). nullopt when no
  // table colour is close.
  std::optional<double> ValueOfColour(QRgb colour) const;

 private:
  int ContinuousIndex(double value) const;

  ColourRamp ramp_;
  bool centred_;
  double low_;
  double high_;
  std::vector<double> breaks_;
  std::array<QRgb, kColourSteps> table_{};
};

}  // namespace mornax::render
