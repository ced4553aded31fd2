// The import command's work: points read from a vector source that GDAL opens
// (CSV, GeoPackage, Shapefile, GeoJSON, ...) and written as the data section of
// a data file, the network section kept byte for byte.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mornax::geo {

struct ImportRequest {
  std::string source;
  std::string layer;       // empty: the first layer
  std::string zField;      // the measured value
  std::string guessField;  // empty: no guesses
  std::string xField;      // both empty: the point geometry (a CSV's x/y columns detected)
  std::string yField;
  bool positiveOnly = false;              // the document asks for a log transform
  std::optional<std::string> projectCrs;  // WKT of the project's coordinate system
  std::optional<std::string> sourceCrs;   // WKT of the source's system as the user states it
};

struct ImportedPoints {
  std::vector<double> x, y, z, guess;  // guess stays empty without a guess field
};

// What was read, taken and dropped, for the command's report.
struct ImportReport {
  std::string layer;  // the layer read
  int layerCount = 0;
  std::int64_t read = 0;
  std::int64_t noValue = 0;           // a null or non-numeric value
  std::int64_t notPoint = 0;          // no geometry or not a point
  std::int64_t notPositive = 0;       // value not above zero under a log transform
  std::int64_t notTransformed = 0;    // outside what the transformation covers
  std::int64_t notFinite = 0;         // a coordinate that is no finite number
  std::vector<std::string> examples;  // the first few dropped features and why
  std::string crsNote;                // a transformation made, or a system left unused
  std::int64_t transformed = 0;       // points transformed into the project's system
  // The source's system, for a project that has none to take (canonical WKT).
  std::optional<std::string> adoptCrs;

  std::int64_t dropped() const {
    return noValue + notPoint + notPositive + notTransformed + notFinite;
  }
  // "2 with a null or non-numeric value, 1 with a non-point geometry"
  std::string DropReasons() const;
};

// Reads the points of one layer. Coordinates come from the point geometry,
// or from the fields named by xField and yField. The source's system is the
// one the user states (sourceCrs), else the layer's own. When the source and
// the project both have one and they differ, the points are transformed into
// the project's (x east, y north); when only the source has one, adoptCrs
// holds it for the project to take. Points whose coordinates are not finite
// (before or after the transformation) are dropped with their reason.
// Refuses with `error` naming the source, layer or field: a source GDAL
// cannot open, no such layer, a damaged source (GDAL fails during the read,
// or the features read differ from the layer's count), a Shapefile .prj GDAL
// cannot parse, an empty layer, a missing field, no point geometry, columns
// named like longitude and latitude in a projected project without a stated
// system, a transformation GDAL cannot make, and no point taken at all.
bool ReadPoints(const ImportRequest& request, ImportedPoints& points, ImportReport& report,
                std::string& error);

// Writes the data file anew (beside, renamed over the old one): the title
// (`title`, else the old file's title, else `fallbackTitle`), the count and
// one "x y z [guess]" line per point with digits enough to read back the same
// doubles, then the old file's network section unchanged, or an empty network
// when there was no file. `networkKept` tells which. A coordinate, value or
// guess that is no finite number is refused. On any fault the old file stays
// as it was.
bool WriteDataSection(const std::filesystem::path& dataFile,
                      const std::optional<std::string>& title, const std::string& fallbackTitle,
                      const ImportedPoints& points, bool& networkKept, std::string& error);

}  // namespace mornax::geo
