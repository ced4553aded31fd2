// Export of a project's results to the formats GIS programs read: rasters
// and contour lines of a regular network, points of any network, and the
// residuals of the error analysis. Reads the result files; never computes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "geo/levels.h"
#include "geo/raster_writer.h"
#include "geo/run_description.h"

namespace mornax::geo {

enum class ResultLayer { kEstimate, kStandardError, kGuess, kAll };

struct ExportRequest {
  std::filesystem::path document;  // PROJECT.mnx
  std::filesystem::path output;    // the format follows its extension
  ResultLayer layer = ResultLayer::kEstimate;
  bool layerGiven = false;
  LevelChoice levels;
  bool levelsGiven = false;
  bool errorAnalysis = false;   // the .lst residuals instead of the network
  bool cloudOptimized = false;  // .tif: a Cloud-Optimized GeoTIFF
  std::string unit;             // .tif: the unit of the values, for the bands
  RunSettings settings;         // the document's parameters of the run
};

enum class ExportStatus {
  kWritten,   // the output is in place
  kFailed,    // nothing written; `error` says why
  kBadUsage,  // the request does not make sense for the output format
};

struct ExportReport {
  std::vector<std::string> lines;     // what was written, in which coordinate system
  std::vector<std::string> warnings;  // what was read around (missing points, overflowed
                                      // values, cut files, other runs)
};

// The raster band of the result layer `name` (estimate, std_error, guess,
// neighbour_distance): its description, unit and meaning; under the log
// transform the standard error is a factor.
RasterBand ResultBand(std::string_view name, const std::string& unit, ResultMethod method,
                      const RunSettings& settings);

// The output extensions and what each holds, for help texts.
std::string ExportFormatsText();

// Checks the request against the output's format without reading anything.
ExportStatus CheckExportRequest(const ExportRequest& request, std::string& error);

// Writes the export beside the output under a temporary name and renames it
// (with its sidecars, as one set) into place; on any failure every existing
// file stays as it was. The coordinate system is the project's, identified
// by its EPSG code where the EPSG database holds an equivalent; a GeoJSON
// names it in its crs member, or without a code is written in WGS 84 as
// RFC 7946 asks.
ExportStatus ExportResults(const ExportRequest& request, ExportReport& report, std::string& error);

}  // namespace mornax::geo
