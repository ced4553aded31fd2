// Contour levels: "nice" levels for a value range, and the choice of levels
// given on the command line.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mornax::geo {

// Levels at the multiples of a round step (1, 2, 2.5 or 5 times a power of
// ten) inside [zmin, zmax], the step chosen for about 10 to 20 levels. Each
// level is the decimal number nearest to the multiple (0.3, not
// 0.30000000000000004). Empty when the range is empty, flat, not finite, or
// too narrow for its values to tell round levels apart (below 1e-290, or
// below a trillionth of the values' magnitude).
std::vector<double> NiceLevels(double zmin, double zmax);

// Where the levels of a contour export come from.
enum class LevelSource {
  kLevFile,  // the level list of the .lev file
  kAuto,     // NiceLevels over the surface's range
  kValues,   // the values given
};

struct LevelChoice {
  LevelSource source = LevelSource::kLevFile;
  std::vector<double> values;  // kValues: ascending, distinct, finite
};

// Parses "lev", "auto" or "V1,V2,...". Values are sorted and duplicates
// dropped. False with `error` naming the bad value.
bool ParseLevelChoice(std::string_view text, LevelChoice& choice, std::string& error);

// The surface the levels are for, and what its project's .lev list means.
struct LevelContext {
  std::filesystem::path levFile;  // the project's level list
  std::string layerName;          // for messages: "estimate", "std_error", ...
  bool estimateLayer = true;      // the .lev list is made for the estimate only
  bool levOfLogarithms = false;   // the run took logarithms: the .lev list
                                  // holds levels of ln z, not of the estimate
  bool given = false;             // the user chose these levels (not the default)
};

// The one rule for contour levels, shared by exports and maps: the levels
// of `choice` for a surface from `low` to `high`. The default .lev choice
// takes round levels for layers other than the estimate, and (with `note`
// saying so) for an estimate whose .lev list holds logarithms; asked for
// explicitly, a list of logarithms is refused. False with `error` when no
// level lies within the surface's range or none can be found.
bool ResolveLevels(const LevelChoice& choice, const LevelContext& context, double low, double high,
                   std::vector<double>& levels, std::string& note, std::string& error);

}  // namespace mornax::geo
