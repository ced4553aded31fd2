// Rasters of a regular grid written through GDAL: a GeoTIFF of Float32 bands
// (DEFLATE-compressed tiles with overviews, or a Cloud-Optimized GeoTIFF) or
// an ESRI ASCII grid of one band, with nodata, geotransform (node = cell
// centre), coordinate system, band descriptions, units and metadata.
#pragma once

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "geo/regular_grid.h"

namespace mornax::geo {

// Fills `cells` (one value per cell of the grid, row 0 at the top) with band
// `band` of the raster; NaN marks nodata. Called once per band, so that only
// one band is held at a time.
using BandFiller = std::function<void(std::size_t band, std::vector<double>& cells)>;

struct RasterBand {
  std::string name;     // the band's description
  std::string unit;     // its unit type; empty: none
  std::string meaning;  // a sentence kept as the band's metadata; empty: none
};

struct RasterRequest {
  std::filesystem::path path;
  const RegularGrid* grid = nullptr;
  std::string crsWkt;                                         // empty: no coordinate system
  std::vector<RasterBand> bands;                              // one per band
  std::vector<std::pair<std::string, std::string>> metadata;  // of the dataset
  bool cloudOptimized = false;                                // GeoTIFF: through GDAL's COG driver
  BandFiller fill;
};

// The nodata value written for a band: -9999, or the lowest float when a
// value of the band would be written as -9999.
double NodataFor(std::span<const double> cells);

// The overview factors (2, 4, ...) that bring the grid's longer side down
// to one tile of 256 cells; none for a grid that fits in a tile.
std::vector<int> OverviewFactors(std::int64_t cols, std::int64_t rows);

// A GeoTIFF, one Float32 band per entry of `bands`: DEFLATE-compressed
// 256 x 256 tiles with averaged overviews, or with `cloudOptimized` the same
// laid out by GDAL's COG driver (staged in a plain GeoTIFF beside `path`,
// removed afterwards). False with `error` set on any fault.
bool WriteGeoTiff(const RasterRequest& request, std::string& error);

// An ESRI ASCII grid of the first band (xllcorner = left edge of the grid),
// values with the five decimals of the result files. Its cells must be
// square (dx equal to dy within a millionth).
bool WriteAsciiGrid(const RasterRequest& request, std::string& error);

}  // namespace mornax::geo
