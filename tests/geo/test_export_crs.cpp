// Exports keep the identity of the project's coordinate system: twelve
// common systems, stored as ESRI WKT (what older projects hold, without
// codes) or with their EPSG code, through every format that carries a
// system, read back with GDAL's own readers.
#include <gdal.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <cpl_conv.h>

#include <cstdio>
#include <string>
#include <vector>

#include "geo/gdal_handles.h"
#include "geo/gdal_session.h"
#include "geo/result_export.h"
#include "support/temp_dir.h"

namespace mornax::geo {
namespace {

using testing::ScopedTempDir;

// A 4 x 3 kriging grid whose estimate rises by 1 per column and 2 per row.
void WriteResults(const ScopedTempDir& dir, double x0, double y0, double spacing) {
  std::string dfl = "t\n1\n0 0 1\n12\n", dat = "    0   12    0 ;" + std::string(40, ' ') + "STD\n";
  char line[128];
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c) {
      const double x = x0 + spacing * c, y = y0 + spacing * r;
      std::snprintf(line, sizeof line, "%.6f %.6f\n", x, y);
      dfl += line;
      std::snprintf(line, sizeof line, "  %15.1f%15.1f%15.5f%15.5f\n", x, y, c + 2.0 * r, 1.0);
      dat += line;
    }
  }
  dir.Write("P.dfl", dfl);
  dir.Write("P.dat", dat);
}

std::string Wkt(int epsg, bool esri) {
  OGRSpatialReference srs;
  srs.importFromEPSG(epsg);
  const char* const esriFormat[] = {"FORMAT=WKT1_ESRI", nullptr};
  char* text = nullptr;
  srs.exportToWkt(&text, esri ? esriFormat : nullptr);
  std::string wkt = text;
  CPLFree(text);
  return wkt;
}

// The EPSG code of a system read back: its own, or for an ESRI .prj (which
// carries none) the one GDAL identifies with full confidence, as the
// Shapefile reader and GIS programs do.
std::string CodeOf(const OGRSpatialReference* srs) {
  if (srs == nullptr) return "none";
  if (const char* code = srs->GetAuthorityCode(nullptr)) return code;
  OGRSpatialReference* match = srs->FindBestMatch(100, "EPSG", nullptr);
  const std::string code = match != nullptr && match->GetAuthorityCode(nullptr) != nullptr
                               ? match->GetAuthorityCode(nullptr)
                               : "unidentified";
  if (match != nullptr) match->Release();
  return code;
}

std::string ReadBackCode(const std::filesystem::path& path) {
  DatasetHandle dataset(
      GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_VECTOR, nullptr, nullptr, nullptr));
  if (!dataset) return "unreadable";
  if (GDALGetRasterCount(dataset.get()) > 0) {
    return CodeOf(OGRSpatialReference::FromHandle(GDALGetSpatialRef(dataset.get())));
  }
  OGRLayerH layer = GDALDatasetGetLayer(dataset.get(), 0);
  return CodeOf(OGRSpatialReference::FromHandle(OGR_L_GetSpatialRef(layer)));
}

ExportStatus Export(const ScopedTempDir& dir, const std::string& output, ExportReport& report,
                    std::string& error) {
  ExportRequest request;
  request.document = dir.path() / "P.mnx";
  request.output = dir.path() / output;
  if (!output.ends_with(".tif") && !output.ends_with(".asc")) {
    request.levelsGiven = ParseLevelChoice("auto", request.levels, error);
  }
  return ExportResults(request, report, error);
}

TEST(ExportCrs, TwelveSystemsKeepTheirCodeInEveryFormat) {
  EnsureGdal();
  ScopedTempDir dir;
  WriteResults(dir, 500000.0, 400000.0, 100.0);
  const int codes[] = {28992, 25832, 27700, 2154, 3857, 31467, 2056, 3035, 2263, 4326, 32633, 4258};
  const char* outputs[] = {"out.tif", "out.asc", "out.gpkg", "out.geojson", "out.shp"};
  for (const int code : codes) {
    for (const bool esri : {true, false}) {
      dir.Write("P.prj", Wkt(code, esri));
      for (const char* output : outputs) {
        ExportReport report;
        std::string error;
        ASSERT_EQ(Export(dir, output, report, error), ExportStatus::kWritten)
            << code << " " << output << ": " << error;
        EXPECT_EQ(ReadBackCode(dir.path() / output), std::to_string(code))
            << output << (esri ? " from ESRI WKT" : "");
        EXPECT_NE(report.lines.back().find("(EPSG:" + std::to_string(code) + ")"),
                  std::string::npos)
            << report.lines.back();
      }
    }
  }
}

TEST(ExportCrs, AGeoJsonOfASystemWithoutCodeIsWrittenInWgs84) {
  EnsureGdal();
  ScopedTempDir dir;
  WriteResults(dir, 400000.0, 5000000.0, 100.0);
  dir.Write("P.prj",
            "PROJCS[\"Local TM\",GEOGCS[\"GRS 1980\",DATUM[\"D_unknown\",SPHEROID[\"GRS80\","
            "6378137,298.257222101]],PRIMEM[\"Greenwich\",0],UNIT[\"Degree\",0.0174532925199433]],"
            "PROJECTION[\"Transverse_Mercator\"],PARAMETER[\"latitude_of_origin\",0],"
            "PARAMETER[\"central_meridian\",7.3],PARAMETER[\"scale_factor\",0.9997],"
            "PARAMETER[\"false_easting\",400000],PARAMETER[\"false_northing\",0],"
            "UNIT[\"metre\",1]]");
  ExportReport report;
  std::string error;
  ASSERT_EQ(Export(dir, "out.geojson", report, error), ExportStatus::kWritten) << error;
  EXPECT_EQ(ReadBackCode(dir.path() / "out.geojson"), "4326");
  EXPECT_NE(report.lines.back().find("WGS 84 (EPSG:4326), transformed from the project's Local TM"),
            std::string::npos)
      << report.lines.back();
  // The lines now run near 7.3 degrees east, 45 degrees north.
  const std::string text = dir.Read("out.geojson");
  EXPECT_NE(text.find("[ 7.3"), std::string::npos) << text.substr(0, 400);
  // A GeoTIFF keeps the system as defined, without a code.
  ASSERT_EQ(Export(dir, "out.tif", report, error), ExportStatus::kWritten) << error;
  EXPECT_EQ(ReadBackCode(dir.path() / "out.tif"), "unidentified");
  EXPECT_NE(report.lines.back().find("Local TM (no EPSG code)"), std::string::npos);
}

}  // namespace
}  // namespace mornax::geo
