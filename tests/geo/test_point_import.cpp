// Points imported from vector sources that GDAL itself writes in the test
// (CSV, GeoPackage, Shapefile, GeoJSON): fields, geometries, drop reasons,
// transformations between EPSG systems, refusals, and the data section
// written with the network kept byte for byte.
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "geo/gdal_session.h"
#include "geo/point_import.h"
#include "geo/project_crs.h"
#include "support/temp_dir.h"

namespace mornax::geo {
namespace {

using testing::ScopedTempDir;

struct Feature {
  std::vector<std::pair<std::string, std::string>> fields;  // name, value ("" = null)
  std::string wkt;                                          // "" = no geometry
};

// Writes one layer with string or real fields through the named GDAL driver.
void WriteSource(const std::string& driverName, const std::string& name, const std::string& layer,
                 OGRwkbGeometryType type, int epsg, const std::vector<std::string>& fieldNames,
                 const std::vector<Feature>& features, OGRFieldType fieldType = OFTReal) {
  EnsureGdal();
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName.c_str());
  ASSERT_NE(driver, nullptr);
  GDALDataset* dataset = driver->Create(name.c_str(), 0, 0, 0, GDT_Unknown, nullptr);
  ASSERT_NE(dataset, nullptr) << TakeGdalMessage();
  OGRSpatialReference srs;
  if (epsg > 0) srs.importFromEPSG(epsg);
  OGRLayer* out = dataset->CreateLayer(layer.c_str(), epsg > 0 ? &srs : nullptr, type, nullptr);
  ASSERT_NE(out, nullptr) << TakeGdalMessage();
  for (const std::string& field : fieldNames) {
    OGRFieldDefn definition(field.c_str(), fieldType);
    out->CreateField(&definition);
  }
  for (const Feature& feature : features) {
    OGRFeature written(out->GetLayerDefn());
    for (const auto& [field, value] : feature.fields) {
      if (value.empty()) {
        written.SetFieldNull(written.GetFieldIndex(field.c_str()));
      } else {
        written.SetField(field.c_str(), value.c_str());
      }
    }
    if (!feature.wkt.empty()) {
      OGRGeometry* geometry = nullptr;
      OGRGeometryFactory::createFromWkt(feature.wkt.c_str(), nullptr, &geometry);
      written.SetGeometryDirectly(geometry);
    }
    ASSERT_EQ(out->CreateFeature(&written), OGRERR_NONE) << TakeGdalMessage();
  }
  GDALClose(dataset);
}

ImportRequest Request(const std::string& source, const std::string& z) {
  ImportRequest request;
  request.source = source;
  request.zField = z;
  return request;
}

std::string Refusal(const ImportRequest& request) {
  ImportedPoints points;
  ImportReport report;
  std::string error;
  EXPECT_FALSE(ReadPoints(request, points, report, error)) << request.source;
  return error;
}

TEST(PointImport, CsvColumnsAreFoundByNameAndBadValuesDroppedWithTheirReason) {
  ScopedTempDir dir;
  WriteSource(
      "CSV", dir.In("wells.csv"), "wells", wkbNone, 0, {"Easting", "Northing", "level", "prior"},
      {{{{"Easting", "100.5"}, {"Northing", "200"}, {"level", "12.25"}, {"prior", "12"}}, ""},
       {{{"Easting", "101"}, {"Northing", "201"}, {"level", "n/a"}, {"prior", "1"}}, ""},
       {{{"Easting", "102"}, {"Northing", "202"}, {"level", ""}, {"prior", "1"}}, ""},
       {{{"Easting", "100.5"}, {"Northing", "200"}, {"level", "-3"}, {"prior", "2"}}, ""},
       {{{"Easting", "0.1"}, {"Northing", "1e6"}, {"level", " 7 "}, {"prior", "x"}}, ""}},
      OFTString);
  ImportRequest request = Request(dir.In("wells.csv"), "LEVEL");  // names match without case
  ImportedPoints points;
  ImportReport report;
  std::string error;
  ASSERT_TRUE(ReadPoints(request, points, report, error)) << error;
  EXPECT_EQ(report.read, 5);
  EXPECT_EQ(report.noValue, 2);
  EXPECT_EQ(points.x, (std::vector<double>{100.5, 100.5, 0.1}));  // coincident points kept
  EXPECT_EQ(points.y, (std::vector<double>{200, 200, 1e6}));
  EXPECT_EQ(points.z, (std::vector<double>{12.25, -3, 7}));
  EXPECT_TRUE(points.guess.empty());
  ASSERT_EQ(report.examples.size(), 2u);
  EXPECT_NE(report.examples[0].find("'level' is not a number ('n/a')"), std::string::npos);
  EXPECT_NE(report.examples[1].find("'level' is null"), std::string::npos);

  // A log transform drops the value that is not above zero; the guess field
  // drops the row whose guess is not a number.
  request.positiveOnly = true;
  request.guessField = "prior";
  ASSERT_TRUE(ReadPoints(request, points, report, error)) << error;
  EXPECT_EQ(points.z, (std::vector<double>{12.25}));
  EXPECT_EQ(points.guess, (std::vector<double>{12}));
  EXPECT_EQ(report.notPositive, 1);
  EXPECT_EQ(report.noValue, 3);
  EXPECT_EQ(report.DropReasons(),
            "3 with a null or non-numeric value, 1 with a value not above zero (the log "
            "transform is on)");

  // Named coordinate fields instead of the detected ones.
  request = Request(dir.In("wells.csv"), "prior");
  request.xField = "Northing";
  request.yField = "Easting";
  ASSERT_TRUE(ReadPoints(request, points, report, error)) << error;
  EXPECT_EQ(points.x.front(), 200);
  EXPECT_EQ(points.y.front(), 100.5);
  EXPECT_EQ(points.x.size(), 4u);
}

TEST(PointImport, GeoPackagePointsAreTransformedIntoTheProjectsSystem) {
  ScopedTempDir dir;
  WriteSource("GPKG", dir.In("wells.gpkg"), "wells", wkbUnknown, 4326, {"level"},
              {{{{"level", "5"}}, "POINT (10 50)"},
               {{{"level", "6"}}, "LINESTRING (0 0,1 1)"},
               {{{"level", "7"}}, ""},
               {{{"level", "8"}}, "POINT (-10 -20)"}});
  std::string mercator;
  std::string error;
  ASSERT_TRUE(CrsToWkt("EPSG:3857", mercator, error));
  ImportRequest request = Request(dir.In("wells.gpkg"), "level");
  request.projectCrs = mercator;
  ImportedPoints points;
  ImportReport report;
  ASSERT_TRUE(ReadPoints(request, points, report, error)) << error;
  EXPECT_EQ(report.notPoint, 2);
  ASSERT_EQ(points.x.size(), 2u);
  // Spherical Mercator: x = R lambda, y = R ln tan(pi/4 + phi/2), longitude
  // first whatever the axis order of EPSG:4326.
  const double radius = 6378137.0;
  const double degree = std::numbers::pi / 180;
  EXPECT_NEAR(points.x[0], radius * 10 * degree, 1e-6);
  EXPECT_NEAR(points.y[0], radius * std::log(std::tan(std::numbers::pi / 4 + 25 * degree)), 1e-6);
  EXPECT_NEAR(points.x[1], radius * -10 * degree, 1e-6);
  EXPECT_NEAR(points.y[1], radius * std::log(std::tan(std::numbers::pi / 4 - 10 * degree)), 1e-6);
  EXPECT_NE(report.crsNote.find("transformed 2 points from WGS 84 (EPSG:4326)"), std::string::npos)
      << report.crsNote;

  // UTM zone 33 puts its central meridian at 500000 m east.
  std::string utm;
  ASSERT_TRUE(CrsToWkt("EPSG:32633", utm, error));
  WriteSource("GeoJSON", dir.In("equator.geojson"), "equator", wkbPoint, 4326, {"level"},
              {{{{"level", "1"}}, "POINT (15 0)"}});
  request = Request(dir.In("equator.geojson"), "level");
  request.projectCrs = utm;
  ASSERT_TRUE(ReadPoints(request, points, report, error)) << error;
  EXPECT_NEAR(points.x[0], 500000, 1e-6);
  EXPECT_NEAR(points.y[0], 0, 1e-6);

  // The same system: taken as they are; no project system: said so.
  request.projectCrs.reset();
  ASSERT_TRUE(ReadPoints(request, points, report, error)) << error;
  EXPECT_EQ(points.x[0], 15);
  EXPECT_NE(report.crsNote.find("the project has no coordinate system"), std::string::npos);
}

TEST(PointImport, ShapefileInTheProjectsSystemIsTakenAsItIs) {
  ScopedTempDir dir;
  WriteSource("ESRI Shapefile", dir.In("wells.shp"), "wells", wkbPoint, 32633, {"level", "guess"},
              {{{{"level", "5.5"}, {"guess", "5"}}, "POINT (450000.125 5000000.5)"},
               {{{"level", "6.5"}, {"guess", "6"}}, "POINT (450010 5000010)"}});
  std::string utm;
  std::string error;
  ASSERT_TRUE(CrsToWkt("EPSG:32633", utm, error));
  ImportRequest request = Request(dir.In("wells.shp"), "level");
  request.guessField = "guess";
  request.projectCrs = utm;
  ImportedPoints points;
  ImportReport report;
  ASSERT_TRUE(ReadPoints(request, points, report, error)) << error;
  EXPECT_EQ(points.x, (std::vector<double>{450000.125, 450010}));
  EXPECT_EQ(points.y, (std::vector<double>{5000000.5, 5000010}));
  EXPECT_EQ(points.guess, (std::vector<double>{5, 6}));
  EXPECT_EQ(report.crsNote, "");
  EXPECT_EQ(report.dropped(), 0);
}

TEST(PointImport, RefusesWhatCannotBeReadNamingTheSourceLayerOrField) {
  ScopedTempDir dir;
  WriteSource("GPKG", dir.In("lines.gpkg"), "rivers", wkbLineString, 0, {"level"},
              {{{{"level", "1"}}, "LINESTRING (0 0,1 1)"}});
  WriteSource("GPKG", dir.In("empty.gpkg"), "nothing", wkbPoint, 0, {"level"}, {});
  WriteSource("CSV", dir.In("plain.csv"), "plain", wkbNone, 0, {"a", "b", "level"},
              {{{{"a", "1"}, {"b", "2"}, {"level", "3"}}, ""}}, OFTString);
  WriteSource("GPKG", dir.In("bad.gpkg"), "bad", wkbPoint, 0, {"level"},
              {{{{"level", "x"}}, "POINT (0 0)"}}, OFTString);
  dir.Write("garbage.gpkg", "not a database");

  EXPECT_EQ(Refusal(Request(dir.In("none.csv"), "level")),
            "cannot read " + dir.In("none.csv") + ": no such file");
  EXPECT_TRUE(
      Refusal(Request(dir.In("garbage.gpkg"), "level"))
          .starts_with("GDAL cannot open " + dir.In("garbage.gpkg") + " as a vector source"));
  EXPECT_EQ(Refusal(Request(dir.In("lines.gpkg"), "depth")),
            "layer 'rivers' of " + dir.In("lines.gpkg") +
                " has no field 'depth' (--z); its fields: level");
  EXPECT_NE(Refusal(Request(dir.In("lines.gpkg"), "level")).find("holds Line String geometries"),
            std::string::npos);
  EXPECT_EQ(Refusal(Request(dir.In("empty.gpkg"), "level")),
            "layer 'nothing' of " + dir.In("empty.gpkg") + " is empty");
  EXPECT_NE(Refusal(Request(dir.In("plain.csv"), "level")).find("has no point geometry"),
            std::string::npos);
  EXPECT_NE(Refusal(Request(dir.In("bad.gpkg"), "level")).find("no point taken from layer 'bad'"),
            std::string::npos);
  ImportRequest layered = Request(dir.In("lines.gpkg"), "level");
  layered.layer = "wells";
  EXPECT_EQ(Refusal(layered), dir.In("lines.gpkg") + " has no layer 'wells'; its layers: rivers");
  ImportRequest guessed = Request(dir.In("lines.gpkg"), "level");
  guessed.guessField = "prior";
  EXPECT_NE(Refusal(guessed).find("no field 'prior' (--guess)"), std::string::npos);
}

TEST(DataSectionWriter, KeepsTheNetworkAndTitleAndWritesRoundTripNumbers) {
  ScopedTempDir dir;
  ImportedPoints points;
  points.x = {0.1 + 0.2, 1e-7};
  points.y = {123456789.123456789, -5};
  points.z = {1.0 / 3.0, 2};
  bool kept = true;
  std::string error;
  ASSERT_TRUE(
      WriteDataSection(dir.In("N.dfl"), std::nullopt, "Points from w.csv", points, kept, error));
  EXPECT_FALSE(kept);
  EXPECT_EQ(dir.Read("N.dfl"),
            "Points from w.csv\n2\n0.30000000000000004 123456789.12345679 0.3333333333333333\n"
            "1e-07 -5 2\n0\n");

  const std::string network = "3\n1 1 5\n2 2 6\n  3,3 7 trailing words\n\n";
  dir.Write("P.dfl", "Old title\r\n1\r\n9 9\r\n9\r\n" + network);
  points.guess = {4, 4.5};
  ASSERT_TRUE(WriteDataSection(dir.In("P.dfl"), std::nullopt, "unused", points, kept, error))
      << error;
  EXPECT_TRUE(kept);
  EXPECT_EQ(dir.Read("P.dfl"),
            "Old title\r\n2\r\n0.30000000000000004 123456789.12345679 0.3333333333333333 4\r\n"
            "1e-07 -5 2 4.5\r\n" +
                network);
  ASSERT_TRUE(WriteDataSection(dir.In("P.dfl"), std::string("New"), "unused", points, kept, error));
  EXPECT_TRUE(dir.Read("P.dfl").starts_with("New\r\n2\r\n"));
  EXPECT_TRUE(dir.Read("P.dfl").ends_with(network));

  // A data file whose data section cannot be read is left alone.
  dir.Write("B.dfl", "t\n2\n1 2 3\n");
  EXPECT_FALSE(WriteDataSection(dir.In("B.dfl"), std::nullopt, "unused", points, kept, error));
  EXPECT_NE(error.find("cannot find the network of " + dir.In("B.dfl")), std::string::npos)
      << error;
  EXPECT_EQ(dir.Read("B.dfl"), "t\n2\n1 2 3\n");
}

}  // namespace
}  // namespace mornax::geo
