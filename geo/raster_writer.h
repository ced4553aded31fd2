// Rasters of a regular grid written through GDAL: a GeoTIFF of Float32 bands
// or an ESRI ASCII grid of one band, with nodata, geotransform (node = cell
// centre) and coordinate system.
#pragma once

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "geo/regular_grid.h"

namespace mornax::geo {

// Fills `cells` (one value per cell of the grid, row 0 at the top) with band
// `band` of the raster; NaN marks nodata. Called once per band, so that only
// one band is held at a time.
using BandFiller = std::function<void(std::size_t band, std::vector<double>& cells)>;

struct RasterRequest {
  std::filesystem::path path;
  const RegularGrid* grid = nullptr;
  std::string crsWkt;                  // empty: no coordinate system
  std::vector<std::string> bandNames;  // one per band
  BandFiller fill;
};

// The nodata value written for a band: -9999, or the lowest float when a
// value of the band would be written as -9999.
double NodataFor(std::span<const double> cells);

// A GeoTIFF, one Float32 band per name. False with `error` set on any fault.
bool WriteGeoTiff(const RasterRequest& request, std::string& error);

// An ESRI ASCII grid of the first band (xllcorner = left edge of the grid),
// values with the five decimals of the result files. Its cells must be
// square (dx equal to dy within a millionth).
bool WriteAsciiGrid(const RasterRequest& request, std::string& error);

}  // namespace mornax::geo
