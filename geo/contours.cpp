#include "geo/contours.h"

#include <gdal.h>
#include <gdal_alg.h>
#include <ogr_api.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

#include "geo/gdal_handles.h"
#include "geo/gdal_session.h"

namespace mornax::geo {
namespace {

std::string LevelText(std::span<const double> levels) {
  std::string text;
  char number[32];
  for (double level : levels) {
    std::snprintf(number, sizeof number, "%.17g", level);
    if (!text.empty()) text += ',';
    text += number;
  }
  return text;
}

// A one-band in-memory raster over `values` (no copy) with the grid's
// geotransform and NaN as nodata.
DatasetHandle SurfaceDataset(std::span<const double> values, const RegularGrid& grid,
                             std::string& error) {
  GDALDriverH memory = GDALGetDriverByName("MEM");
  if (memory == nullptr) {
    error = "GDAL has no in-memory raster driver";
    return nullptr;
  }
  DatasetHandle dataset(GDALCreate(memory, "", static_cast<int>(grid.cols),
                                   static_cast<int>(grid.rows), 0, GDT_Float64, nullptr));
  if (!dataset) {
    error = GdalFailure("cannot make an in-memory raster");
    return nullptr;
  }
  char pointer[64];
  // GDAL only reads through the pointer: the band is read by the contour
  // generator and never written.
  std::snprintf(pointer, sizeof pointer, "%p", static_cast<const void*>(values.data()));
  OptionList options;
  options.Set("DATAPOINTER", pointer);
  if (GDALAddBand(dataset.get(), GDT_Float64, options.items()) != CE_None) {
    error = GdalFailure("cannot make an in-memory raster band");
    return nullptr;
  }
  double transform[6] = {grid.left(), grid.dx, 0.0, grid.top(), 0.0, -grid.dy};
  GDALSetGeoTransform(dataset.get(), transform);
  GDALSetRasterNoDataValue(GDALGetRasterBand(dataset.get(), 1),
                           std::numeric_limits<double>::quiet_NaN());
  return dataset;
}

}  // namespace

bool TraceContours(std::span<const double> values, const RegularGrid& grid,
                   std::span<const double> levels, std::vector<ContourLine>& lines,
                   std::string& error) {
  lines.clear();
  EnsureGdal();
  if (grid.cols < 1 || grid.rows < 1 ||
      values.size() != static_cast<std::size_t>(grid.cellCount())) {
    error = "the surface does not fill its grid";
    return false;
  }
  if (grid.cols > std::numeric_limits<int>::max() || grid.rows > std::numeric_limits<int>::max()) {
    error = "the grid is too large for a raster";
    return false;
  }
  if (levels.empty() || grid.cols < 2 || grid.rows < 2) return true;

  DatasetHandle surface = SurfaceDataset(values, grid, error);
  if (!surface) return false;

  GDALDriverH vectorMemory = GDALGetDriverByName("Memory");
  if (vectorMemory == nullptr) {
    error = "GDAL has no in-memory vector driver";
    return false;
  }
  DatasetHandle target(GDALCreate(vectorMemory, "", 0, 0, 0, GDT_Unknown, nullptr));
  if (!target) {
    error = GdalFailure("cannot make an in-memory vector layer");
    return false;
  }
  OGRLayerH layer =
      GDALDatasetCreateLayer(target.get(), "contour", nullptr, wkbLineString, nullptr);
  OGRFieldDefnH field = OGR_Fld_Create("level", OFTReal);
  const bool fieldMade = layer != nullptr && OGR_L_CreateField(layer, field, TRUE) == OGRERR_NONE;
  OGR_Fld_Destroy(field);
  if (!fieldMade) {
    error = GdalFailure("cannot make an in-memory vector layer");
    return false;
  }

  OptionList options;
  options.Set("FIXED_LEVELS", LevelText(levels));
  options.Set("ELEV_FIELD", "0");
  options.Set("NODATA", "nan");
  if (GDALContourGenerateEx(GDALGetRasterBand(surface.get(), 1), layer, options.items(), nullptr,
                            nullptr) != CE_None) {
    error = GdalFailure("contour generation failed");
    return false;
  }

  OGR_L_ResetReading(layer);
  while (FeatureHandle feature{OGR_L_GetNextFeature(layer)}) {
    OGRGeometryH geometry = OGR_F_GetGeometryRef(feature.get());
    if (geometry == nullptr) continue;
    ContourLine line;
    line.level = OGR_F_GetFieldAsDouble(feature.get(), 0);
    const int count = OGR_G_GetPointCount(geometry);
    line.points.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
      line.points.push_back({OGR_G_GetX(geometry, k), OGR_G_GetY(geometry, k)});
    }
    lines.push_back(std::move(line));
  }
  return true;
}

}  // namespace mornax::geo
