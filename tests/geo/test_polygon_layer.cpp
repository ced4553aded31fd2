// Polygons for blanking read from a vector source: rings of polygons and
// multipolygons (holes kept), transformed into the project's coordinate
// system, and sources without polygons refused; the axis unit of a system.
#include "geo/polygon_layer.h"

#include <gtest/gtest.h>

#include "geo/crs_axis_unit.h"
#include "geo/project_crs.h"
#include "support/temp_dir.h"

namespace mornax::geo {
namespace {

using testing::ScopedTempDir;

constexpr char kSquareWithHole[] = R"({"type": "FeatureCollection", "features": [
 {"type": "Feature", "properties": {}, "geometry": {"type": "Polygon", "coordinates": [
   [[0, 0], [100, 0], [100, 100], [0, 100], [0, 0]],
   [[40, 40], [60, 40], [60, 60], [40, 60], [40, 40]]]}},
 {"type": "Feature", "properties": {}, "geometry": {"type": "MultiPolygon", "coordinates": [
   [[[200, 0], [300, 0], [300, 50], [200, 0]]]]}},
 {"type": "Feature", "properties": {}, "geometry": {"type": "Point", "coordinates": [5, 5]}}]})";

TEST(PolygonLayer, ReadsEveryRingOfPolygonsAndMultipolygons) {
  ScopedTempDir dir;
  dir.Write("area.geojson", kSquareWithHole);
  std::vector<PolygonRing> rings;
  std::string error;
  ASSERT_TRUE(ReadPolygonRings(dir.In("area.geojson"), std::nullopt, rings, error)) << error;
  ASSERT_EQ(rings.size(), 3u);  // outer ring, hole, triangle; the point is no area
  EXPECT_EQ(rings[1].x[0], 40.0);
  EXPECT_EQ(rings[2].x[1], 300.0);

  dir.Write("points.geojson", R"({"type": "FeatureCollection", "features": [
    {"type": "Feature", "properties": {}, "geometry": {"type": "Point", "coordinates": [1, 2]}}]})");
  EXPECT_FALSE(ReadPolygonRings(dir.In("points.geojson"), std::nullopt, rings, error));
  EXPECT_NE(error.find("no polygon"), std::string::npos) << error;
  EXPECT_FALSE(ReadPolygonRings(dir.In("missing.gpkg"), std::nullopt, rings, error));
  EXPECT_NE(error.find("missing.gpkg"), std::string::npos) << error;
}

// Blanking reads polygons with the grid's clip reader: a source GDAL reads
// only in part and a vertex that is no number are refused, not taken for a
// smaller area.
TEST(PolygonLayer, DamagedSourcesAreRefusedAsTheClipRefusesThem) {
  ScopedTempDir dir;
  std::string shortened(kSquareWithHole);
  dir.Write("cut.geojson", shortened.substr(0, shortened.size() / 2));
  dir.Write("nan.geojson", R"({"type": "FeatureCollection", "features": [
    {"type": "Feature", "properties": {}, "geometry": {"type": "Polygon", "coordinates": [
      [[0, 0], [1e999, 0], [1, 1], [0, 0]]]}}]})");
  for (const char* name : {"cut.geojson", "nan.geojson"}) {
    std::vector<PolygonRing> rings;
    std::string error;
    EXPECT_FALSE(ReadPolygonRings(dir.In(name), std::nullopt, rings, error)) << name;
    EXPECT_NE(error.find(name), std::string::npos) << error;
    EXPECT_TRUE(rings.empty()) << name;
  }
}

TEST(PolygonLayer, RingsAreTransformedIntoTheProjectsSystem) {
  ScopedTempDir dir;
  // GeoJSON is in WGS 84 longitude, latitude; the project in UTM zone 33N.
  dir.Write("area.geojson", R"({"type": "FeatureCollection", "features": [
    {"type": "Feature", "properties": {}, "geometry": {"type": "Polygon", "coordinates": [
      [[15, 50], [15.1, 50], [15.1, 50.1], [15, 50]]]}}]})");
  std::string utm, error;
  ASSERT_TRUE(CrsToWkt("EPSG:32633", utm, error)) << error;
  std::vector<PolygonRing> rings;
  ASSERT_TRUE(ReadPolygonRings(dir.In("area.geojson"), utm, rings, error)) << error;
  ASSERT_EQ(rings.size(), 1u);
  // 15 degrees east is the zone's central meridian: x = 500 km.
  EXPECT_NEAR(rings[0].x[0], 500000.0, 1.0);
  EXPECT_NEAR(rings[0].y[0], 5538630.0, 100.0);
}

TEST(CrsAxisUnit, NamesTheUnitOfTheAxes) {
  const struct {
    const char* definition;
    const char* unit;
  } cases[] = {{"EPSG:32633", "m"}, {"EPSG:4326", "deg"}, {"EPSG:2227", "US ft"}};
  for (const auto& c : cases) {
    std::string wkt, error;
    ASSERT_TRUE(CrsToWkt(c.definition, wkt, error)) << error;
    EXPECT_EQ(CrsAxisUnit(wkt), c.unit) << c.definition;
  }
  EXPECT_EQ(CrsAxisUnit(""), "");
  EXPECT_EQ(CrsAxisUnit("no system"), "");
}

}  // namespace
}  // namespace mornax::geo
