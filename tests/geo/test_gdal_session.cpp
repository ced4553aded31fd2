#include "geo/gdal_session.h"

#include <gdal.h>
#include <gtest/gtest.h>

namespace mornax::geo {
namespace {

TEST(GdalSession, RegistersDriversAndCapturesMessages) {
  EnsureGdal();
  EnsureGdal();  // a second call changes nothing
  EXPECT_NE(GDALGetDriverByName("GTiff"), nullptr);
  EXPECT_NE(GDALGetDriverByName("GPKG"), nullptr);
  EXPECT_EQ(GDALOpenEx("/nonexistent/folder/none.tif", GDAL_OF_RASTER | GDAL_OF_VERBOSE_ERROR,
                       nullptr, nullptr, nullptr),
            nullptr);
  EXPECT_FALSE(TakeGdalMessage().empty());
  EXPECT_TRUE(TakeGdalMessage().empty());  // taken once
}

}  // namespace
}  // namespace mornax::geo
