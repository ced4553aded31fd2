#include "export_command.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "document_commands.h"
#include "exit_status.h"
#include "geo/result_export.h"
#include "project/project.h"

namespace mornax::batch {
namespace {

constexpr std::string_view kUsage =
    "usage: mornax-batch export PROJECT.mnx OUTPUT [--layer estimate|std|guess|all] "
    "[--levels lev|auto|V1,V2,...] [--cog] [--unit TEXT] | --error-analysis "
    "(mornax-batch export --help for more)";

std::optional<geo::ResultLayer> ParseLayer(std::string_view text) {
  if (text == "estimate") return geo::ResultLayer::kEstimate;
  if (text == "std") return geo::ResultLayer::kStandardError;
  if (text == "guess") return geo::ResultLayer::kGuess;
  if (text == "all") return geo::ResultLayer::kAll;
  return std::nullopt;
}

// The value of "--name value" or "--name=value" at args[k]; k moves past a
// separate value. Nothing when the option is not `name`.
std::optional<std::string_view> OptionValue(std::span<const std::string_view> args, std::size_t& k,
                                            std::string_view name, std::string& error) {
  const std::string_view arg = args[k];
  if (!arg.starts_with(name)) return std::nullopt;
  if (arg.size() > name.size()) {
    if (arg[name.size()] != '=') return std::nullopt;
    return arg.substr(name.size() + 1);
  }
  if (k + 1 == args.size()) {
    error = std::string(name) + " needs a value";
    return std::string_view{};
  }
  return args[++k];
}

bool ParseExport(std::span<const std::string_view> args, geo::ExportRequest& request,
                 std::string& error) {
  std::vector<std::string_view> operands;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string_view arg = args[k];
    if (arg == "--error-analysis") {
      request.errorAnalysis = true;
    } else if (arg == "--cog") {
      request.cloudOptimized = true;
    } else if (auto unit = OptionValue(args, k, "--unit", error)) {
      if (!error.empty()) return false;
      if (unit->empty()) {
        error = "--unit takes the unit of the values, such as m or mg/l";
        return false;
      }
      request.unit = std::string(*unit);
    } else if (auto layer = OptionValue(args, k, "--layer", error)) {
      if (!error.empty()) return false;
      const auto parsed = ParseLayer(*layer);
      if (!parsed) {
        error = "--layer takes estimate, std, guess or all, not '" + std::string(*layer) + "'";
        return false;
      }
      request.layer = *parsed;
      request.layerGiven = true;
    } else if (auto levels = OptionValue(args, k, "--levels", error)) {
      if (!error.empty() || !geo::ParseLevelChoice(*levels, request.levels, error)) return false;
      request.levelsGiven = true;
    } else if (arg.size() > 1 && arg.front() == '-') {
      error = "unknown option " + std::string(arg) + " for export";
      return false;
    } else {
      operands.push_back(arg);
    }
  }
  if (operands.size() != 2) {
    error = operands.size() < 2 ? "export needs PROJECT.mnx and OUTPUT"
                                : "unexpected argument " + std::string(operands[2]);
    return false;
  }
  request.document = std::string(operands[0]);
  request.output = std::string(operands[1]);
  return true;
}

}  // namespace

std::string ExportHelpText() {
  return R"(
  export PROJECT.mnx OUTPUT [--layer estimate|std|guess|all]
      [--levels lev|auto|V1,V2,...] [--cog] [--unit TEXT]
  export PROJECT.mnx OUTPUT --error-analysis
      Exports the results of the last interpolation of the project as they
      are in its result files (nothing is computed). The format follows the
      extension of OUTPUT:
)" + geo::ExportFormatsText() +
         R"(      Rasters and contour lines need a network that is a regular grid
      (recognised from the points themselves, in any order, nodes may be
      missing); a scattered network exports as points (.csv, .gpkg,
      .geojson). Raster cells without a result are nodata (-9999).
      --layer: estimate (the default), std (standard error: kriging and
      Bayesian estimation), guess (Bayesian estimation) or all (.tif only;
      a .csv always holds every column).
      --levels: the contour levels: lev (the level list of PROJECT.lev, the
      default for the estimate), auto (round levels for 10-20 lines, the
      default for the other layers) or the values themselves. Under the log
      transform PROJECT.lev holds levels of the logarithms: the default is
      then round levels of the estimate, and lev is refused.
      --cog writes a Cloud-Optimized GeoTIFF (GDAL's COG driver).
      --unit names the unit of the values (m, mg/l, ...) in the GeoTIFF's
      bands. A GeoTIFF also carries the run's method, model, neighbours and
      log transform as metadata; under the log transform of kriging its
      standard-error band is a factor (unit "factor"), not a spread in the
      values' units.
      --error-analysis writes the residuals of the last error analysis
      (PROJECT.lst) as points: measured, estimated, error (estimated minus
      measured), and the standardised error where the method gives one.
      The coordinate system is the project's (PROJECT.prj), identified by its
      EPSG code where the EPSG database holds it, and the export says which
      it wrote. A GeoJSON names the system in its crs member; one without an
      EPSG code is transformed to WGS 84, as RFC 7946 asks.
      The output and its sidecars are written beside their names and renamed
      into place as one set, so an export that fails or is interrupted
      leaves every existing file as it was; temporary files that a killed
      export left are removed by the next export into the folder. A
      Shapefile or ASCII grid named like a project beside it is refused: its
      .prj would replace the project's coordinate system. Exit status 1 when
      the export failed or read around a fault it names (results shorter
      than the network, values written as asterisks, a result file cut
      inside a record, files of another run).
)";
}

int ExportResultsCommand(std::span<const std::string_view> args) {
  for (std::string_view arg : args) {
    if (arg == "--help" || arg == "-h") {
      std::printf("%s", ExportHelpText().c_str());
      return kExitSuccess;
    }
  }
  geo::ExportRequest request;
  std::string error;
  if (!ParseExport(args, request, error)) {
    ReportError(error);
    std::fprintf(stderr, "%.*s\n", static_cast<int>(kUsage.size()), kUsage.data());
    return kExitUsage;
  }
  project::Records records;
  project::SetDefaults(records);
  std::error_code missing;
  if (!std::filesystem::exists(request.document, missing)) {
    ReportError("Cannot open document " + request.document.string() +
                ": no such file (create a project with `mornax-batch new " +
                request.document.string() + "`, or name an existing one)");
    return kExitUsage;
  }
  if (!project::ReadDocumentFile(request.document, records, error)) {
    ReportError(error);
    return kExitUsage;
  }
  request.settings = {true, records.svar, records.ipl};
  geo::ExportReport report;
  const geo::ExportStatus status = geo::ExportResults(request, report, error);
  if (status != geo::ExportStatus::kWritten) {
    for (const std::string& warning : report.warnings) ReportError(warning);
    ReportError(error);
    return status == geo::ExportStatus::kBadUsage ? kExitUsage : kExitMessageShown;
  }
  for (const std::string& line : report.lines) std::printf("%s\n", line.c_str());
  for (const std::string& warning : report.warnings) ReportError(warning);
  return report.warnings.empty() ? kExitSuccess : kExitMessageShown;
}

}  // namespace mornax::batch
