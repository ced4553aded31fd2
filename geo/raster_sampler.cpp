#include "geo/raster_sampler.h"

#include <gdal_priv.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "geo/gdal_session.h"

namespace mornax::geo {
namespace {

// The window of pixels held at once; a larger one is refused, not allocated.
constexpr double kMostWindowPixels = 2e8;

struct DatasetCloser {
  void operator()(GDALDataset* dataset) const { GDALClose(GDALDataset::ToHandle(dataset)); }
};

std::string WithDetail(std::string message) {
  const std::string detail = TakeGdalMessage();
  return detail.empty() ? message : message + ": " + detail;
}

}  // namespace

bool RasterSampler::Load(const std::filesystem::path& raster, double xmin, double ymin, double xmax,
                         double ymax, std::string& error) {
  EnsureGdal();
  TakeGdalMessage();
  const std::string name = raster.string();
  const std::unique_ptr<GDALDataset, DatasetCloser> dataset(GDALDataset::FromHandle(
      GDALOpenEx(name.c_str(), GDAL_OF_RASTER | GDAL_OF_VERBOSE_ERROR, nullptr, nullptr, nullptr)));
  if (!dataset) {
    error = WithDetail("GDAL cannot read the raster " + name);
    return false;
  }
  if (dataset->GetRasterCount() < 1) {
    error = name + " has no raster band";
    return false;
  }
  std::array<double, 6> forward{};
  if (dataset->GetGeoTransform(forward.data()) != CE_None ||
      !GDALInvGeoTransform(forward.data(), inverse_.data())) {
    error = name + " has no usable georeferencing (geotransform)";
    return false;
  }
  width_ = dataset->GetRasterXSize();
  height_ = dataset->GetRasterYSize();
  GDALRasterBand* band = dataset->GetRasterBand(1);
  int noDataSet = 0;
  noData_ = band->GetNoDataValue(&noDataSet);
  hasNoData_ = noDataSet != 0;

  // The pixels under the rectangle: its corners in pixel positions, one pixel
  // added on every side for the bilinear neighbours, cut to the raster.
  double low[2] = {INFINITY, INFINITY};
  double high[2] = {-INFINITY, -INFINITY};
  for (const double x : {xmin, xmax}) {
    for (const double y : {ymin, ymax}) {
      const double pixel[2] = {inverse_[0] + inverse_[1] * x + inverse_[2] * y,
                               inverse_[3] + inverse_[4] * x + inverse_[5] * y};
      for (int k = 0; k < 2; ++k) {
        low[k] = std::min(low[k], pixel[k]);
        high[k] = std::max(high[k], pixel[k]);
      }
    }
  }
  const double left = std::clamp(std::floor(low[0]) - 1.0, 0.0, static_cast<double>(width_));
  const double right = std::clamp(std::ceil(high[0]) + 1.0, 0.0, static_cast<double>(width_));
  const double top = std::clamp(std::floor(low[1]) - 1.0, 0.0, static_cast<double>(height_));
  const double bottom = std::clamp(std::ceil(high[1]) + 1.0, 0.0, static_cast<double>(height_));
  left_ = static_cast<std::int64_t>(left);
  top_ = static_cast<std::int64_t>(top);
  columns_ = static_cast<std::int64_t>(right - left);
  rows_ = static_cast<std::int64_t>(bottom - top);
  pixels_.clear();
  if (columns_ <= 0 || rows_ <= 0) return true;  // the grid misses the raster
  if (static_cast<double>(columns_) * static_cast<double>(rows_) > kMostWindowPixels) {
    error = "the part of " + name + " under the grid is too large to read (" +
            std::to_string(columns_) + " x " + std::to_string(rows_) + " pixels)";
    return false;
  }
  pixels_.resize(static_cast<std::size_t>(columns_ * rows_));
  if (band->RasterIO(GF_Read, static_cast<int>(left_), static_cast<int>(top_),
                     static_cast<int>(columns_), static_cast<int>(rows_), pixels_.data(),
                     static_cast<int>(columns_), static_cast<int>(rows_), GDT_Float64, 0, 0,
                     nullptr) != CE_None) {
    error = WithDetail("GDAL cannot read the pixels of " + name);
    pixels_.clear();
    return false;
  }
  return true;
}

bool RasterSampler::Sample(double x, double y, double& value) const {
  const double px = inverse_[0] + inverse_[1] * x + inverse_[2] * y;
  const double py = inverse_[3] + inverse_[4] * x + inverse_[5] * y;
  if (!(px >= 0.0 && py >= 0.0 && px <= static_cast<double>(width_) &&
        py <= static_cast<double>(height_))) {
    return false;
  }
  // Pixel centres lie at half-pixel positions; within half a pixel of the
  // border the edge pixels extend outward.
  const double u = px - 0.5;
  const double v = py - 0.5;
  const double column0 = std::floor(u);
  const double row0 = std::floor(v);
  const double fx = u - column0;
  const double fy = v - row0;
  double sum = 0.0;
  double weights = 0.0;
  for (int dr = 0; dr < 2; ++dr) {
    for (int dc = 0; dc < 2; ++dc) {
      const double weight = (dc == 0 ? 1.0 - fx : fx) * (dr == 0 ? 1.0 - fy : fy);
      if (weight == 0.0) continue;
      const auto column =
          std::clamp(static_cast<std::int64_t>(column0) + dc, std::int64_t{0}, width_ - 1);
      const auto row =
          std::clamp(static_cast<std::int64_t>(row0) + dr, std::int64_t{0}, height_ - 1);
      const std::int64_t c = column - left_;
      const std::int64_t r = row - top_;
      if (c < 0 || r < 0 || c >= columns_ || r >= rows_) return false;  // outside the window
      const double pixel = pixels_[static_cast<std::size_t>(r * columns_ + c)];
      if (std::isnan(pixel) || (hasNoData_ && pixel == noData_)) continue;
      sum += weight * pixel;
      weights += weight;
    }
  }
  if (weights <= 0.0) return false;
  value = sum / weights;
  return true;
}

}  // namespace mornax::geo
