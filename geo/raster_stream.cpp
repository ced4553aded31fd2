#include "geo/raster_stream.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "geo/gdal_session.h"

namespace mornax::geo {
namespace {

constexpr int kTileSide = 256;
constexpr std::int64_t kBlockCache = 16 << 20;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

DatasetHandle CreateTiledTiff(const std::filesystem::path& path, const RegularGrid& grid,
                              const std::string& crsWkt, int bandCount, GDALDataType type,
                              bool compressed,
                              const std::vector<std::pair<std::string, std::string>>& metadata,
                              std::string& error) {
  if (grid.cols > std::numeric_limits<int>::max() || grid.rows > std::numeric_limits<int>::max()) {
    error = "the grid is too large for a raster";
    return nullptr;
  }
  EnsureGdal();
  GDALDriverH driver = GDALGetDriverByName("GTiff");
  if (driver == nullptr) {
    error = "this GDAL has no GTiff driver";
    return nullptr;
  }
  OptionList options;
  // Bands side by side per block keep one band's worth in memory while
  // writing; BIGTIFF when a classic TIFF could not hold the bands.
  options.Set("INTERLEAVE", "BAND");
  options.Set("BIGTIFF", "IF_SAFER");
  options.Set("TILED", "YES");
  options.Set("BLOCKXSIZE", std::to_string(kTileSide));
  options.Set("BLOCKYSIZE", std::to_string(kTileSide));
  if (compressed) {
    options.Set("COMPRESS", "DEFLATE");
    options.Set("PREDICTOR", "3");  // floating-point differences compress best
  }
  DatasetHandle dataset(GDALCreate(driver, path.c_str(), static_cast<int>(grid.cols),
                                   static_cast<int>(grid.rows), bandCount, type, options.items()));
  if (!dataset) {
    error = GdalFailure("cannot create " + path.filename().string());
    return nullptr;
  }
  double transform[6] = {grid.left(), grid.dx, 0.0, grid.top(), 0.0, -grid.dy};
  if (GDALSetGeoTransform(dataset.get(), transform) != CE_None) {
    error = GdalFailure("cannot set the geotransform of " + path.filename().string());
    return nullptr;
  }
  if (!crsWkt.empty() && GDALSetProjection(dataset.get(), crsWkt.c_str()) != CE_None) {
    error = GdalFailure("cannot set the coordinate system of " + path.filename().string());
    return nullptr;
  }
  for (const auto& [name, value] : metadata) {
    GDALSetMetadataItem(dataset.get(), name.c_str(), value.c_str(), nullptr);
  }
  return dataset;
}

void NameBand(GDALRasterBandH band, const RasterBand& info) {
  GDALSetDescription(band, info.name.c_str());
  if (!info.unit.empty()) GDALSetRasterUnitType(band, info.unit.c_str());
  if (!info.meaning.empty()) GDALSetMetadataItem(band, "MEANING", info.meaning.c_str(), nullptr);
}

bool BuildTiffOverviews(GDALDatasetH dataset, const RegularGrid& grid,
                        const std::filesystem::path& path, std::string& error) {
  const std::vector<int> factors = OverviewFactors(grid.cols, grid.rows);
  if (!factors.empty() &&
      GDALBuildOverviews(dataset, "AVERAGE", static_cast<int>(factors.size()), factors.data(), 0,
                         nullptr, nullptr, nullptr) != CE_None) {
    error = GdalFailure("cannot build the overviews of " + path.filename().string());
    return false;
  }
  return true;
}

bool RasterStream::Open(const RasterStreamRequest& request, std::string& error) {
  EnsureGdal();
  // GDAL's block cache need hold no more than a row of tiles of every band;
  // its default (a share of the machine's memory) would dwarf the strip.
  if (GDALGetCacheMax64() > kBlockCache) GDALSetCacheMax64(kBlockCache);
  request_ = request;
  request_.grid.pointCell = {};
  request_.stripRows = std::max<std::int64_t>(
      kTileSide, (request.stripRows + kTileSide - 1) / kTileSide * kTileSide);
  const RegularGrid& grid = request_.grid;
  dataset_ =
      CreateTiledTiff(request_.path, grid, request_.crsWkt, static_cast<int>(request_.bands.size()),
                      request_.float64 ? GDT_Float64 : GDT_Float32, true, request_.metadata, error);
  if (!dataset_) return false;
  nodata_ = NodataFor({});
  for (std::size_t b = 0; b < request_.bands.size(); ++b) {
    GDALRasterBandH band = GDALGetRasterBand(dataset_.get(), static_cast<int>(b) + 1);
    NameBand(band, request_.bands[b]);
  }
  const std::int64_t strips = (grid.rows + request_.stripRows - 1) / request_.stripRows;
  visited_.assign(static_cast<std::size_t>(strips), false);
  valuedCells_.assign(request_.bands.size(),
                      std::vector<bool>(static_cast<std::size_t>(grid.cellCount()), false));
  buffer_.assign(request_.bands.size(), {});
  strip_ = -1;
  valued_ = 0;
  nearNodata_ = false;
  return true;
}

std::int64_t RasterStream::StripRows(std::int64_t strip) const {
  return std::min(request_.stripRows, request_.grid.rows - strip * request_.stripRows);
}

bool RasterStream::StripIO(GDALRWFlag direction, std::int64_t strip, std::string& error) {
  const auto cols = static_cast<int>(request_.grid.cols);
  const auto rows = static_cast<int>(StripRows(strip));
  const auto first = static_cast<int>(strip * request_.stripRows);
  for (std::size_t b = 0; b < buffer_.size(); ++b) {
    GDALRasterBandH band = GDALGetRasterBand(dataset_.get(), static_cast<int>(b) + 1);
    if (GDALRasterIO(band, direction, 0, first, cols, rows, buffer_[b].data(), cols, rows,
                     GDT_Float64, 0, 0) != CE_None) {
      error = GdalFailure((direction == GF_Write ? "cannot write " : "cannot read back ") +
                          request_.path.filename().string());
      return false;
    }
  }
  return true;
}

bool RasterStream::Enter(std::int64_t strip, std::string& error) {
  const std::size_t cells = static_cast<std::size_t>(StripRows(strip) * request_.grid.cols);
  for (std::vector<double>& band : buffer_) band.assign(cells, kNaN);
  strip_ = strip;
  if (!visited_[static_cast<std::size_t>(strip)]) return true;
  // Entered again: what was written comes back, nodata as NaN.
  if (!StripIO(GF_Read, strip, error)) return false;
  const std::size_t first =
      static_cast<std::size_t>(strip * request_.stripRows * request_.grid.cols);
  for (std::size_t b = 0; b < buffer_.size(); ++b) {
    for (std::size_t i = 0; i < cells; ++i) {
      if (!valuedCells_[b][first + i]) buffer_[b][i] = kNaN;
    }
  }
  return true;
}

bool RasterStream::Flush(std::string& error) {
  if (strip_ < 0) return true;
  for (std::vector<double>& band : buffer_) {
    for (double& value : band) {
      if (std::isnan(value)) value = nodata_;
    }
  }
  if (!StripIO(GF_Write, strip_, error)) return false;
  visited_[static_cast<std::size_t>(strip_)] = true;
  strip_ = -1;
  return true;
}

bool RasterStream::Put(std::int64_t cell, std::span<const double> values, std::string& error) {
  const std::int64_t strip = cell / request_.grid.cols / request_.stripRows;
  if (strip != strip_ && !(Flush(error) && Enter(strip, error))) return false;
  const std::size_t offset =
      static_cast<std::size_t>(cell - strip * request_.stripRows * request_.grid.cols);
  bool any = false;
  for (std::size_t b = 0; b < buffer_.size() && b < values.size(); ++b) {
    const double value = values[b];
    buffer_[b][offset] = value;
    if (std::isnan(value)) continue;
    any = true;
    valuedCells_[b][static_cast<std::size_t>(cell)] = true;
    if (!nearNodata_ && NodataFor(values.subspan(b, 1)) != nodata_) nearNodata_ = true;
  }
  if (any) ++valued_;
  return true;
}

bool RasterStream::Close(std::string& error) {
  if (!dataset_) return true;
  if (!Flush(error)) return false;
  for (std::size_t strip = 0; strip < visited_.size(); ++strip) {
    if (visited_[strip]) continue;
    if (!Enter(static_cast<std::int64_t>(strip), error) || !Flush(error)) return false;
  }
  if (nearNodata_) {
    // A value lies at the preferred nodata: nodata becomes the lowest float
    // and the cells written with the preferred value are rewritten.
    nodata_ = static_cast<double>(std::numeric_limits<float>::lowest());
    for (std::size_t strip = 0; strip < visited_.size(); ++strip) {
      if (!Enter(static_cast<std::int64_t>(strip), error) || !Flush(error)) return false;
    }
  }
  for (std::size_t b = 0; b < buffer_.size(); ++b) {
    GDALSetRasterNoDataValue(GDALGetRasterBand(dataset_.get(), static_cast<int>(b) + 1), nodata_);
  }
  buffer_ = {};
  valuedCells_ = {};
  if (!BuildTiffOverviews(dataset_.get(), request_.grid, request_.path, error)) return false;
  return CloseDataset(dataset_, request_.path, error);
}

}  // namespace mornax::geo
