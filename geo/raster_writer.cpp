#include "geo/raster_writer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <system_error>

#include "geo/gdal_handles.h"
#include "geo/gdal_session.h"
#include "geo/raster_stream.h"

namespace mornax::geo {
namespace {

constexpr double kPreferredNodata = -9999.0;
constexpr int kTileSide = 256;

// Replaces NaN by the band's nodata value and returns that value.
double MarkNodata(std::vector<double>& cells) {
  const double nodata = NodataFor(cells);
  for (double& value : cells) {
    if (std::isnan(value)) value = nodata;
  }
  return nodata;
}

bool Describe(GDALDatasetH dataset, const RasterRequest& request, std::string& error) {
  const RegularGrid& grid = *request.grid;
  double transform[6] = {grid.left(), grid.dx, 0.0, grid.top(), 0.0, -grid.dy};
  if (GDALSetGeoTransform(dataset, transform) != CE_None) {
    error = GdalFailure("cannot set the geotransform of " + request.path.filename().string());
    return false;
  }
  if (!request.crsWkt.empty() && GDALSetProjection(dataset, request.crsWkt.c_str()) != CE_None) {
    error = GdalFailure("cannot set the coordinate system of " + request.path.filename().string());
    return false;
  }
  return true;
}

// Fills band `index` of `dataset` from the request; GDAL converts to the
// band's type. `named`: the band carries its layer name.
bool WriteBand(GDALDatasetH dataset, const RasterRequest& request, std::size_t index, bool named,
               std::vector<double>& cells, std::string& error) {
  const RegularGrid& grid = *request.grid;
  cells.assign(static_cast<std::size_t>(grid.cellCount()),
               std::numeric_limits<double>::quiet_NaN());
  request.fill(index, cells);
  const double nodata = MarkNodata(cells);
  GDALRasterBandH band = GDALGetRasterBand(dataset, static_cast<int>(index) + 1);
  GDALSetRasterNoDataValue(band, nodata);
  if (named) NameBand(band, request.bands[index]);
  if (GDALRasterIO(band, GF_Write, 0, 0, static_cast<int>(grid.cols), static_cast<int>(grid.rows),
                   cells.data(), static_cast<int>(grid.cols), static_cast<int>(grid.rows),
                   GDT_Float64, 0, 0) != CE_None) {
    error = GdalFailure("cannot write " + request.path.filename().string());
    return false;
  }
  return true;
}

bool CheckSize(const RasterRequest& request, std::string& error) {
  const RegularGrid& grid = *request.grid;
  if (grid.cols > std::numeric_limits<int>::max() || grid.rows > std::numeric_limits<int>::max()) {
    error = "the grid is too large for a raster";
    return false;
  }
  return true;
}

GDALDriverH Driver(const char* name, std::string& error) {
  EnsureGdal();
  GDALDriverH driver = GDALGetDriverByName(name);
  if (driver == nullptr) error = std::string("this GDAL has no ") + name + " driver";
  return driver;
}

// A tiled GeoTIFF at `path` with every band, the metadata and (with
// `compressed`) DEFLATE tiles and overviews; without, the plain staging
// copy a COG is made from.
bool WriteTiledTiff(const RasterRequest& request, const std::filesystem::path& path,
                    bool compressed, std::string& error) {
  if (!CheckSize(request, error)) return false;
  const RegularGrid& grid = *request.grid;
  DatasetHandle dataset =
      CreateTiledTiff(path, grid, request.crsWkt, static_cast<int>(request.bands.size()),
                      GDT_Float32, compressed, request.metadata, error);
  if (!dataset) return false;
  {
    std::vector<double> cells;
    for (std::size_t band = 0; band < request.bands.size(); ++band) {
      if (!WriteBand(dataset.get(), request, band, true, cells, error)) return false;
    }
  }
  if (compressed && !BuildTiffOverviews(dataset.get(), grid, path, error)) return false;
  return CloseDataset(dataset, path, error);
}

// Removes the staging copy of a COG and whatever GDAL kept beside it.
class StagingFile {
 public:
  explicit StagingFile(std::filesystem::path path) : path_(std::move(path)) {}
  ~StagingFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
    std::filesystem::remove(path_.string() + ".aux.xml", ignored);
  }
  StagingFile(const StagingFile&) = delete;
  StagingFile& operator=(const StagingFile&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

bool WriteCloudOptimized(const RasterRequest& request, std::string& error) {
  GDALDriverH driver = Driver("COG", error);
  if (driver == nullptr) return false;
  // Beside the output under its temporary stem, so that whatever removes
  // the output's temporaries removes the staging copy too.
  std::filesystem::path staged = request.path;
  staged.replace_extension(".staging" + request.path.extension().string());
  const StagingFile staging(staged);
  if (!WriteTiledTiff(request, staging.path(), false, error)) return false;
  DatasetHandle source(GDALOpen(staging.path().c_str(), GA_ReadOnly));
  if (!source) {
    error = GdalFailure("cannot read back " + staging.path().filename().string());
    return false;
  }
  OptionList options;
  options.Set("COMPRESS", "DEFLATE");
  options.Set("PREDICTOR", "YES");
  options.Set("BLOCKSIZE", std::to_string(kTileSide));
  options.Set("OVERVIEWS", "AUTO");
  options.Set("RESAMPLING", "AVERAGE");
  options.Set("BIGTIFF", "IF_SAFER");
  DatasetHandle written(GDALCreateCopy(driver, request.path.c_str(), source.get(), FALSE,
                                       options.items(), nullptr, nullptr));
  if (!written) {
    error = GdalFailure("cannot write " + request.path.filename().string());
    return false;
  }
  return CloseDataset(written, request.path, error);
}

}  // namespace

double NodataFor(std::span<const double> cells) {
  // As a float or with five decimals, values this near would read as -9999.
  const bool taken = std::any_of(cells.begin(), cells.end(), [](double value) {
    return std::abs(value - kPreferredNodata) < 1e-3;
  });
  return taken ? static_cast<double>(std::numeric_limits<float>::lowest()) : kPreferredNodata;
}

std::vector<int> OverviewFactors(std::int64_t cols, std::int64_t rows) {
  const std::int64_t side = std::max(cols, rows);
  std::vector<int> factors;
  for (std::int64_t factor = 1; (side + factor - 1) / factor > kTileSide && factor < (1 << 30);) {
    factor *= 2;
    factors.push_back(static_cast<int>(factor));
  }
  return factors;
}

bool WriteGeoTiff(const RasterRequest& request, std::string& error) {
  if (request.cloudOptimized) return WriteCloudOptimized(request, error);
  return WriteTiledTiff(request, request.path, true, error);
}

bool WriteAsciiGrid(const RasterRequest& request, std::string& error) {
  if (!CheckSize(request, error)) return false;
  const RegularGrid& grid = *request.grid;
  if (std::abs(grid.dx - grid.dy) > 1e-6 * std::max(grid.dx, grid.dy)) {
    error = "an ESRI ASCII grid needs square cells; this grid's cells are " +
            std::to_string(grid.dx) + " x " + std::to_string(grid.dy) + " (export to .tif)";
    return false;
  }
  GDALDriverH driver = Driver("AAIGrid", error);
  GDALDriverH memory = Driver("MEM", error);
  if (driver == nullptr || memory == nullptr) return false;
  // Staged in double precision, so that the text keeps the result files'
  // digits; unnamed, since the grid format has no place for a band name.
  DatasetHandle staging(GDALCreate(memory, "", static_cast<int>(grid.cols),
                                   static_cast<int>(grid.rows), 1, GDT_Float64, nullptr));
  if (!staging) {
    error = GdalFailure("cannot stage " + request.path.filename().string());
    return false;
  }
  std::vector<double> cells;
  if (!Describe(staging.get(), request, error) ||
      !WriteBand(staging.get(), request, 0, false, cells, error)) {
    return false;
  }
  cells = {};
  OptionList options;
  options.Set("FORCE_CELLSIZE", "TRUE");  // dx and dy agree within rounding
  options.Set("DECIMAL_PRECISION", "5");
  DatasetHandle written(GDALCreateCopy(driver, request.path.c_str(), staging.get(), FALSE,
                                       options.items(), nullptr, nullptr));
  if (!written) {
    error = GdalFailure("cannot write " + request.path.filename().string());
    return false;
  }
  return CloseDataset(written, request.path, error);
}

}  // namespace mornax::geo
