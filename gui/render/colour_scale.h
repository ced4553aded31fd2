// Colour maps for the result map: a perceptually uniform sequential map for
// estimates and standard errors, and a diverging map for residuals. Values
// are mapped through a table of kColourSteps entries, so every colour on the
// map stands for one step of the value range and can be read back.
#pragma once

#include <array>
#include <optional>

#include <QColor>

namespace mornax::render {

enum class ColourMapKind { kSequential, kDiverging };

inline constexpr int kColourSteps = 256;

class ColourScale {
 public:
  // A scale from `low` to `high`. A diverging scale is made symmetric about
  // zero so that white always means "no error". When low == high (a constant
  // surface) every value gets the middle colour.
  ColourScale(ColourMapKind kind, double low, double high);

  ColourMapKind kind() const { return kind_; }
  double low() const { return low_; }
  double high() const { return high_; }
  bool isConstant() const { return !(high_ > low_); }
  // The value span of one colour step (0 for a constant scale).
  double step() const { return isConstant() ? 0.0 : (high_ - low_) / (kColourSteps - 1); }

  // The table index of a value, clamped to the ends; -1 for NaN.
  int IndexOf(double value) const;
  QRgb ColourOf(double value) const;
  QRgb ColourAt(int index) const { return table_[static_cast<std::size_t>(index)]; }
  // The value a table index stands for.
  double ValueAt(int index) const;
  // The value whose colour is nearest to `colour`: the inverse of ColourOf
  // within one step. nullopt when no table colour is close.
  std::optional<double> ValueOfColour(QRgb colour) const;

 private:
  ColourMapKind kind_;
  double low_;
  double high_;
  std::array<QRgb, kColourSteps> table_{};
};

}  // namespace mornax::render
