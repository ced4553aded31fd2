// The colour ramps a map can be drawn with: perceptually uniform sequential
// ramps for surfaces and a diverging ramp for values around a middle (errors,
// differences). Each ramp is a table of anchor colours, interpolated
// linearly; t runs from 0 (lowest value) to 1 (highest).
#pragma once

#include <optional>
#include <string_view>

#include <QColor>

namespace mornax::render {

enum class ColourRamp { kViridis, kCividis, kMagma, kBlueWhiteRed };

inline constexpr ColourRamp kColourRamps[] = {ColourRamp::kViridis, ColourRamp::kCividis,
                                              ColourRamp::kMagma, ColourRamp::kBlueWhiteRed};

// "viridis", "cividis", "magma", "blue-white-red".
const char* ColourRampName(ColourRamp ramp);
std::optional<ColourRamp> ColourRampFromName(std::string_view name);
bool IsDiverging(ColourRamp ramp);

// The ramp's colour at t (clamped to [0, 1]).
QRgb RampColour(ColourRamp ramp, double t);

}  // namespace mornax::render
