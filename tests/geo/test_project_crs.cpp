// The project's coordinate-system sidecar: stored from codes, files and WKT,
// read back, described, compared and removed; definitions GDAL cannot parse
// are refused and leave the old sidecar as it was.
#include "geo/project_crs.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace mornax::geo {
namespace {

using testing::ScopedTempDir;

TEST(ProjectCrs, StoresAnEpsgCodeAsEsriWktAndReadsItBack) {
  ScopedTempDir dir;
  EXPECT_EQ(ProjectCrsPath("site/P.mnx"), std::filesystem::path("site/P.prj"));
  std::string error;
  EXPECT_FALSE(ReadProjectCrs(dir.In("P.mnx"), error).has_value());
  EXPECT_EQ(error, "");

  ASSERT_TRUE(StoreProjectCrs(dir.In("P.mnx"), "EPSG:32633", error)) << error;
  const std::string stored = dir.Read("P.prj");
  EXPECT_TRUE(stored.starts_with("PROJCS[\"WGS_1984_UTM_Zone_33N\"")) << stored;
  EXPECT_TRUE(stored.ends_with("]\n"));

  const auto wkt = ReadProjectCrs(dir.In("P.mnx"), error);
  ASSERT_TRUE(wkt.has_value()) << error;
  EXPECT_NE(DescribeCrs(*wkt).find("EPSG:32633"), std::string::npos) << DescribeCrs(*wkt);

  std::string standard;
  ASSERT_TRUE(CrsToWkt("EPSG:32633", standard, error));
  EXPECT_TRUE(SameCrs(*wkt, standard));
  std::string geographic;
  ASSERT_TRUE(CrsToWkt("EPSG:4326", geographic, error));
  EXPECT_FALSE(SameCrs(*wkt, geographic));
  EXPECT_FALSE(SameCrs(*wkt, "not a coordinate system"));
}

TEST(ProjectCrs, TakesPrjFilesAndWktTextAndFindsAnUpperCaseSidecar) {
  ScopedTempDir dir;
  std::string error;
  std::string wgs84;
  ASSERT_TRUE(CrsToWkt("EPSG:4326", wgs84, error));
  dir.Write("wells.prj", wgs84);
  ASSERT_TRUE(StoreProjectCrs(dir.In("P.mnx"), dir.In("wells.prj"), error)) << error;
  EXPECT_EQ(dir.Read("P.prj"), wgs84 + "\n");

  std::string lambert;
  ASSERT_TRUE(CrsToWkt("EPSG:2154", lambert, error));
  ASSERT_TRUE(StoreProjectCrs(dir.In("P.mnx"), lambert, error)) << error;
  EXPECT_TRUE(SameCrs(*ReadProjectCrs(dir.In("P.mnx"), error), lambert));

  ASSERT_TRUE(RemoveProjectCrs(dir.In("P.mnx"), error));
  dir.Write("Q.PRJ", wgs84);
  const auto found = ReadProjectCrs(dir.In("Q.mnx"), error);
  ASSERT_TRUE(found.has_value()) << error;
  EXPECT_TRUE(SameCrs(*found, wgs84));
  ASSERT_TRUE(RemoveProjectCrs(dir.In("Q.mnx"), error));
  EXPECT_FALSE(dir.Exists("Q.PRJ"));
}

TEST(ProjectCrs, RefusesWhatGdalCannotParseAndKeepsTheOldSidecar) {
  ScopedTempDir dir;
  std::string error;
  ASSERT_TRUE(StoreProjectCrs(dir.In("P.mnx"), "EPSG:32633", error));
  const std::string before = dir.Read("P.prj");

  dir.Write("broken.prj", "PROJCS[\"half");
  for (const std::string& definition :
       {std::string("EPSG:999999"), dir.In("broken.prj"), dir.In("missing.prj"),
        std::string("metres please"), std::string()}) {
    error.clear();
    EXPECT_FALSE(StoreProjectCrs(dir.In("P.mnx"), definition, error)) << definition;
    if (!definition.empty()) {
      EXPECT_NE(error.find(definition), std::string::npos) << error;
    }
    EXPECT_EQ(dir.Read("P.prj"), before) << definition;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            2);  // no temporary file left behind

  // A damaged sidecar is reported, not taken for "no coordinate system".
  dir.Write("P.prj", "GEOGCS[");
  EXPECT_FALSE(ReadProjectCrs(dir.In("P.mnx"), error).has_value());
  EXPECT_NE(error.find("P.prj"), std::string::npos) << error;

  ASSERT_TRUE(RemoveProjectCrs(dir.In("P.mnx"), error));
  EXPECT_FALSE(dir.Exists("P.prj"));
  EXPECT_TRUE(RemoveProjectCrs(dir.In("P.mnx"), error));  // nothing to remove is no fault
}

}  // namespace
}  // namespace mornax::geo
