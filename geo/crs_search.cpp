#include "geo/crs_search.h"

#include <ogr_srs_api.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <sstream>

#include "geo/gdal_session.h"

namespace mornax::geo {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

struct InfoListFree {
  void operator()(OSRCRSInfo** list) const { OSRDestroyCRSInfoList(list); }
};

}  // namespace

std::vector<CrsEntry> SearchEpsg(std::string_view text, std::size_t limit) {
  std::vector<CrsEntry> found;
  std::vector<std::string> words;
  std::istringstream split{Lower(text)};
  for (std::string word; split >> word;) words.push_back(word);
  if (words.empty()) return found;
  const bool byCode =
      words.size() == 1 && std::all_of(words[0].begin(), words[0].end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
      });
  EnsureGdal();
  int count = 0;
  const std::unique_ptr<OSRCRSInfo*, InfoListFree> list(
      OSRGetCRSInfoListFromDatabase("EPSG", nullptr, &count));
  for (int i = 0; list && i < count && found.size() < limit; ++i) {
    const OSRCRSInfo& info = *list.get()[i];
    if (info.bDeprecated || info.pszCode == nullptr || info.pszName == nullptr) continue;
    const bool projected = info.eType == OSR_CRS_TYPE_PROJECTED;
    if (!projected && info.eType != OSR_CRS_TYPE_GEOGRAPHIC_2D &&
        info.eType != OSR_CRS_TYPE_COMPOUND) {
      continue;
    }
    bool match = false;
    if (byCode) {
      match = std::string_view(info.pszCode).starts_with(words[0]);
    } else {
      const std::string name = Lower(info.pszName);
      match = std::all_of(words.begin(), words.end(), [&](const std::string& word) {
        return name.find(word) != std::string::npos;
      });
    }
    if (match) found.push_back({std::atoi(info.pszCode), info.pszName, projected});
  }
  std::sort(found.begin(), found.end(),
            [](const CrsEntry& a, const CrsEntry& b) { return a.code < b.code; });
  return found;
}

}  // namespace mornax::geo
