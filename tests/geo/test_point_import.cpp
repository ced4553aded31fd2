// Points imported from vector sources that GDAL itself writes in the test
// (CSV, GeoPackage, Shapefile, GeoJSON): fields, geometries, drop reasons,
// transformations between EPSG systems, refusals, and the data section
// written with the network kept byte for byte.
#include <cpl_conv.h>
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "geo/crs_definition.h"
#include "geo/gdal_session.h"
#include "geo/point_import.h"
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

// Cuts a file to its first `bytes` bytes.
void Cut(const std::string& name, std::uintmax_t bytes) {
  std::filesystem::resize_file(name, bytes);
}

TEST(PointImport, ADamagedSourceIsNamedAndNothingIsTaken) {
  ScopedTempDir dir;
  std::vector<Feature> ten;
  for (int i = 0; i < 10; ++i) {
    ten.push_back({{{"level", std::to_string(i)}}, "POINT (" + std::to_string(i) + " 1)"});
  }
  for (const char* name : {"dbf", "shp", "prj"}) {
    WriteSource("ESRI Shapefile", dir.In(std::string(name) + ".shp"), name, wkbPoint, 28992,
                {"level"}, ten);
  }
  Cut(dir.In("dbf.dbf"), 200);  // inside the second record
  Cut(dir.In("shp.shp"), 150);  // inside the second point
  dir.Write("prj.prj", "PROJCS[\"half");
  // GDAL's CSV line limit lowered to 100 bytes for the test.
  CPLSetConfigOption("OGR_CSV_MAX_LINE_SIZE", "100");
  dir.Write("long.csv", "x,y,level\n1,2,3\n4,5,6\n7,8," + std::string(200, '9') + "\n1,1,1\n");
  dir.Write("head.csv", "x,y," + std::string(200, 'h') + "\n1,2,3\n");
  const std::pair<std::string, std::string> damaged[] = {
      {"dbf.shp", "dbf.shp is damaged: GDAL reports 'fread"},
      {"shp.shp", "shp.shp is damaged: GDAL reports 'Error in fread()"},
      {"prj.shp", "prj.prj beside " + dir.In("prj.shp") + " cannot be read as a coordinate system"},
      {"long.csv", "the line after row 2 of " + dir.In("long.csv") + " is longer than GDAL's CSV"},
      {"head.csv", "the first line of " + dir.In("head.csv") + " is longer than GDAL's CSV"}};
  for (const auto& [name, message] : damaged) {
    const std::string error = Refusal(Request(dir.In(name), "level"));
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
  CPLSetConfigOption("OGR_CSV_MAX_LINE_SIZE", nullptr);
  // A system stated by the user stands for the .prj GDAL cannot read.
  ImportRequest stated = Request(dir.In("prj.shp"), "level");
  stated.sourceCrs = "EPSG:28992";
  ImportedPoints points;
  ImportReport report;
  std::string error;
  ASSERT_TRUE(ReadPoints(stated, points, report, error)) << error;
  EXPECT_EQ(points.x.size(), 10u);
}

TEST(PointImport, CoordinatesThatAreNotFiniteAreDroppedAndNeverWritten) {
  ScopedTempDir dir;
  dir.Write("wkt.csv", "WKT,level\n\"POINT (1e400 41000)\",3\n\"POINT (1 2)\",4\n");
  dir.Write(
      "pole.geojson",
      R"({"type":"FeatureCollection","features":[)"
      R"({"type":"Feature","properties":{"level":1},"geometry":{"type":"Point","coordinates":[1e400,41000]}},)"
      R"({"type":"Feature","properties":{"level":2},"geometry":{"type":"Point","coordinates":[0,95]}},)"
      R"({"type":"Feature","properties":{"level":3},"geometry":{"type":"Point","coordinates":[5,52]}}]})");
  std::string mercator;
  std::string error;
  ASSERT_TRUE(CrsToWkt("EPSG:3857", mercator, error));
  ImportRequest request = Request(dir.In("wkt.csv"), "level");
  ImportedPoints points;
  ImportReport report;
  ASSERT_TRUE(ReadPoints(request, points, report, error)) << error;
  EXPECT_EQ(points.x, (std::vector<double>{1}));
  EXPECT_EQ(report.notFinite, 1);
  EXPECT_NE(report.examples[0].find("(inf 41000) has a coordinate that is not a finite number"),
            std::string::npos);
  // Beyond the pole there is no place on the Mercator plane.
  request = Request(dir.In("pole.geojson"), "level");
  request.projectCrs = mercator;
  ASSERT_TRUE(ReadPoints(request, points, report, error)) << error;
  EXPECT_EQ(points.z, (std::vector<double>{3}));
  EXPECT_EQ(report.notFinite, 1);
  EXPECT_EQ(report.notTransformed, 1);
  EXPECT_EQ(report.transformed, 1);

  points.x.push_back(std::numeric_limits<double>::infinity());
  points.y.push_back(0);
  points.z.push_back(1);
  bool kept = false;
  EXPECT_FALSE(WriteDataSection(dir.In("P.dfl"), std::nullopt, "t", points, kept, error));
  EXPECT_NE(error.find("point 2 has a number that is not finite"), std::string::npos) << error;
  EXPECT_FALSE(dir.Exists("P.dfl"));
}

TEST(PointImport, TheSourcesSystemIsAdoptedStatedOrAskedFor) {
  ScopedTempDir dir;
  WriteSource("GPKG", dir.In("rd.gpkg"), "rd", wkbPoint, 28992, {"level"},
              {{{{"level", "1"}}, "POINT (155000 463000)"}});
  WriteSource("GeoJSON", dir.In("local.geojson"), "local", wkbPoint, 0, {"level"},
              {{{{"level", "1"}}, "POINT (155000 463000)"}});
  dir.Write("lonlat.csv", "Longitude,Latitude,level\n5.387,52.156,1\n");
  std::string rd;
  std::string error;
  ASSERT_TRUE(CrsToWkt("EPSG:28992", rd, error));
  ImportedPoints points;
  ImportReport report;

  // A project without a system takes the source's.
  ASSERT_TRUE(ReadPoints(Request(dir.In("rd.gpkg"), "level"), points, report, error)) << error;
  ASSERT_TRUE(report.adoptCrs);
  EXPECT_EQ(EpsgCode(*report.adoptCrs), 28992);
  // GeoJSON says WGS 84 by default; coordinates beyond degrees keep it out.
  ASSERT_TRUE(ReadPoints(Request(dir.In("local.geojson"), "level"), points, report, error));
  EXPECT_FALSE(report.adoptCrs);
  EXPECT_NE(report.crsNote.find("its coordinates are no degrees"), std::string::npos);

  // Columns named like longitude and latitude need their system stated in a
  // projected project; stated, they are transformed (Amersfoort's tower).
  ImportRequest request = Request(dir.In("lonlat.csv"), "level");
  request.projectCrs = rd;
  EXPECT_NE(Refusal(request).find("--crs EPSG:4326"), std::string::npos);
  request.sourceCrs = "EPSG:4326";
  ASSERT_TRUE(ReadPoints(request, points, report, error)) << error;
  EXPECT_NEAR(points.x[0], 155000, 100);
  EXPECT_NEAR(points.y[0], 463000, 100);
  EXPECT_EQ(report.crsNote,
            "transformed 1 point from WGS 84 (EPSG:4326) to the project's Amersfoort / RD New "
            "(EPSG:28992)");
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
