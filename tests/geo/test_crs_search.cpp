// The EPSG database searched as the program's coordinate-system dialog
// searches it: by the start of a code, or by every word of a name.
#include "geo/crs_search.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace mornax::geo {
namespace {

bool Holds(const std::vector<CrsEntry>& found, int code) {
  return std::any_of(found.begin(), found.end(), [&](const CrsEntry& e) { return e.code == code; });
}

TEST(CrsSearch, CodesAndWordsOfNamesFindTheSystem) {
  const struct {
    const char* text;
    int code;
    bool projected;
  } cases[] = {{"28992", 28992, true},
               {"amersfoort RD new", 28992, true},
               {"UTM zone 33N wgs", 32633, true},
               {"4326", 4326, false}};
  for (const auto& c : cases) {
    const std::vector<CrsEntry> found = SearchEpsg(c.text);
    ASSERT_TRUE(Holds(found, c.code)) << c.text;
    const auto entry = std::find_if(found.begin(), found.end(),
                                    [&](const CrsEntry& e) { return e.code == c.code; });
    EXPECT_EQ(entry->projected, c.projected) << c.text;
  }
  EXPECT_TRUE(SearchEpsg("   ").empty());
  EXPECT_TRUE(SearchEpsg("no such system anywhere").empty());
  EXPECT_LE(SearchEpsg("UTM", 5).size(), 5u);
}

}  // namespace
}  // namespace mornax::geo
