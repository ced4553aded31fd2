#include "geo/clip_polygons.h"

#include <cmath>
#include <memory>
#include <string_view>

#include "geo/crs_definition.h"
#include "geo/vector_source.h"

namespace mornax::geo {
namespace {

bool IsPolygonType(OGRwkbGeometryType type) {
  const OGRwkbGeometryType flat = wkbFlatten(type);
  return flat == wkbUnknown || OGR_GT_IsSubClassOf(flat, wkbCurvePolygon) ||
         OGR_GT_IsSubClassOf(flat, wkbMultiSurface);
}

// The rings of one polygon; false when a vertex is not finite.
bool AddPolygon(const OGRPolygon& polygon, std::vector<std::vector<Ring>>& polygons) {
  std::vector<Ring> rings;
  for (const OGRLinearRing* ring : polygon) {
    Ring points;
    points.reserve(static_cast<std::size_t>(ring->getNumPoints()));
    for (const OGRPoint& point : *ring) {
      if (!std::isfinite(point.getX()) || !std::isfinite(point.getY())) return false;
      points.push_back({point.getX(), point.getY()});
    }
    rings.push_back(std::move(points));
  }
  if (!rings.empty()) polygons.push_back(std::move(rings));
  return true;
}

// What the messages say of a layer without polygons, for the grid's clip
// and for other uses.
struct Wording {
  std::string_view otherGeometries;  // after "LAYER holds TYPE geometries"
  std::string_view noPolygon;        // after "LAYER holds no polygon"
};
constexpr Wording kClipWording = {": --clip takes a layer of polygons", " to clip to"};
constexpr Wording kAreaWording = {", no polygon", ""};

bool ReadPolygons(const std::string& source, const std::optional<std::string>& projectCrs,
                  const Wording& wording, std::vector<std::vector<Ring>>& polygons,
                  std::string& note, std::string& error) {
  polygons.clear();
  note.clear();
  VectorLayer opened;
  if (!OpenVectorLayer(source, "", opened, error)) return false;
  const std::string& where = opened.where;
  const OGRwkbGeometryType type = opened.layer->GetGeomType();
  if (opened.layer->GetLayerDefn()->GetGeomFieldCount() == 0 || !IsPolygonType(type)) {
    error = where + " holds " + OGRGeometryTypeToName(type) + " geometries" +
            std::string(wording.otherGeometries);
    return false;
  }
  std::string layerWkt;
  if (!LayerCrs(opened, layerWkt, error)) return false;
  std::unique_ptr<OGRCoordinateTransformation> transformation;
  if (!layerWkt.empty() && projectCrs && !SameCrs(layerWkt, *projectCrs)) {
    transformation = MakeCrsTransformation(layerWkt, *projectCrs, error);
    if (!transformation) return false;
    note = "the polygons of " + where + " were transformed from " + DescribeCrs(layerWkt) +
           " to the project's " + DescribeCrs(*projectCrs);
  } else if (layerWkt.empty() != !projectCrs) {
    note = layerWkt.empty() ? "the polygons of " + where +
                                  " have no coordinate system: taken as they are, in the project's"
                            : "the project has no coordinate system: the polygons of " + where +
                                  " are taken as they are";
  }

  std::string fault;
  std::int64_t read = 0;
  const auto take = [&](OGRFeature& feature) {
    const OGRGeometry* geometry = feature.GetGeometryRef();
    if (geometry == nullptr || geometry->IsEmpty() || !fault.empty()) return;
    std::unique_ptr<OGRGeometry> linear(geometry->getLinearGeometry());
    if (!linear) return;
    if (transformation && linear->transform(transformation.get()) != OGRERR_NONE) {
      fault = "feature " + std::to_string(feature.GetFID()) + " of " + where +
              " cannot be transformed into the project's system";
      return;
    }
    bool finite = true;
    const OGRwkbGeometryType flat = wkbFlatten(linear->getGeometryType());
    if (flat == wkbPolygon) {
      finite = AddPolygon(*linear->toPolygon(), polygons);
    } else if (flat == wkbMultiPolygon) {
      for (const OGRPolygon* part : *linear->toMultiPolygon()) {
        finite = finite && AddPolygon(*part, polygons);
      }
    }
    if (!finite) {
      fault = "feature " + std::to_string(feature.GetFID()) + " of " + where +
              " has a vertex that is not a finite number";
    }
  };
  if (!ReadWholeLayer(opened, take, read, error)) return false;
  if (!fault.empty()) {
    error = fault;
    return false;
  }
  if (polygons.empty()) {
    error = where + " holds no polygon" + std::string(wording.noPolygon);
    return false;
  }
  return true;
}

}  // namespace

bool ReadClipPolygons(const std::string& source, const std::optional<std::string>& projectCrs,
                      std::vector<std::vector<Ring>>& polygons, std::string& note,
                      std::string& error) {
  return ReadPolygons(source, projectCrs, kClipWording, polygons, note, error);
}

bool ReadAreaPolygons(const std::string& source, const std::optional<std::string>& projectCrs,
                      std::vector<std::vector<Ring>>& polygons, std::string& note,
                      std::string& error) {
  return ReadPolygons(source, projectCrs, kAreaWording, polygons, note, error);
}

}  // namespace mornax::geo
