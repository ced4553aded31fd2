#include "directions_command.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string_view>

#include "api/mornax_arrays.h"
#include "document_commands.h"
#include "exit_status.h"
#include "geo/raster_writer.h"
#include "geo/regular_grid.h"
#include "geo_options.h"
#include "semivariogram/direction_files.h"

namespace mornax::batch {
namespace {

constexpr std::array<OptionSpec, 7> kOptions = {{{"--directions", 1},
                                                 {"--fit", 1},
                                                 {"--tolerance", 1},
                                                 {"--map-cells", 1},
                                                 {"--map-cell", 1},
                                                 {"--geotiff", 0},
                                                 {"--threads", 1}}};

// "0,45,90" as numbers; false with `error` on text that is not a list of them.
bool ParseDirections(std::string_view text, std::vector<double>& directions, std::string& error) {
  directions.clear();
  while (true) {
    const std::size_t comma = text.find(',');
    double value = 0.0;
    if (!ParseNumber("--directions", text.substr(0, comma), value, error)) return false;
    directions.push_back(value);
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

bool WholeNumber(std::string_view option, const std::string& text, int lowest, int highest,
                 int& value, std::string& error) {
  double number = 0.0;
  if (!ParseNumber(option, text, number, error)) return false;
  if (number != std::floor(number) || number < lowest || number > highest) {
    error = std::string(option) + " must be a whole number from " + std::to_string(lowest) +
            " to " + std::to_string(highest) + ", not " + text;
    return false;
  }
  value = static_cast<int>(number);
  return true;
}

bool ReadOptions(const CommandLine& line, api::DirectionalParameters& p, int& threads,
                 std::string& error) {
  if (line.Has("--directions") &&
      !ParseDirections(line.Value("--directions"), p.directions, error)) {
    return false;
  }
  if (line.Has("--tolerance") &&
      !ParseNumber("--tolerance", line.Value("--tolerance"), p.tolerance, error)) {
    return false;
  }
  if (line.Has("--map-cells") && !WholeNumber("--map-cells", line.Value("--map-cells"), 1,
                                              api::kMaxMapCells, p.mapCells, error)) {
    return false;
  }
  if (line.Has("--map-cell") &&
      !ParseNumber("--map-cell", line.Value("--map-cell"), p.mapCellSize, error)) {
    return false;
  }
  if (line.Has("--map-cell") && !(p.mapCellSize > 0.0)) {
    error = "--map-cell must be > 0";
    return false;
  }
  return !line.Has("--threads") ||
         WholeNumber("--threads", line.Value("--threads"), 1, 1024, threads, error);
}

// The map as a two-band GeoTIFF in lag space (no coordinate system): row 0
// is the largest dy.
bool WriteMapRaster(const std::filesystem::path& path, const api::VariogramMap& map,
                    std::string& error) {
  geo::RegularGrid grid;
  grid.cols = grid.rows = 2 * map.cells + 1;
  grid.x0 = -map.cells * map.cellSize;
  grid.y0 = map.cells * map.cellSize;
  grid.dx = grid.dy = map.cellSize;
  geo::RasterRequest request;
  request.path = path;
  request.grid = &grid;
  request.bands = {{"semivariance", "", "half the mean squared difference of the pairs"},
                   {"pairs", "", "pairs whose separation falls in the cell"}};
  request.metadata = {{"MORNAX_CONTENT", "variogram map: cells are lag vectors (dx, dy)"}};
  request.fill = [&map, &grid](std::size_t band, std::vector<double>& cells) {
    const auto side = static_cast<std::size_t>(grid.cols);
    cells.assign(side * side, std::numeric_limits<double>::quiet_NaN());
    for (std::size_t row = 0; row < side; ++row) {
      const std::size_t source = side - 1 - row;  // the map's rows run from the lowest dy
      for (std::size_t col = 0; col < side; ++col) {
        const std::size_t at = source * side + col;
        if (map.pairs[at] == 0) continue;
        cells[row * side + col] =
            band == 0 ? map.semivariance[at] : static_cast<double>(map.pairs[at]);
      }
    }
  };
  return geo::WriteGeoTiff(request, error);
}

}  // namespace

int DirectionalRun(std::span<const std::string> args) {
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(args, kOptions, line, error)) return UsageFault(error);
  if (line.operands.size() != 1) return UsageFault("directions takes one document");
  const std::string& document = line.operands.front();
  project::Records records;
  if (!LoadDocument(document, records, error)) {
    ReportError(error);
    return kExitUsage;
  }
  api::DirectionalParameters p;
  p.lagCount = records.svar.lagCount;
  p.lagDistance = records.svar.lagDistance;
  p.logTransform = records.svar.logTransform != 0;
  p.subtract = records.svar.subtract == 1;
  int threads = 0;
  if (!ReadOptions(line, p, threads, error)) return UsageFault(error);

  const std::filesystem::path path(document);
  const std::filesystem::path folder = path.parent_path();
  const std::string base = path.stem().string();
  api::DataFileReader reader(folder / (base + ".dfl"), {.guesses = p.subtract});
  if (!reader.report().completed()) {
    for (const api::Message& m : reader.report().messages) ReportError(m.text);
    return kExitMessageShown;
  }
  const api::DirectionalResult result =
      api::DirectionalSemivariogram(reader.points(), p, {.threads = threads});
  for (const api::Message& m : result.report.messages) ReportError(m.text);
  if (!result.report.completed()) return kExitMessageShown;

  if (!WriteDirectionFiles(folder / (base + ".vdr"), folder / (base + ".vmp"), reader.title(), p,
                           result, error)) {
    ReportError(error);
    return kExitMessageShown;
  }
  if (line.Has("--fit")) {
    int model = 0;
    if (!WholeNumber("--fit", line.Value("--fit"), 2, 4, model, error)) return UsageFault(error);
    const api::JointFitResult fit = api::JointFit(p, result, {.model = model});
    for (const api::Message& m : fit.report.messages) ReportError(m.text);
    if (!fit.report.completed()) return kExitMessageShown;
    if (!WriteJointFitReport(folder / (base + ".jfr"), reader.title(), p, fit, error)) {
      ReportError(error);
      return kExitMessageShown;
    }
    std::printf("%s: angle %.2f, ratio %.4f, range %.6g, C %.6g, C0 %.6g\n",
                api::ModelName(model).c_str(), fit.anisotropy.angle, fit.anisotropy.ratio, fit.b[1],
                fit.b[0], fit.b[2]);
  }
  if (line.Has("--geotiff")) {
    if (result.map.cells == 0) return UsageFault("--geotiff needs --map-cells");
    if (!WriteMapRaster(folder / (base + "_vmap.tif"), result.map, error)) {
      ReportError(error);
      return kExitMessageShown;
    }
  }
  return result.report.messages.empty() ? kExitSuccess : kExitMessageShown;
}

}  // namespace mornax::batch
