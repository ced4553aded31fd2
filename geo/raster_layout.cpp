#include "geo/raster_layout.h"

#include <gdal_priv.h>

#include <array>
#include <cmath>
#include <memory>

#include "geo/crs_definition.h"
#include "geo/gdal_session.h"

namespace mornax::geo {
namespace {

struct DatasetCloser {
  void operator()(GDALDataset* dataset) const { GDALClose(GDALDataset::ToHandle(dataset)); }
};

}  // namespace

bool LayOutLikeRaster(const std::filesystem::path& raster, GridLayout& layout, std::string& crsWkt,
                      std::string& error) {
  layout = GridLayout{};
  crsWkt.clear();
  EnsureGdal();
  TakeGdalMessage();
  const std::string name = raster.string();
  const std::unique_ptr<GDALDataset, DatasetCloser> dataset(GDALDataset::FromHandle(
      GDALOpenEx(name.c_str(), GDAL_OF_RASTER | GDAL_OF_VERBOSE_ERROR, nullptr, nullptr, nullptr)));
  if (!dataset) {
    const std::string detail = TakeGdalMessage();
    error = "GDAL cannot read the raster " + name + (detail.empty() ? "" : ": " + detail);
    return false;
  }
  std::array<double, 6> transform{};
  if (dataset->GetGeoTransform(transform.data()) != CE_None) {
    error = name + " has no georeferencing (geotransform), so its cells have no position";
    return false;
  }
  if (transform[2] != 0.0 || transform[4] != 0.0) {
    error = name +
            " is rotated or sheared: its cells are no grid along x and y; warp it first "
            "(gdalwarp)";
    return false;
  }
  const double width = transform[1];
  const double height = transform[5];
  if (!std::isfinite(width) || !std::isfinite(height) || width == 0.0 || height == 0.0) {
    error = name + " has cells of no size in its georeferencing";
    return false;
  }
  layout.columns = dataset->GetRasterXSize();
  layout.rows = dataset->GetRasterYSize();
  layout.dx = std::abs(width);
  layout.dy = std::abs(height);
  // Rasters run from the top left; a flipped one is the same cells.
  layout.xmin =
      width > 0.0 ? transform[0] : transform[0] + width * static_cast<double>(layout.columns);
  layout.ymin =
      height < 0.0 ? transform[3] + height * static_cast<double>(layout.rows) : transform[3];
  if (!CheckLayout(layout, error)) {
    error = "the cells of " + name + ": " + error;
    return false;
  }
  if (const OGRSpatialReference* srs = dataset->GetSpatialRef()) {
    OGRSpatialReference copy(*srs);
    copy.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    IdentifyCrs(copy);
    crsWkt = CrsWkt(copy);
  }
  return true;
}

}  // namespace mornax::geo
