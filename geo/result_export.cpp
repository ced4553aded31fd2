#include "geo/result_export.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>

#include "geo/contours.h"
#include "geo/export_crs.h"
#include "geo/export_target.h"
#include "geo/file_case.h"
#include "geo/grid_scan.h"
#include "geo/project_crs.h"
#include "geo/raster_stream.h"
#include "geo/raster_writer.h"
#include "geo/regular_grid.h"
#include "geo/result_files.h"
#include "geo/vector_writer.h"

namespace mornax::geo {
namespace {

enum class Holds { kRaster, kAsciiGrid, kLinesOrPoints, kLines, kPoints };

struct OutputFormat {
  std::string_view extension;
  const char* driver;
  const char* label;
  Holds holds;
};

constexpr std::array<OutputFormat, 7> kFormats = {{
    {".tif", "GTiff", "GeoTIFF", Holds::kRaster},
    {".tiff", "GTiff", "GeoTIFF", Holds::kRaster},
    {".asc", "AAIGrid", "ESRI ASCII grid", Holds::kAsciiGrid},
    {".gpkg", "GPKG", "GeoPackage", Holds::kLinesOrPoints},
    {".geojson", "GeoJSON", "GeoJSON", Holds::kLinesOrPoints},
    {".shp", "ESRI Shapefile", "Shapefile", Holds::kLines},
    {".csv", "CSV", "CSV", Holds::kPoints},
}};

const OutputFormat* FormatOf(const std::filesystem::path& output) {
  std::string extension = output.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const OutputFormat& format : kFormats) {
    if (format.extension == extension) return &format;
  }
  return nullptr;
}

// One result column of the network.
struct Column {
  const char* name;
  const std::vector<double>* values;
};

const char* LayerName(ResultLayer layer) {
  switch (layer) {
    case ResultLayer::kStandardError:
      return "std_error";
    case ResultLayer::kGuess:
      return "guess";
    default:
      return "estimate";
  }
}

// The columns `layer` asks for; false with `error` when the method did not
// write one of them.
bool ChooseColumns(const NetworkResults& results, ResultLayer layer, const std::string& datName,
                   std::vector<Column>& columns, std::string& error) {
  columns = {{"estimate", &results.estimate}};
  if (layer == ResultLayer::kAll) {
    if (!results.standardError.empty()) columns.push_back({"std_error", &results.standardError});
    if (!results.guess.empty()) columns.push_back({"guess", &results.guess});
    return true;
  }
  if (layer == ResultLayer::kEstimate) return true;
  const std::vector<double>& values =
      layer == ResultLayer::kStandardError ? results.standardError : results.guess;
  if (values.empty()) {
    error = "the last interpolation (" + std::string(MethodName(results.method)) + ", " + datName +
            ") wrote no " + (layer == ResultLayer::kGuess ? "guess" : "standard error") +
            "; --layer " + (layer == ResultLayer::kGuess ? "guess" : "std") +
            " needs Bayesian estimation" + (layer == ResultLayer::kGuess ? "" : " or kriging");
    return false;
  }
  columns = {{LayerName(layer), &values}};
  return true;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

// Which system the output carries.
std::string CrsNote(const ExportCrs& crs, bool wgs84Instead) {
  if (crs.empty()) return "no coordinate system (the project has none)";
  if (wgs84Instead) {
    return "coordinate system WGS 84 (EPSG:4326), transformed from the project's " +
           crs.Describe() + " as RFC 7946 asks: GeoJSON can name no other system without an " +
           "EPSG code";
  }
  return "coordinate system " + crs.Describe() + ", the project's";
}

// A GeoJSON names a system by its EPSG code (GDAL writes the crs member);
// one without a code goes to WGS 84 instead of being misread as one.
bool GeoJsonInWgs84(const OutputFormat& format, const ExportCrs& crs) {
  return std::string_view(format.driver) == "GeoJSON" && !crs.empty() && crs.epsgCode.empty();
}

RasterBand BandOf(const Column& column, const ExportRequest& request, ResultMethod method) {
  return ResultBand(column.name, request.unit, method, request.settings);
}

bool WriteRaster(const OutputFormat& format, const std::filesystem::path& path,
                 const RegularGrid& grid, const std::vector<Column>& columns,
                 const ExportRequest& request, ResultMethod method, const ExportCrs& crs,
                 std::string& error) {
  const std::vector<std::int64_t> cellPoints = CellPoints(grid);
  RasterRequest raster;
  raster.path = path;
  raster.grid = &grid;
  raster.crsWkt = crs.wkt;
  raster.cloudOptimized = request.cloudOptimized;
  for (const Column& column : columns) raster.bands.push_back(BandOf(column, request, method));
  raster.metadata = RunMetadata(method, request.settings);
  raster.fill = [&](std::size_t band, std::vector<double>& cells) {
    const std::vector<double>& values = *columns[band].values;
    for (std::size_t cell = 0; cell < cells.size(); ++cell) {
      const std::int64_t point = cellPoints[cell];
      if (point >= 0) cells[cell] = values[static_cast<std::size_t>(point)];
    }
  };
  return format.holds == Holds::kRaster ? WriteGeoTiff(raster, error)
                                        : WriteAsciiGrid(raster, error);
}

// Values the results file holds as asterisks or NaN (too wide for their
// field): exported as nodata, which the user must hear of.
std::size_t OverflowedValues(const NetworkResults& results, const std::vector<Column>& columns) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < results.recordCount; ++i) {
    const bool overflowed = std::any_of(columns.begin(), columns.end(), [&](const Column& column) {
      return std::isnan((*column.values)[i]);
    });
    if (overflowed) ++count;
  }
  return count;
}

// Cells without a network point or whose point has no value.
std::int64_t NodataCells(const RegularGrid& grid, const std::vector<double>& values) {
  std::int64_t filled = 0;
  for (std::size_t i = 0; i < grid.pointCell.size(); ++i) {
    if (grid.pointCell[i] >= 0 && !std::isnan(values[i])) ++filled;
  }
  return grid.cellCount() - filled;
}

bool ChooseLevels(const ExportRequest& request, const ProjectFiles& files, ResultMethod method,
                  const Column& column, std::vector<double>& levels, std::string& note,
                  std::string& error) {
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  for (double value : *column.values) {
    if (std::isfinite(value)) {
      low = std::min(low, value);
      high = std::max(high, value);
    }
  }
  if (!(low <= high)) {
    error = "the " + std::string(column.name) + " has no value at any network point";
    return false;
  }
  LevelContext context;
  context.levFile = files.Find(".lev");
  context.layerName = column.name;
  context.estimateLayer = std::string_view(column.name) == "estimate";
  context.levOfLogarithms = TookLogarithms(method, request.settings);
  context.given = request.levelsGiven;
  return ResolveLevels(request.levels, context, low, high, levels, note, error);
}

bool WriteContours(const OutputFormat& format, const std::filesystem::path& path,
                   const RegularGrid& grid, const Column& column, std::span<const double> levels,
                   const ExportCrs& crs, std::size_t& lineCount, std::string& error) {
  std::vector<ContourLine> lines;
  {
    const std::vector<double> surface = CellValues(grid, *column.values);
    if (!TraceContours(surface, grid, levels, lines, error)) return false;
  }
  VectorWriter writer;
  if (GeoJsonInWgs84(format, crs)) writer.SetLayerOption("RFC7946", "YES");
  if (!writer.Open(path, format.driver, "contours", VectorGeometry::kLine, crs.wkt, {"level"},
                   error)) {
    return false;
  }
  for (const ContourLine& line : lines) {
    const double level[] = {line.level};
    if (!writer.AddLine(line.points, level, error)) return false;
  }
  lineCount = lines.size();
  return writer.Close(error);
}

// Points with their columns; a CSV carries x and y as columns, the others as
// point geometry.
bool WritePoints(const OutputFormat& format, const std::filesystem::path& path,
                 const char* layerName, const std::vector<double>& x, const std::vector<double>& y,
                 const std::vector<Column>& columns, const ExportCrs& crs, std::string& error) {
  const bool asTable = format.holds == Holds::kPoints;
  std::vector<std::string> names;
  if (asTable) names = {"x", "y"};
  for (const Column& column : columns) names.emplace_back(column.name);
  VectorWriter writer;
  if (GeoJsonInWgs84(format, crs)) writer.SetLayerOption("RFC7946", "YES");
  if (!writer.Open(path, format.driver, layerName,
                   asTable ? VectorGeometry::kNone : VectorGeometry::kPoint, crs.wkt, names,
                   error)) {
    return false;
  }
  std::vector<double> values(names.size());
  for (std::size_t i = 0; i < x.size(); ++i) {
    std::size_t k = 0;
    if (asTable) {
      values[k++] = x[i];
      values[k++] = y[i];
    } else if (!std::isfinite(x[i]) || !std::isfinite(y[i])) {
      continue;  // a point without a position cannot be placed
    }
    for (const Column& column : columns) values[k++] = (*column.values)[i];
    const bool added =
        asTable ? writer.AddRecord(values, error) : writer.AddPoint(x[i], y[i], values, error);
    if (!added) return false;
  }
  return writer.Close(error);
}

// A fault while writing, said in terms of the output the user named (GDAL's
// message names the temporary file beside it).
ExportStatus WriteFailed(const ExportRequest& request, std::string& error) {
  error = "cannot write " + request.output.string() + " (" + error + ")";
  return ExportStatus::kFailed;
}

ExportStatus Failed(std::string& error, std::string message) {
  error = std::move(message);
  return ExportStatus::kFailed;
}

// What every export ends its report with: the system written, and the
// leftovers of killed exports that were swept.
void AddClosingLines(const ExportCrs& crs, const OutputFormat& format, const ExportTarget& target,
                     ExportReport& report) {
  report.lines.push_back(CrsNote(crs, GeoJsonInWgs84(format, crs)));
  if (target.swept() > 0) {
    report.lines.push_back("removed " + std::to_string(target.swept()) +
                           " temporary files that killed exports left in the folder");
  }
}

ExportStatus ExportErrorAnalysis(const ExportRequest& request, const OutputFormat& format,
                                 const ProjectFiles& files, const ExportCrs& crs,
                                 ExportTarget& target, ExportReport& report, std::string& error) {
  ErrorAnalysisResults residuals;
  if (!ReadErrorAnalysis(files, residuals, error)) return ExportStatus::kFailed;
  report.warnings = residuals.warnings;
  std::vector<Column> columns = {{"measured", &residuals.measured},
                                 {"estimated", &residuals.estimated},
                                 {"error", &residuals.error}};
  if (!residuals.standardisedError.empty()) {
    columns.push_back({"standardised_error", &residuals.standardisedError});
  }
  if (!WritePoints(format, target.temporary(), "residuals", residuals.x, residuals.y, columns, crs,
                   error)) {
    return WriteFailed(request, error);
  }
  if (!target.Commit(error)) return ExportStatus::kFailed;
  const std::string lstName = files.Find(".lst").filename().string();
  report.lines.push_back("wrote " + request.output.string() + ": " + format.label + ", " +
                         std::to_string(residuals.size()) + " residuals of " +
                         std::string(MethodName(residuals.method)) + " (" + lstName + ")");
  if (residuals.missingCount > 0) {
    report.warnings.push_back(std::to_string(residuals.missingCount) + " rows of " + lstName +
                              " hold a value written as asterisks (too wide for its field): "
                              "left empty");
  }
  AddClosingLines(crs, format, target, report);
  return ExportStatus::kWritten;
}

std::string ColumnNames(const std::vector<Column>& columns) {
  std::string text;
  for (const Column& column : columns)
    text += (text.empty() ? "" : ", ") + std::string(column.name);
  return text;
}

// The bands `layer` asks for of `method`'s results; empty when the method
// does not write one of them (the whole-array path then says so).
std::vector<std::string> StreamedBands(ResultLayer layer, ResultMethod method) {
  const bool hasStd = method == ResultMethod::kKriging || method == ResultMethod::kBayes;
  const bool hasGuess = method == ResultMethod::kBayes;
  switch (layer) {
    case ResultLayer::kEstimate:
      return {"estimate"};
    case ResultLayer::kStandardError:
      return hasStd ? std::vector<std::string>{"std_error"} : std::vector<std::string>{};
    case ResultLayer::kGuess:
      return hasGuess ? std::vector<std::string>{"guess"} : std::vector<std::string>{};
    case ResultLayer::kAll:
      break;
  }
  std::vector<std::string> bands = {"estimate"};
  if (hasStd) bands.emplace_back("std_error");
  if (hasGuess) bands.emplace_back("guess");
  return bands;
}

double BandValue(std::string_view band, const NetworkRecord& record) {
  return band == "estimate"    ? record.estimate
         : band == "std_error" ? record.standardError
                               : record.guess;
}

// A GeoTIFF of results that need nothing worked around, streamed from the
// files a strip of rows at a time: memory that does not grow with the
// network. Nothing when the results take the whole-array path (anything to
// work around, no grid, a layer the method did not write, a COG).
std::optional<ExportStatus> ExportRasterStreamed(const ExportRequest& request,
                                                 const ProjectFiles& files, const ExportCrs& crs,
                                                 ExportTarget& target, ExportReport& report,
                                                 std::string& error) {
  if (request.cloudOptimized) return std::nullopt;
  std::error_code status;
  const std::uintmax_t bytes = std::filesystem::file_size(files.Find(".dat"), status);
  // No record is shorter than 50 characters and its line end.
  GridScan scan(status ? 1 : static_cast<std::int64_t>(bytes / 51) + 1);
  NetworkStream stream;
  const bool clean = StreamNetworkResults(files, stream, [&scan](const NetworkRecord& record) {
    scan.Add(std::span(&record.x, 1), std::span(&record.y, 1));
    return true;
  });
  const std::vector<std::string> bands = StreamedBands(request.layer, stream.method);
  RegularGrid grid;
  std::string reason;
  if (!clean || bands.empty() || !scan.Finish(-1.0, grid, reason)) return std::nullopt;

  RasterStreamRequest raster;
  raster.path = target.temporary();
  raster.grid = grid;
  raster.crsWkt = crs.wkt;
  for (const std::string& band : bands) {
    raster.bands.push_back(ResultBand(band, request.unit, stream.method, request.settings));
  }
  raster.metadata = RunMetadata(stream.method, request.settings);
  if (scan.order() == RowOrder::kMixed) raster.stripRows = grid.rows;
  RasterStream writer;
  if (!writer.Open(raster, error)) return WriteFailed(request, error);
  std::vector<bool> taken(static_cast<std::size_t>(grid.cellCount()), false);
  std::vector<double> values(bands.size());
  std::int64_t overflowed = 0, estimated = 0;
  bool written = true;
  const bool again = StreamNetworkResults(files, stream, [&](const NetworkRecord& record) {
    const std::int64_t cell = NodeCell(grid, record.x, record.y, scan.rounding());
    if (cell < 0 || taken[static_cast<std::size_t>(cell)]) return false;
    taken[static_cast<std::size_t>(cell)] = true;
    bool missing = false;
    for (std::size_t b = 0; b < bands.size(); ++b) {
      values[b] = BandValue(bands[b], record);
      missing = missing || std::isnan(values[b]);
    }
    if (missing) ++overflowed;
    if (!std::isnan(values.front())) ++estimated;
    written = writer.Put(cell, values, error);
    return written;
  });
  if (!written || (again && !writer.Close(error))) return WriteFailed(request, error);
  if (!again) return std::nullopt;  // two points on one node: said by the whole-array path
  if (!target.Commit(error)) return ExportStatus::kFailed;

  std::string names;
  for (const std::string& band : bands) names += (names.empty() ? "" : ", ") + band;
  std::string what = std::to_string(grid.cols) + " x " + std::to_string(grid.rows) + " cells of " +
                     Number(grid.dx) + " x " + Number(grid.dy) + ", " +
                     (bands.size() == 1 ? "band " : "bands ") + names + ", " +
                     std::to_string(grid.cellCount() - estimated) + " nodata cells" +
                     ", DEFLATE-compressed tiles";
  const std::size_t overviews = OverviewFactors(grid.cols, grid.rows).size();
  if (overviews > 0) what += " with " + std::to_string(overviews) + " overview levels";
  const std::string datName = files.Find(".dat").filename().string();
  report.lines.push_back("wrote " + request.output.string() + ": GeoTIFF, " + what);
  report.lines.push_back("results of " + std::string(MethodName(stream.method)) + " from " +
                         datName + ", positions from " + stream.positionSource);
  if (overflowed > 0) {
    report.warnings.push_back(std::to_string(overflowed) + " network points of " + datName +
                              " hold a value written as asterisks or NaN (too wide for its "
                              "field): nodata in the export");
  }
  return ExportStatus::kWritten;
}

// Once the grid holds each point's cell, the positions are not needed; their
// memory goes before the raster's.
void ReleasePositions(NetworkResults& results) {
  results.x = {};
  results.y = {};
}

ExportStatus ExportNetwork(const ExportRequest& request, const OutputFormat& format,
                           const ProjectFiles& files, const ExportCrs& crs, ExportTarget& target,
                           ExportReport& report, std::string& error) {
  if (format.holds == Holds::kRaster) {
    if (const auto streamed = ExportRasterStreamed(request, files, crs, target, report, error)) {
      if (*streamed == ExportStatus::kWritten) AddClosingLines(crs, format, target, report);
      return *streamed;
    }
  }
  NetworkResults results;
  if (!ReadNetworkResults(files, results, error)) return ExportStatus::kFailed;
  report.warnings = results.warnings;
  const std::string datName = files.Find(".dat").filename().string();
  std::vector<Column> columns;
  const bool points = format.holds == Holds::kPoints;
  if (!ChooseColumns(results, points ? ResultLayer::kAll : request.layer, datName, columns,
                     error)) {
    return ExportStatus::kFailed;
  }

  RegularGrid grid;
  std::string reason;
  const bool regular =
      !points && DetectRegularGrid(results.x, results.y, results.positionRounding, grid, reason);
  std::string what;
  std::string levelNote;
  if (points || (format.holds == Holds::kLinesOrPoints && !regular)) {
    if (!points && !ChooseColumns(results, ResultLayer::kAll, datName, columns, error)) {
      return ExportStatus::kFailed;
    }
    if (!WritePoints(format, target.temporary(), "results", results.x, results.y, columns, crs,
                     error)) {
      return WriteFailed(request, error);
    }
    what = std::to_string(results.size()) + " network points with " + ColumnNames(columns);
    if (!points) what += " (the network is not a regular grid: " + reason + ")";
  } else if (!regular) {
    return Failed(error, "the network of " + files.base + " is not a regular grid (" + reason +
                             "): rasters and contours need one; export it as points to .csv, "
                             ".gpkg or .geojson");
  } else if (format.holds == Holds::kRaster || format.holds == Holds::kAsciiGrid) {
    ReleasePositions(results);
    if (!WriteRaster(format, target.temporary(), grid, columns, request, results.method, crs,
                     error)) {
      return WriteFailed(request, error);
    }
    what = std::to_string(grid.cols) + " x " + std::to_string(grid.rows) + " cells of " +
           Number(grid.dx) + " x " + Number(grid.dy) + ", " +
           (columns.size() == 1 ? "band " : "bands ") + ColumnNames(columns) + ", " +
           std::to_string(NodataCells(grid, *columns.front().values)) + " nodata cells";
    if (format.holds == Holds::kRaster) {
      const std::size_t overviews = OverviewFactors(grid.cols, grid.rows).size();
      what += request.cloudOptimized ? ", Cloud-Optimized (COG driver, DEFLATE)"
                                     : ", DEFLATE-compressed tiles";
      if (!request.cloudOptimized && overviews > 0) {
        what += " with " + std::to_string(overviews) + " overview levels";
      }
    }
  } else {
    ReleasePositions(results);
    std::vector<double> levels;
    std::size_t lineCount = 0;
    if (!ChooseLevels(request, files, results.method, columns.front(), levels, levelNote, error)) {
      return ExportStatus::kFailed;
    }
    if (!WriteContours(format, target.temporary(), grid, columns.front(), levels, crs, lineCount,
                       error)) {
      return WriteFailed(request, error);
    }
    what = std::to_string(lineCount) + " contour lines of the " + columns.front().name + " at " +
           std::to_string(levels.size()) + " levels (" + Number(levels.front()) + " to " +
           Number(levels.back()) + ")";
  }
  if (!target.Commit(error)) return ExportStatus::kFailed;
  report.lines.push_back("wrote " + request.output.string() + ": " + format.label + ", " + what);
  if (!levelNote.empty()) report.lines.push_back(levelNote);
  report.lines.push_back("results of " + std::string(MethodName(results.method)) + " from " +
                         datName + ", positions from " + results.positionSource);
  const std::size_t overflowed = OverflowedValues(results, columns);
  if (overflowed > 0) {
    report.warnings.push_back(std::to_string(overflowed) + " network points of " + datName +
                              " hold a value written as asterisks or NaN (too wide for its "
                              "field): nodata in the export");
  }
  if (results.missingCount > 0) {
    report.lines.push_back(std::to_string(results.missingCount) +
                           " network points have no estimate (nodata)");
  }
  AddClosingLines(crs, format, target, report);
  return ExportStatus::kWritten;
}

// A shapefile or ASCII grid writes its coordinate system as OUTPUT.prj,
// which for a document OUTPUT.mnx beside it is that project's own
// coordinate-system file. The name of such a document, or nothing.
std::optional<std::filesystem::path> ProjectOwningSidecar(const OutputFormat& format,
                                                          const std::filesystem::path& output) {
  if (format.holds != Holds::kLines && format.holds != Holds::kAsciiGrid) return std::nullopt;
  std::filesystem::path document = output;
  document.replace_extension(".mnx");
  const std::filesystem::path found = FindIgnoringCase(document);
  std::error_code status;
  if (!std::filesystem::is_regular_file(found, status)) return std::nullopt;
  return found;
}

}  // namespace

RasterBand ResultBand(std::string_view name, const std::string& unit, ResultMethod method,
                      const RunSettings& settings) {
  RasterBand band{std::string(name), unit, {}};
  if (name == "std_error") {
    const StandardErrorMeaning meaning = MeaningOfStandardError(method, settings);
    band.meaning = meaning.text;
    if (meaning.factor) band.unit = "factor";
  } else if (name == "estimate") {
    band.meaning = TookLogarithms(method, settings)
                       ? "estimate, back-transformed from the logarithms (log transform)"
                       : "estimate";
  } else if (name == "guess") {
    band.meaning = "the prior guess at the network point";
  } else if (name == "neighbour_distance") {
    band.meaning = "distance from the node to the farthest data point its estimate used";
  }
  return band;
}

std::string ExportFormatsText() {
  return "        .tif      GeoTIFF, one Float32 band per layer, DEFLATE-compressed tiles\n"
         "                  with overviews (regular grid)\n"
         "        .asc      ESRI ASCII grid of one layer (regular grid, square cells)\n"
         "        .gpkg     GeoPackage: contour lines (regular grid) or points\n"
         "        .geojson  GeoJSON: contour lines (regular grid) or points\n"
         "        .shp      Shapefile: contour lines (regular grid)\n"
         "        .csv      every network point with all result columns\n";
}

ExportStatus CheckExportRequest(const ExportRequest& request, std::string& error) {
  const OutputFormat* format = FormatOf(request.output);
  if (format == nullptr) {
    error = "cannot tell the format of " + request.output.string() +
            " from its extension; use .tif, .asc, .gpkg, .geojson, .shp or .csv";
    return ExportStatus::kBadUsage;
  }
  const std::string extension(format->extension);
  const bool raster = format->holds == Holds::kRaster || format->holds == Holds::kAsciiGrid;
  if (request.errorAnalysis) {
    if (format->holds != Holds::kLinesOrPoints && format->holds != Holds::kPoints) {
      error = "--error-analysis writes points: use .gpkg, .geojson or .csv, not " + extension;
      return ExportStatus::kBadUsage;
    }
    if (request.layerGiven || request.levelsGiven || request.cloudOptimized ||
        !request.unit.empty()) {
      error = "--error-analysis takes none of --layer, --levels, --cog and --unit";
      return ExportStatus::kBadUsage;
    }
    return ExportStatus::kWritten;
  }
  if (request.cloudOptimized && format->holds != Holds::kRaster) {
    error = "--cog writes a Cloud-Optimized GeoTIFF: use .tif, not " + extension;
    return ExportStatus::kBadUsage;
  }
  if (!request.unit.empty() && format->holds != Holds::kRaster) {
    error = "--unit is written into GeoTIFF bands: use .tif, not " + extension;
    return ExportStatus::kBadUsage;
  }
  if (request.levelsGiven && (raster || format->holds == Holds::kPoints)) {
    error = "--levels is for contour lines (.gpkg, .geojson, .shp), not " + extension;
    return ExportStatus::kBadUsage;
  }
  if (request.layer == ResultLayer::kAll && format->holds != Holds::kRaster &&
      format->holds != Holds::kPoints) {
    error =
        "--layer all needs a format of several layers (.tif or .csv); " + extension + " holds one";
    return ExportStatus::kBadUsage;
  }
  return ExportStatus::kWritten;
}

ExportStatus ExportResults(const ExportRequest& request, ExportReport& report, std::string& error) {
  report = ExportReport{};
  const ExportStatus checked = CheckExportRequest(request, error);
  if (checked != ExportStatus::kWritten) return checked;
  const OutputFormat& format = *FormatOf(request.output);
  const ProjectFiles files = ProjectFilesOf(request.document);

  if (const auto owner = ProjectOwningSidecar(format, request.output)) {
    std::filesystem::path sidecar = request.output;
    sidecar.replace_extension(".prj");
    error = request.output.filename().string() + " would write its coordinate system as " +
            sidecar.filename().string() + ", the coordinate-system file of the project " +
            owner->filename().string() + ": choose another name";
    return ExportStatus::kBadUsage;
  }
  // The definition as stored, identified against the EPSG database when it
  // was read.
  const std::optional<StoredCrs> stored =
      ReadProjectCrs(files.folder / (files.base + ".mnx"), error);
  if (!stored && !error.empty()) return ExportStatus::kFailed;
  ExportCrs crs;
  if (!IdentifyExportCrs(stored ? stored->wkt : std::string(), crs, error)) {
    error += " (the project's coordinate system)";
    return ExportStatus::kFailed;
  }
  ExportTarget target;
  if (!target.Prepare(request.output, error)) return ExportStatus::kFailed;
  return request.errorAnalysis
             ? ExportErrorAnalysis(request, format, files, crs, target, report, error)
             : ExportNetwork(request, format, files, crs, target, report, error);
}

}  // namespace mornax::geo
