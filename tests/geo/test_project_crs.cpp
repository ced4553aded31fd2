// The project's coordinate system: stored with its EPSG identity from codes,
// .prj files in the ESRI dialect and WKT, read back (also from the PROJECT.prj
// of earlier projects) identified, handed to GDAL's writers with the code,
// moved away from a Shapefile's .prj, and refusals that keep the old store.
#include "geo/project_crs.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cpl_conv.h>

#include "geo/gdal_session.h"
#include "support/temp_dir.h"

namespace mornax::geo {
namespace {

using testing::ScopedTempDir;

// The system as a GIS program writes it beside a Shapefile: ESRI WKT, no codes.
std::string EsriWkt(int epsg) {
  OGRSpatialReference srs;
  EXPECT_EQ(srs.importFromEPSG(epsg), OGRERR_NONE);
  const char* const options[] = {"FORMAT=WKT1_ESRI", nullptr};
  char* raw = nullptr;
  srs.exportToWkt(&raw, options);
  std::string wkt = raw;
  CPLFree(raw);
  return wkt;
}

// The EPSG code GDAL reads back from a GeoTIFF and a GeoPackage layer written
// with `wkt`, as the exports write them.
std::pair<std::string, std::string> WrittenCodes(const std::string& wkt) {
  EnsureGdal();
  std::pair<std::string, std::string> codes;
  GDALDriver* tiff = GetGDALDriverManager()->GetDriverByName("GTiff");
  GDALDataset* raster = tiff->Create("/vsimem/crs.tif", 2, 2, 1, GDT_Float32, nullptr);
  raster->SetProjection(wkt.c_str());
  GDALClose(raster);
  raster = GDALDataset::Open("/vsimem/crs.tif", GDAL_OF_RASTER);
  if (const OGRSpatialReference* srs = raster->GetSpatialRef();
      srs && srs->GetAuthorityCode(nullptr)) {
    codes.first = srs->GetAuthorityCode(nullptr);
  }
  GDALClose(raster);
  GDALDriver* gpkg = GetGDALDriverManager()->GetDriverByName("GPKG");
  GDALDataset* vector = gpkg->Create("/vsimem/crs.gpkg", 0, 0, 0, GDT_Unknown, nullptr);
  OGRSpatialReference srs(wkt.c_str());
  vector->CreateLayer("points", &srs, wkbPoint, nullptr);
  GDALClose(vector);
  vector = GDALDataset::Open("/vsimem/crs.gpkg", GDAL_OF_VECTOR);
  if (const OGRSpatialReference* read = vector->GetLayer(0)->GetSpatialRef();
      read && read->GetAuthorityCode(nullptr)) {
    codes.second = read->GetAuthorityCode(nullptr);
  }
  GDALClose(vector);
  VSIUnlink("/vsimem/crs.tif");
  VSIUnlink("/vsimem/crs.gpkg");
  return codes;
}

TEST(ProjectCrs, CommonSystemsKeepTheirEpsgCodeFromEveryDefinitionToTheWriters) {
  const std::pair<int, const char*> systems[] = {{28992, "Amersfoort / RD New"},
                                                 {25832, "ETRS89 / UTM zone 32N"},
                                                 {27700, "OSGB36 / British National Grid"},
                                                 {2154, "RGF93 v1 / Lambert-93"},
                                                 {3857, "WGS 84 / Pseudo-Mercator"},
                                                 {31467, "DHDN / 3-degree Gauss-Kruger zone 3"},
                                                 {2056, "CH1903+ / LV95"},
                                                 {3035, "ETRS89-extended / LAEA Europe"},
                                                 {2263, "NAD83 / New York Long Island (ftUS)"},
                                                 {4326, "WGS 84"},
                                                 {32633, "WGS 84 / UTM zone 33N"},
                                                 {4258, "ETRS89"}};
  for (const auto& [epsg, name] : systems) {
    ScopedTempDir dir;
    const std::string code = std::to_string(epsg);
    const std::string esri = EsriWkt(epsg);
    dir.Write("given.prj", esri);
    std::string error;
    ASSERT_TRUE(StoreProjectCrs(dir.In("P.mnx"), dir.In("given.prj"), error)) << epsg << error;
    EXPECT_NE(dir.Read("P.crs.wkt").find("ID[\"EPSG\"," + code + "]"), std::string::npos) << epsg;
    const auto stored = ReadProjectCrs(dir.In("P.mnx"), error);
    ASSERT_TRUE(stored) << epsg << error;
    EXPECT_EQ(DescribeCrs(stored->wkt), std::string(name) + " (EPSG:" + code + ")");
    EXPECT_EQ(WrittenCodes(stored->wkt), std::make_pair(code, code)) << epsg;

    // The ESRI .prj of an earlier project is identified when it is read.
    dir.Write("Q.prj", esri);
    const auto legacy = ReadProjectCrs(dir.In("Q.mnx"), error);
    ASSERT_TRUE(legacy) << epsg << error;
    EXPECT_EQ(EpsgCode(legacy->wkt), epsg);
    EXPECT_EQ(legacy->file.filename(), "Q.prj");
  }
}

TEST(ProjectCrs, AShapefilesPrjIsCopiedAwayAndNeverChanged) {
  ScopedTempDir dir;
  const std::string rd = EsriWkt(28992);
  dir.Write("P.prj", rd);
  dir.Write("P.SHP", "");
  std::string error;
  auto stored = ReadProjectCrs(dir.In("P.mnx"), error);
  ASSERT_TRUE(stored) << error;
  EXPECT_EQ(stored->file.filename(), "P.crs.wkt");
  EXPECT_NE(stored->note.find("P.prj is also the .prj of a Shapefile"), std::string::npos);
  EXPECT_EQ(EpsgCode(dir.Read("P.crs.wkt")), 28992);

  // Setting and removing the system leave the Shapefile's .prj alone; "none"
  // is kept so that the .prj is not taken for the project's again.
  ASSERT_TRUE(StoreProjectCrs(dir.In("P.mnx"), "EPSG:2056", error)) << error;
  EXPECT_EQ(EpsgCode(ReadProjectCrs(dir.In("P.mnx"), error)->wkt), 2056);
  ASSERT_TRUE(RemoveProjectCrs(dir.In("P.mnx"), error)) << error;
  EXPECT_EQ(dir.Read("P.crs.wkt"), "none\n");
  EXPECT_FALSE(ReadProjectCrs(dir.In("P.mnx"), error));
  EXPECT_EQ(error, "");
  EXPECT_EQ(dir.Read("P.prj"), rd);

  // Without a Shapefile the old .prj is the project's: replaced, then gone.
  dir.Write("R.prj", rd);
  ASSERT_TRUE(StoreProjectCrs(dir.In("R.mnx"), "EPSG:4326", error)) << error;
  EXPECT_FALSE(dir.Exists("R.prj"));
  ASSERT_TRUE(RemoveProjectCrs(dir.In("R.mnx"), error));
  EXPECT_FALSE(dir.Exists("R.crs.wkt"));
  EXPECT_TRUE(RemoveProjectCrs(dir.In("R.mnx"), error));  // nothing to remove is no fault
}

TEST(ProjectCrs, RefusesWhatGdalCannotParseAndKeepsTheOldStore) {
  ScopedTempDir dir;
  std::string error;
  ASSERT_TRUE(StoreProjectCrs(dir.In("P.mnx"), "EPSG:32633", error));
  const std::string before = dir.Read("P.crs.wkt");

  dir.Write("broken.prj", "PROJCS[\"half");
  const std::pair<std::string, std::string> refused[] = {
      {"28992", "did you mean EPSG:28992 (Amersfoort / RD New)?"},
      {"999999", "EPSG knows no system 999999"},
      {"EPSG:999999", "give EPSG:NNNN"},
      {dir.In("broken.prj"), "broken.prj"},
      {dir.In("missing.prj"), "missing.prj: no such file"},
      {"metres please", "'metres please'"},
      {"", "no coordinate system given"}};
  for (const auto& [definition, message] : refused) {
    error.clear();
    EXPECT_FALSE(StoreProjectCrs(dir.In("P.mnx"), definition, error)) << definition;
    EXPECT_NE(error.find(message), std::string::npos) << error;
    EXPECT_EQ(dir.Read("P.crs.wkt"), before) << definition;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            2);  // no temporary file left behind

  // A damaged store is reported, not taken for "no coordinate system".
  for (const char* damaged : {"GEOGCS[", "  \n"}) {
    dir.Write("P.crs.wkt", damaged);
    EXPECT_FALSE(ReadProjectCrs(dir.In("P.mnx"), error));
    EXPECT_NE(error.find("P.crs.wkt"), std::string::npos) << error;
    EXPECT_NE(error.find("mornax-batch crs P.mnx EPSG:NNNN"), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace mornax::geo
