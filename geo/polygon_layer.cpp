#include "geo/polygon_layer.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <memory>
#include <system_error>

#include "geo/gdal_handles.h"
#include "geo/gdal_session.h"
#include "geo/project_crs.h"

namespace mornax::geo {
namespace {

struct DatasetDeleter {
  void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};

void AddRings(const OGRGeometry* geometry, OGRCoordinateTransformation* transformation,
              std::vector<PolygonRing>& rings) {
  if (geometry == nullptr) return;
  const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
  if (type == wkbMultiPolygon || type == wkbGeometryCollection) {
    const auto* collection = geometry->toGeometryCollection();
    for (const OGRGeometry* part : *collection) AddRings(part, transformation, rings);
    return;
  }
  if (type != wkbPolygon) return;
  for (const OGRLinearRing* ring : *geometry->toPolygon()) {
    PolygonRing kept;
    for (const OGRPoint& point : *ring) {
      double x = point.getX();
      double y = point.getY();
      if (transformation != nullptr && !transformation->Transform(1, &x, &y)) continue;
      if (!std::isfinite(x) || !std::isfinite(y)) continue;
      kept.x.push_back(x);
      kept.y.push_back(y);
    }
    if (kept.x.size() >= 3) rings.push_back(std::move(kept));
  }
}

std::string LayerWkt(const OGRSpatialReference& srs) {
  char* raw = nullptr;
  srs.exportToWkt(&raw);
  std::string wkt = raw != nullptr ? raw : "";
  CPLFree(raw);
  return wkt;
}

}  // namespace

bool ReadPolygonRings(const std::filesystem::path& source,
                      const std::optional<std::string>& projectWkt, std::vector<PolygonRing>& rings,
                      std::string& error) {
  rings.clear();
  EnsureGdal();
  TakeGdalMessage();
  const std::string name = source.string();
  const std::unique_ptr<GDALDataset, DatasetDeleter> dataset(
      GDALDataset::FromHandle(GDALOpenEx(name.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr)));
  if (!dataset) {
    std::error_code status;
    error = std::filesystem::exists(source, status)
                ? GdalFailure("GDAL cannot open " + name + " as a vector source")
                : "cannot read " + name + ": no such file";
    return false;
  }
  OGRLayer* layer = dataset->GetLayerCount() > 0 ? dataset->GetLayer(0) : nullptr;
  if (layer == nullptr) {
    error = name + " holds no vector layer";
    return false;
  }
  std::unique_ptr<OGRCoordinateTransformation> transformation;
  const OGRSpatialReference* layerSrs = layer->GetSpatialRef();
  if (layerSrs != nullptr && projectWkt && !SameCrs(LayerWkt(*layerSrs), *projectWkt)) {
    OGRSpatialReference from(*layerSrs);
    OGRSpatialReference to;
    from.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    to.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    if (to.SetFromUserInput(projectWkt->c_str()) != OGRERR_NONE) {
      error = GdalFailure("GDAL cannot parse the project's coordinate system");
      return false;
    }
    transformation.reset(OGRCreateCoordinateTransformation(&from, &to));
    if (!transformation) {
      error = GdalFailure("GDAL cannot transform " + name + " from " +
                          DescribeCrs(LayerWkt(*layerSrs)) + " to " + DescribeCrs(*projectWkt));
      return false;
    }
  }
  layer->ResetReading();
  for (auto& feature : *layer) AddRings(feature->GetGeometryRef(), transformation.get(), rings);
  if (rings.empty()) {
    error = name + " holds no polygon";
    return false;
  }
  return true;
}

}  // namespace mornax::geo
