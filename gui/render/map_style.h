// How the result map is styled: where the contour levels come from, the
// colour ramp and its range, how cells are drawn, what is shown of the data
// points, what is blanked and the map furniture. The program's map panel
// fills it; the batch tool's defaults are its defaults.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "gui/render/colour_ramps.h"

namespace mornax::render {

enum class LevelMode {
  kLevFile,   // the level list of the .lev file (round levels for other layers)
  kAuto,      // round levels over the surface's range
  kInterval,  // every multiple of an interval between a minimum and a maximum
  kList,      // the values given
};

struct LevelSpec {
  LevelMode mode = LevelMode::kLevFile;
  // kInterval: the ends (the surface's range where absent) and the step.
  std::optional<double> minimum;
  std::optional<double> maximum;
  double interval = 0.0;
  std::vector<double> values;  // kList
};

enum class CellDrawing { kBlocks, kSmooth };
enum class Blanking { kNone, kHull, kPolygons };

struct MapStyle {
  // Unset: the levels of the request's text (the batch tool's --levels).
  std::optional<LevelSpec> levels;
  // Unset: viridis for surfaces, blue-white-red about zero for residuals.
  std::optional<ColourRamp> ramp;
  bool classed = false;  // one colour between two contour levels
  // A fixed colour range, to compare maps; unset: the values' own range.
  std::optional<double> rangeLow;
  std::optional<double> rangeHigh;
  CellDrawing cells = CellDrawing::kBlocks;
  bool showDataPoints = true;
  bool postValues = false;  // the measured value beside each data point
  Blanking blanking = Blanking::kNone;
  std::filesystem::path polygonFile;  // Blanking::kPolygons
  bool scaleBar = false;
};

// The most levels a map draws; more make no readable map.
inline constexpr int kMostLevels = 1000;

// The levels of an interval spec between `low` and `high` (the surface's
// range stands in for a missing end). False with `error`, in words for the
// user, when the interval is not above zero, the ends are crossed or there
// would be more than kMostLevels levels.
bool IntervalLevels(const LevelSpec& spec, double low, double high, std::vector<double>& levels,
                    std::string& error);

}  // namespace mornax::render
