// Contour levels: "nice" levels for a value range, and the choice of levels
// given on the command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mornax::geo {

// Levels at the multiples of a round step (1, 2, 2.5 or 5 times a power of
// ten) inside [zmin, zmax], the step chosen for about 10 to 20 levels. Each
// level is the decimal number nearest to the multiple (0.3, not
// 0.30000000000000004). Empty when the range is empty, flat or not finite.
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

}  // namespace mornax::geo
