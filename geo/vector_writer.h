// One layer of points or lines with real-valued attributes, written through
// a GDAL vector driver (GeoPackage, GeoJSON, Shapefile, CSV).
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "geo/contours.h"
#include "geo/gdal_handles.h"

namespace mornax::geo {

enum class VectorGeometry { kNone, kPoint, kLine };

class VectorWriter {
 public:
  // A creation option of the layer, set before Open: RFC7946=YES makes the
  // GeoJSON driver write WGS 84, transforming the coordinates.
  void SetLayerOption(const char* key, const std::string& value) { layerOptions_.Set(key, value); }

  // Creates `path` with the GDAL driver `driverName` and one layer with the
  // given real fields. `crsWkt` empty: no coordinate system. False with
  // `error` set on any fault.
  bool Open(const std::filesystem::path& path, const char* driverName, const std::string& layerName,
            VectorGeometry geometry, const std::string& crsWkt,
            const std::vector<std::string>& fields, std::string& error);

  // One feature; `values` holds one entry per field, NaN for a null.
  bool AddPoint(double x, double y, std::span<const double> values, std::string& error);
  bool AddLine(std::span<const ContourPoint> points, std::span<const double> values,
               std::string& error);
  bool AddRecord(std::span<const double> values, std::string& error);

  // Commits and closes; false when GDAL could not finish the file.
  bool Close(std::string& error);

 private:
  bool Add(OGRGeometryH geometry, std::span<const double> values, std::string& error);

  std::filesystem::path path_;
  OptionList layerOptions_;
  DatasetHandle dataset_;
  OGRLayerH layer_ = nullptr;
  bool inTransaction_ = false;
};

}  // namespace mornax::geo
