#include "geo/polygon_layer.h"

#include "geo/clip_polygons.h"

namespace mornax::geo {

bool ReadPolygonRings(const std::filesystem::path& source,
                      const std::optional<std::string>& projectWkt, std::vector<PolygonRing>& rings,
                      std::string& error) {
  rings.clear();
  std::vector<std::vector<Ring>> polygons;
  std::string note;
  if (!ReadAreaPolygons(source.string(), projectWkt, polygons, note, error)) return false;
  for (const std::vector<Ring>& polygon : polygons) {
    for (const Ring& ring : polygon) {
      if (ring.size() < 3) continue;  // no area
      PolygonRing kept;
      for (const PlanePoint& point : ring) {
        kept.x.push_back(point[0]);
        kept.y.push_back(point[1]);
      }
      rings.push_back(std::move(kept));
    }
  }
  if (rings.empty()) {
    error = source.string() + " holds no polygon with an area";
    return false;
  }
  return true;
}

}  // namespace mornax::geo
