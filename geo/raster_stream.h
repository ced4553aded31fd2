// A GeoTIFF written a strip of rows at a time, for results that arrive node
// by node in network order: only the strip being filled is held, so a grid
// of any size is written in flat memory. Same file as WriteGeoTiff writes
// (tiled, DEFLATE, overviews, nodata, system, bands and metadata), in
// Float32 or Float64.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "geo/gdal_handles.h"
#include "geo/raster_writer.h"
#include "geo/regular_grid.h"

namespace mornax::geo {

struct RasterStreamRequest {
  std::filesystem::path path;
  RegularGrid grid;    // the geometry (pointCell is not read)
  std::string crsWkt;  // empty: no coordinate system
  std::vector<RasterBand> bands;
  std::vector<std::pair<std::string, std::string>> metadata;
  bool float64 = false;          // Float64 bands instead of Float32
  std::int64_t stripRows = 256;  // rows held at a time (a multiple of the tile side)
};

// A tiled GeoTIFF of `bandCount` bands of `type`, with the geotransform, the
// coordinate system and the dataset's metadata set; DEFLATE tiles with
// `compressed`. Null with `error` set on a fault.
DatasetHandle CreateTiledTiff(const std::filesystem::path& path, const RegularGrid& grid,
                              const std::string& crsWkt, int bandCount, GDALDataType type,
                              bool compressed,
                              const std::vector<std::pair<std::string, std::string>>& metadata,
                              std::string& error);

// Sets a band's description, unit and meaning.
void NameBand(GDALRasterBandH band, const RasterBand& info);

// Averaged overviews down to one tile (OverviewFactors); false with `error`.
bool BuildTiffOverviews(GDALDatasetH dataset, const RegularGrid& grid,
                        const std::filesystem::path& path, std::string& error);

class RasterStream {
 public:
  RasterStream() = default;
  RasterStream(const RasterStream&) = delete;
  RasterStream& operator=(const RasterStream&) = delete;

  bool Open(const RasterStreamRequest& request, std::string& error);

  // The values of the node in `cell` (row * cols + col), one per band; NaN
  // is nodata. Cells may come in any order; a strip left and entered again
  // is read back, so orders that jump between strips cost time, never
  // correctness.
  bool Put(std::int64_t cell, std::span<const double> values, std::string& error);

  // Writes the last strip and every strip no value reached (nodata), chooses
  // the nodata value as NodataFor does (rewriting nodata cells when a value
  // of the raster lies at -9999), builds the overviews and closes the file.
  bool Close(std::string& error);

  std::int64_t valuedCells() const { return valued_; }

 private:
  bool Flush(std::string& error);
  bool Enter(std::int64_t strip, std::string& error);
  bool StripIO(GDALRWFlag direction, std::int64_t strip, std::string& error);
  std::int64_t StripRows(std::int64_t strip) const;

  RasterStreamRequest request_;
  DatasetHandle dataset_;
  std::vector<std::vector<double>> buffer_;     // per band, the current strip's cells
  std::vector<bool> visited_;                   // per strip: written at least once
  std::vector<std::vector<bool>> valuedCells_;  // per band and cell: a value (not NaN) was put
  std::int64_t strip_ = -1;                     // the strip in the buffer
  std::int64_t valued_ = 0;
  bool nearNodata_ = false;  // a value would read as the preferred nodata
  double nodata_ = 0.0;
};

}  // namespace mornax::geo
