// A CSV imported through GDAL's CSV driver from a memory file. The first byte
// chooses the request (a guess field, a log transform, the project's and the
// source's coordinate systems); the rest is the file.
#include <cpl_vsi.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_files.h"
#include "geo/crs_definition.h"
#include "geo/gdal_session.h"
#include "geo/point_import.h"

namespace {

using namespace mornax;

constexpr const char* kSource = "/vsimem/fuzz/wells.csv";

std::string Wkt(const char* definition) {
  std::string wkt;
  std::string error;
  geo::CrsToWkt(definition, wkt, error);
  return wkt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  geo::EnsureGdal();
  const std::uint8_t choice = data[0];
  VSILFILE* file = VSIFileFromMemBuffer(kSource, const_cast<GByte*>(data + 1), size - 1, FALSE);
  if (file == nullptr) return 0;
  VSIFCloseL(file);

  geo::ImportRequest request;
  request.source = kSource;
  request.zField = "z";
  if (choice & 1) request.guessField = "g";
  request.positiveOnly = (choice & 2) != 0;
  static const std::string mercator = Wkt("EPSG:3857");
  static const std::string wgs84 = Wkt("EPSG:4326");
  if (choice & 4) request.projectCrs = mercator;
  if (choice & 8) request.sourceCrs = wgs84;
  if (choice & 16) {
    request.xField = "x";
    request.yField = "y";
  }
  geo::ImportedPoints points;
  geo::ImportReport report;
  std::string error;
  if (geo::ReadPoints(request, points, report, error)) {
    const std::size_t taken = points.x.size();
    fuzz::Require(taken > 0, "success takes a point");
    fuzz::Require(points.y.size() == taken && points.z.size() == taken,
                  "every point has x, y and z");
    fuzz::Require(points.guess.size() == (request.guessField.empty() ? 0 : taken),
                  "a guess per point with a guess field");
    fuzz::Require(static_cast<std::int64_t>(taken) + report.dropped() == report.read,
                  "every feature read is taken or dropped");
    for (std::size_t i = 0; i < taken; ++i) {
      fuzz::Require(
          std::isfinite(points.x[i]) && std::isfinite(points.y[i]) && std::isfinite(points.z[i]),
          "no number that is not finite is taken");
      fuzz::Require(!request.positiveOnly || points.z[i] > 0.0, "the log transform drops z <= 0");
    }
  } else {
    fuzz::Require(!error.empty(), "a refusal names its cause");
  }
  VSIUnlink(kSource);
  return 0;
}
