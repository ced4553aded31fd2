#include "geo/vector_writer.h"

#include <ogr_srs_api.h>

#include <cmath>
#include <memory>
#include <type_traits>

#include "geo/gdal_session.h"

namespace mornax::geo {
namespace {

struct SrsReleaser {
  void operator()(OGRSpatialReferenceH srs) const { OSRRelease(srs); }
};
using SrsHandle = std::unique_ptr<std::remove_pointer_t<OGRSpatialReferenceH>, SrsReleaser>;

OGRwkbGeometryType GeometryType(VectorGeometry geometry) {
  switch (geometry) {
    case VectorGeometry::kPoint:
      return wkbPoint;
    case VectorGeometry::kLine:
      return wkbLineString;
    case VectorGeometry::kNone:
      break;
  }
  return wkbNone;
}

}  // namespace

bool VectorWriter::Open(const std::filesystem::path& path, const char* driverName,
                        const std::string& layerName, VectorGeometry geometry,
                        const std::string& crsWkt, const std::vector<std::string>& fields,
                        std::string& error) {
  EnsureGdal();
  path_ = path;
  GDALDriverH driver = GDALGetDriverByName(driverName);
  if (driver == nullptr) {
    error = std::string("this GDAL has no ") + driverName + " driver";
    return false;
  }
  dataset_.reset(GDALCreate(driver, path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  if (!dataset_) {
    error = GdalFailure("cannot create " + path.filename().string());
    return false;
  }
  // Without a coordinate system a GeoPackage layer would be filed under the
  // undefined geographic system; local coordinates are the undefined
  // Cartesian one.
  const bool geoPackage = std::string(driverName) == "GPKG";
  const std::string wkt =
      crsWkt.empty() && geoPackage ? "LOCAL_CS[\"Undefined cartesian SRS\"]" : crsWkt;
  SrsHandle srs;
  if (!wkt.empty() && geometry != VectorGeometry::kNone) {
    srs.reset(OSRNewSpatialReference(wkt.c_str()));
    if (srs == nullptr) {
      error = GdalFailure("cannot use the coordinate system for " + path.filename().string());
      return false;
    }
    OSRSetAxisMappingStrategy(srs.get(), OAMS_TRADITIONAL_GIS_ORDER);
  }
  if (std::string(driverName) == "CSV") layerOptions_.Set("SEPARATOR", "COMMA");
  layer_ = GDALDatasetCreateLayer(dataset_.get(), layerName.c_str(), srs.get(),
                                  GeometryType(geometry), layerOptions_.items());
  if (layer_ == nullptr) {
    error = GdalFailure("cannot create the layer " + layerName + " in " + path.filename().string());
    return false;
  }
  for (const std::string& name : fields) {
    OGRFieldDefnH field = OGR_Fld_Create(name.c_str(), OFTReal);
    const OGRErr made = OGR_L_CreateField(layer_, field, TRUE);
    OGR_Fld_Destroy(field);
    if (made != OGRERR_NONE) {
      error = GdalFailure("cannot create the field " + name + " in " + path.filename().string());
      return false;
    }
  }
  // One transaction for all features: a GeoPackage commits once.
  inTransaction_ = GDALDatasetStartTransaction(dataset_.get(), FALSE) == OGRERR_NONE;
  return true;
}

bool VectorWriter::AddPoint(double x, double y, std::span<const double> values,
                            std::string& error) {
  GeometryHandle point(OGR_G_CreateGeometry(wkbPoint));
  OGR_G_SetPoint_2D(point.get(), 0, x, y);
  return Add(point.get(), values, error);
}

bool VectorWriter::AddLine(std::span<const ContourPoint> points, std::span<const double> values,
                           std::string& error) {
  GeometryHandle line(OGR_G_CreateGeometry(wkbLineString));
  OGR_G_SetPointCount(line.get(), static_cast<int>(points.size()));
  for (std::size_t k = 0; k < points.size(); ++k) {
    OGR_G_SetPoint_2D(line.get(), static_cast<int>(k), points[k].x, points[k].y);
  }
  return Add(line.get(), values, error);
}

bool VectorWriter::AddRecord(std::span<const double> values, std::string& error) {
  return Add(nullptr, values, error);
}

bool VectorWriter::Add(OGRGeometryH geometry, std::span<const double> values, std::string& error) {
  FeatureHandle feature(OGR_F_Create(OGR_L_GetLayerDefn(layer_)));
  if (geometry != nullptr) OGR_F_SetGeometry(feature.get(), geometry);
  for (std::size_t k = 0; k < values.size(); ++k) {
    if (std::isnan(values[k])) {
      OGR_F_SetFieldNull(feature.get(), static_cast<int>(k));
    } else {
      OGR_F_SetFieldDouble(feature.get(), static_cast<int>(k), values[k]);
    }
  }
  if (OGR_L_CreateFeature(layer_, feature.get()) != OGRERR_NONE) {
    error = GdalFailure("cannot write a feature to " + path_.filename().string());
    return false;
  }
  return true;
}

bool VectorWriter::Close(std::string& error) {
  if (inTransaction_ && GDALDatasetCommitTransaction(dataset_.get()) != OGRERR_NONE) {
    error = GdalFailure("cannot finish " + path_.filename().string());
    return false;
  }
  inTransaction_ = false;
  layer_ = nullptr;
  return CloseDataset(dataset_, path_, error);
}

}  // namespace mornax::geo
