// The coordinate systems of GDAL's EPSG database found by code or by words
// of their names, for a user choosing the project's system.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mornax::geo {

struct CrsEntry {
  int code = 0;  // EPSG code
  std::string name;
  bool projected = false;
};

// Systems whose code starts with `text` (digits), or whose name holds every
// word of `text` (case ignored), deprecated ones left out; at most `limit`,
// by code. Empty for blank text.
std::vector<CrsEntry> SearchEpsg(std::string_view text, std::size_t limit = 200);

}  // namespace mornax::geo
