#include "gui/render/colour_ramps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace mornax::render {
namespace {

using Anchor = std::array<int, 3>;

// Seventeen evenly spaced samples of each sequential map (t = k / 16).
constexpr Anchor kViridis[] = {
    {68, 1, 84},    {72, 24, 106},  {71, 45, 123},  {66, 64, 134},  {59, 82, 139},  {51, 99, 141},
    {44, 114, 142}, {38, 130, 142}, {33, 145, 140}, {31, 159, 136}, {39, 173, 129}, {61, 188, 116},
    {92, 200, 99},  {129, 211, 77}, {170, 220, 50}, {213, 226, 26}, {253, 231, 37}};
constexpr Anchor kCividis[] = {{0, 34, 78},     {0, 46, 106},    {26, 56, 111},   {50, 67, 109},
                               {67, 78, 108},   {83, 90, 109},   {97, 101, 111},  {111, 112, 115},
                               {125, 124, 120}, {139, 135, 120}, {154, 147, 118}, {170, 160, 115},
                               {187, 173, 109}, {204, 186, 100}, {221, 200, 88},  {239, 215, 72},
                               {254, 232, 56}};
constexpr Anchor kMagma[] = {{0, 0, 4},      {10, 8, 34},     {29, 17, 71},    {54, 16, 107},
                             {81, 18, 124},  {106, 28, 129},  {131, 38, 129},  {156, 46, 127},
                             {183, 55, 121}, {207, 64, 112},  {229, 80, 100},  {244, 105, 92},
                             {251, 135, 97}, {254, 165, 113}, {254, 194, 135}, {253, 224, 161},
                             {252, 253, 191}};
// Blue through white to red.
constexpr Anchor kBlueWhiteRed[] = {
    {33, 102, 172}, {103, 169, 207}, {247, 247, 247}, {239, 138, 98}, {178, 24, 43}};

std::span<const Anchor> Anchors(ColourRamp ramp) {
  switch (ramp) {
    case ColourRamp::kCividis:
      return kCividis;
    case ColourRamp::kMagma:
      return kMagma;
    case ColourRamp::kBlueWhiteRed:
      return kBlueWhiteRed;
    case ColourRamp::kViridis:
      break;
  }
  return kViridis;
}

}  // namespace

const char* ColourRampName(ColourRamp ramp) {
  switch (ramp) {
    case ColourRamp::kCividis:
      return "cividis";
    case ColourRamp::kMagma:
      return "magma";
    case ColourRamp::kBlueWhiteRed:
      return "blue-white-red";
    case ColourRamp::kViridis:
      break;
  }
  return "viridis";
}

std::optional<ColourRamp> ColourRampFromName(std::string_view name) {
  for (const ColourRamp ramp : kColourRamps) {
    if (name == ColourRampName(ramp)) return ramp;
  }
  return std::nullopt;
}

bool IsDiverging(ColourRamp ramp) {
  return ramp == ColourRamp::kBlueWhiteRed;
}

QRgb RampColour(ColourRamp ramp, double t) {
  const std::span<const Anchor> anchors = Anchors(ramp);
  const double position =
      (std::isnan(t) ? 0.0 : std::clamp(t, 0.0, 1.0)) * static_cast<double>(anchors.size() - 1);
  const std::size_t segment = std::min(anchors.size() - 2, static_cast<std::size_t>(position));
  const double f = position - static_cast<double>(segment);
  int rgb[3];
  for (std::size_t c = 0; c < 3; ++c) {
    rgb[c] = static_cast<int>(
        std::lround(anchors[segment][c] * (1.0 - f) + anchors[segment + 1][c] * f));
  }
  return qRgb(rgb[0], rgb[1], rgb[2]);
}

}  // namespace mornax::render
