#include "geo/result_export.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

#include "geo/contours.h"
#include "geo/export_target.h"
#include "geo/raster_writer.h"
#include "geo/regular_grid.h"
#include "geo/result_crs.h"
#include "geo/result_files.h"
#include "geo/vector_writer.h"

namespace mornax::geo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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

std::string CrsNote(const std::string& wkt, const ProjectFiles& files) {
  return wkt.empty() ? "no coordinate system (the project has no " + files.base + ".prj)"
                     : "coordinate system from " + files.Find(".prj").filename().string();
}

bool WriteRaster(const OutputFormat& format, const std::filesystem::path& path,
                 const RegularGrid& grid, const std::vector<Column>& columns,
                 const std::string& crs, std::string& error) {
  const std::vector<std::int64_t> cellPoints = CellPoints(grid);
  RasterRequest request;
  request.path = path;
  request.grid = &grid;
  request.crsWkt = crs;
  for (const Column& column : columns) request.bandNames.emplace_back(column.name);
  request.fill = [&](std::size_t band, std::vector<double>& cells) {
    const std::vector<double>& values = *columns[band].values;
    for (std::size_t cell = 0; cell < cells.size(); ++cell) {
      const std::int64_t point = cellPoints[cell];
      if (point >= 0) cells[cell] = values[static_cast<std::size_t>(point)];
    }
  };
  return format.holds == Holds::kRaster ? WriteGeoTiff(request, error)
                                        : WriteAsciiGrid(request, error);
}

// Cells without a network point or whose point has no value.
std::int64_t NodataCells(const RegularGrid& grid, const std::vector<double>& values) {
  std::int64_t filled = 0;
  for (std::size_t i = 0; i < grid.pointCell.size(); ++i) {
    if (grid.pointCell[i] >= 0 && !std::isnan(values[i])) ++filled;
  }
  return grid.cellCount() - filled;
}

bool ChooseLevels(const ExportRequest& request, const ProjectFiles& files, const Column& column,
                  std::vector<double>& levels, std::string& error) {
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
  // The .lev list is made for the estimate; other layers default to levels
  // of their own range.
  LevelSource source = request.levels.source;
  if (!request.levelsGiven && std::string_view(column.name) != "estimate") {
    source = LevelSource::kAuto;
  }
  switch (source) {
    case LevelSource::kLevFile:
      if (!ReadLevelList(files.Find(".lev"), levels, error)) return false;
      if (std::none_of(levels.begin(), levels.end(),
                       [&](double level) { return level >= low && level <= high; })) {
        error = "none of the " + std::to_string(levels.size()) + " levels of " +
                files.Find(".lev").filename().string() + " (" + Number(levels.front()) + " to " +
                Number(levels.back()) + ") lies within the " + column.name + " range " +
                Number(low) + " to " + Number(high) + "; give --levels auto or values";
        return false;
      }
      return true;
    case LevelSource::kAuto:
      levels = NiceLevels(low, high);
      if (levels.empty()) {
        error = "the " + std::string(column.name) + " is flat (" + Number(low) +
                " everywhere): no contour lines";
        return false;
      }
      return true;
    case LevelSource::kValues:
      levels = request.levels.values;
      if (std::none_of(levels.begin(), levels.end(),
                       [&](double level) { return level >= low && level <= high; })) {
        error = "none of the levels given (" + Number(levels.front()) + " to " +
                Number(levels.back()) + ") lies within the " + column.name + " range " +
                Number(low) + " to " + Number(high);
        return false;
      }
      return true;
  }
  return false;
}

bool WriteContours(const OutputFormat& format, const std::filesystem::path& path,
                   const RegularGrid& grid, const Column& column, std::span<const double> levels,
                   const std::string& crs, std::size_t& lineCount, std::string& error) {
  std::vector<ContourLine> lines;
  {
    const std::vector<double> surface = CellValues(grid, *column.values);
    if (!TraceContours(surface, grid, levels, lines, error)) return false;
  }
  VectorWriter writer;
  if (!writer.Open(path, format.driver, "contours", VectorGeometry::kLine, crs, {"level"}, error)) {
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
                 const std::vector<Column>& columns, const std::string& crs, std::string& error) {
  const bool asTable = format.holds == Holds::kPoints;
  std::vector<std::string> names;
  if (asTable) names = {"x", "y"};
  for (const Column& column : columns) names.emplace_back(column.name);
  VectorWriter writer;
  if (!writer.Open(path, format.driver, layerName,
                   asTable ? VectorGeometry::kNone : VectorGeometry::kPoint, crs, names, error)) {
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

ExportStatus ExportErrorAnalysis(const ExportRequest& request, const OutputFormat& format,
                                 const ProjectFiles& files, const std::string& crs,
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
  report.lines.push_back("wrote " + request.output.string() + ": " + format.label + ", " +
                         std::to_string(residuals.size()) + " residuals of " +
                         std::string(MethodName(residuals.method)) + " (" +
                         files.Find(".lst").filename().string() + ")");
  if (residuals.missingCount > 0) {
    report.lines.push_back(std::to_string(residuals.missingCount) +
                           " rows hold a value written as asterisks (left empty)");
  }
  report.lines.push_back(CrsNote(crs, files));
  return ExportStatus::kWritten;
}

std::string ColumnNames(const std::vector<Column>& columns) {
  std::string text;
  for (const Column& column : columns)
    text += (text.empty() ? "" : ", ") + std::string(column.name);
  return text;
}

// Once the grid holds each point's cell, the positions are not needed; their
// memory goes before the raster's.
void ReleasePositions(NetworkResults& results) {
  results.x = {};
  results.y = {};
}

ExportStatus ExportNetwork(const ExportRequest& request, const OutputFormat& format,
                           const ProjectFiles& files, const std::string& crs, ExportTarget& target,
                           ExportReport& report, std::string& error) {
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
    if (!WriteRaster(format, target.temporary(), grid, columns, crs, error)) {
      return WriteFailed(request, error);
    }
    what = std::to_string(grid.cols) + " x " + std::to_string(grid.rows) + " cells of " +
           Number(grid.dx) + " x " + Number(grid.dy) + ", " +
           (columns.size() == 1 ? "band " : "bands ") + ColumnNames(columns) + ", " +
           std::to_string(NodataCells(grid, *columns.front().values)) + " nodata cells";
  } else {
    ReleasePositions(results);
    std::vector<double> levels;
    std::size_t lineCount = 0;
    if (!ChooseLevels(request, files, columns.front(), levels, error)) {
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
  report.lines.push_back("results of " + std::string(MethodName(results.method)) + " from " +
                         datName + ", positions from " + results.positionSource);
  if (results.missingCount > 0) {
    report.lines.push_back(std::to_string(results.missingCount) +
                           " network points have no estimate (nodata)");
  }
  report.lines.push_back(CrsNote(crs, files));
  return ExportStatus::kWritten;
}

// A shapefile or ASCII grid named like the project, beside it, would put its
// .prj sidecar over the project's coordinate-system file.
bool WritesOverProjectFile(const OutputFormat& format, const std::filesystem::path& output,
                           const ProjectFiles& files) {
  if (format.holds != Holds::kLines && format.holds != Holds::kAsciiGrid) return false;
  const auto lower = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  };
  std::error_code status;
  const auto folder = [](const std::filesystem::path& path) {
    return path.empty() ? std::filesystem::path(".") : path;
  };
  return lower(output.stem().string()) == lower(files.base) &&
         std::filesystem::equivalent(folder(output.parent_path()), folder(files.folder), status);
}

}  // namespace

std::string ExportFormatsText() {
  return "        .tif      GeoTIFF, one Float32 band per layer (regular grid)\n"
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
    if (request.layerGiven || request.levelsGiven) {
      error = "--error-analysis takes neither --layer nor --levels";
      return ExportStatus::kBadUsage;
    }
    return ExportStatus::kWritten;
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

  if (WritesOverProjectFile(format, request.output, files)) {
    error = request.output.filename().string() + " would write its coordinate system over the " +
            "project's own " + files.base + ".prj: choose another name";
    return ExportStatus::kBadUsage;
  }
  std::string crs;
  if (!ReadResultCrs(files, crs, error)) return ExportStatus::kFailed;
  ExportTarget target;
  if (!target.Prepare(request.output, error)) return ExportStatus::kFailed;
  return request.errorAnalysis
             ? ExportErrorAnalysis(request, format, files, crs, target, report, error)
             : ExportNetwork(request, format, files, crs, target, report, error);
}

}  // namespace mornax::geo
