// Values of a raster's first band at arbitrary positions, interpolated
// bilinearly between the four nearest pixel centres.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mornax::geo {

class RasterSampler {
 public:
  // Opens the raster through GDAL and reads the pixels of band 1 that lie
  // under the rectangle [xmin, xmax] x [ymin, ymax] (one pixel more on every
  // side). False with `error` naming the file when GDAL cannot read it, the
  // raster has no georeferencing, or the part under the rectangle is too large
  // to hold.
  bool Load(const std::filesystem::path& raster, double xmin, double ymin, double xmax, double ymax,
            std::string& error);

  // The bilinear value at (x, y). Pixels holding the band's nodata value (or
  // NaN) leave the weights of the others; false when (x, y) lies outside the
  // raster or no pixel around it has a value.
  bool Sample(double x, double y, double& value) const;

 private:
  std::array<double, 6> inverse_{};  // map position -> pixel position
  std::int64_t width_ = 0;           // of the whole raster
  std::int64_t height_ = 0;
  std::int64_t left_ = 0;  // the window held, in pixels of the raster
  std::int64_t top_ = 0;
  std::int64_t columns_ = 0;
  std::int64_t rows_ = 0;
  std::vector<double> pixels_;  // the window, row by row
  bool hasNoData_ = false;
  double noData_ = 0.0;
};

}  // namespace mornax::geo
