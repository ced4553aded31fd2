// The GeoTIFF written a strip at a time: cells put in any order land where
// they belong, and a value at -9999 moves nodata out of its way.
#include <gdal.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "geo/gdal_handles.h"
#include "geo/gdal_session.h"
#include "geo/raster_stream.h"
#include "support/temp_dir.h"

namespace mornax::geo {
namespace {

struct Written {
  std::vector<double> cells;
  double nodata = 0.0;
};

// A 3 x 600 grid (three strips of 256 rows) filled by `put`.
Written WriteAndRead(const testing::ScopedTempDir& dir,
                     const std::vector<std::pair<std::int64_t, double>>& put) {
  RasterStreamRequest request;
  request.path = dir.In("s.tif");
  request.grid.cols = 3;
  request.grid.rows = 600;
  request.grid.dx = request.grid.dy = 1.0;
  request.bands = {{"estimate", "", ""}};
  request.float64 = true;
  RasterStream stream;
  std::string error;
  EXPECT_TRUE(stream.Open(request, error)) << error;
  for (const auto& [cell, value] : put) {
    const double one[] = {value};
    EXPECT_TRUE(stream.Put(cell, one, error)) << error;
  }
  EXPECT_TRUE(stream.Close(error)) << error;
  EnsureGdal();
  DatasetHandle dataset(GDALOpen(request.path.c_str(), GA_ReadOnly));
  Written written;
  if (!dataset) return written;
  GDALRasterBandH band = GDALGetRasterBand(dataset.get(), 1);
  written.nodata = GDALGetRasterNoDataValue(band, nullptr);
  written.cells.resize(1800);
  EXPECT_EQ(
      GDALRasterIO(band, GF_Read, 0, 0, 3, 600, written.cells.data(), 3, 600, GDT_Float64, 0, 0),
      CE_None);
  return written;
}

TEST(RasterStream, CellsInAnyOrderAndNodataOutOfTheValuesWay) {
  testing::ScopedTempDir dir;
  // Bottom strip first, then the top, then the bottom strip again.
  const Written jumps = WriteAndRead(dir, {{1799, 1.5}, {0, 2.5}, {1000, 3.5}, {1798, 4.5}});
  ASSERT_EQ(jumps.cells.size(), 1800u);
  EXPECT_EQ(jumps.nodata, -9999.0);
  EXPECT_EQ(jumps.cells[1799], 1.5);
  EXPECT_EQ(jumps.cells[1798], 4.5);
  EXPECT_EQ(jumps.cells[0], 2.5);
  EXPECT_EQ(jumps.cells[1000], 3.5);
  EXPECT_EQ(jumps.cells[1], -9999.0);
  EXPECT_EQ(jumps.cells[900], -9999.0);  // a strip no value reached

  const Written clash = WriteAndRead(dir, {{5, -9999.0}, {700, 1.0}});
  const double lowest = std::numeric_limits<float>::lowest();
  EXPECT_EQ(clash.nodata, lowest);
  EXPECT_EQ(clash.cells[5], -9999.0);
  EXPECT_EQ(clash.cells[700], 1.0);
  EXPECT_EQ(clash.cells[6], lowest);
  EXPECT_EQ(clash.cells[1500], lowest);
}

}  // namespace
}  // namespace mornax::geo
