#include "grid_command.h"

#include <array>
#include <cstdio>

#include "document_commands.h"
#include "exit_status.h"
#include "geo/data_file.h"
#include "geo/grid_network.h"
#include "geo/network_summary.h"
#include "geo/project_crs.h"
#include "geo_options.h"

namespace mornax::batch {
namespace {

constexpr std::array<OptionSpec, 9> kGridOptions = {{{"--spacing", 1},
                                                     {"--spacing-y", 1},
                                                     {"--extent", 4},
                                                     {"--margin", 1},
                                                     {"--like", 1},
                                                     {"--clip", 1},
                                                     {"--hull", kOptionalNumber},
                                                     {"--guess-raster", 1},
                                                     {"--guess", 1}}};

// The spacing and extent of the options; false with `error` on a usage fault.
bool ReadLayoutOptions(const CommandLine& line, geo::GridRequest& request, std::string& error) {
  if (line.Has("--like")) {
    for (const char* option : {"--spacing", "--spacing-y", "--extent", "--margin"}) {
      if (line.Has(option)) {
        error = std::string("--like takes the raster's cells; leave out ") + option;
        return false;
      }
    }
    return true;
  }
  if (!line.Has("--spacing")) {
    error = "grid needs --spacing D (or --like RASTER)";
    return false;
  }
  if (line.Has("--extent") && line.Has("--margin")) {
    error = "choose one of --extent and --margin";
    return false;
  }
  if (!ParseNumber("--spacing", line.Value("--spacing"), request.dx, error)) return false;
  request.dy = request.dx;
  if (line.Has("--spacing-y") &&
      !ParseNumber("--spacing-y", line.Value("--spacing-y"), request.dy, error)) {
    return false;
  }
  if (line.Has("--extent")) {
    std::array<double, 4> extent{};
    for (std::size_t k = 0; k < extent.size(); ++k) {
      if (!ParseNumber("--extent", line.Value("--extent", k), extent[k], error)) return false;
    }
    request.extent = extent;
  }
  if (line.Has("--margin")) {
    double margin = 0.0;
    if (!ParseNumber("--margin", line.Value("--margin"), margin, error)) return false;
    request.margin = margin;
  }
  return true;
}

// The request of the options; false with `error` on a usage fault.
bool ReadOptions(const CommandLine& line, geo::NetworkRequest& request, std::string& error) {
  if (!ReadLayoutOptions(line, request.grid, error)) return false;
  if (line.Has("--like")) request.like = line.Value("--like");
  if (line.Has("--clip")) request.clip = line.Value("--clip");
  if (line.Has("--hull")) {
    double margin = 0.0;
    if (line.HasValue("--hull") && !ParseNumber("--hull", line.Value("--hull"), margin, error)) {
      return false;
    }
    request.hullMargin = margin;
  }
  if (line.Has("--guess") && line.Has("--guess-raster")) {
    error = "choose one of --guess-raster and --guess";
    return false;
  }
  if (line.Has("--guess")) {
    double guess = 0.0;
    if (!ParseNumber("--guess", line.Value("--guess"), guess, error)) return false;
    request.guesses.constant = guess;
  }
  if (line.Has("--guess-raster")) request.guesses.raster = line.Value("--guess-raster");
  return true;
}

}  // namespace

int GridNetwork(std::span<const std::string> args) {
  CommandLine line;
  geo::NetworkRequest request;
  std::string error;
  if (!ParseCommandLine(args, kGridOptions, line, error)) return UsageFault(error);
  if (line.operands.size() != 1) {
    return UsageFault(line.operands.empty() ? "no document named"
                                            : "unexpected argument " + line.operands[1]);
  }
  if (!ReadOptions(line, request, error)) return UsageFault(error);

  const std::string& document = line.operands[0];
  project::Records records;
  if (!LoadDocument(document, records, error)) {
    ReportError(error);
    return kExitUsage;
  }
  const auto projectCrs = geo::ReadProjectCrs(document, error);
  if (!error.empty()) {
    ReportError(error);
    return kExitRefused;
  }
  if (projectCrs) {
    request.projectCrs = projectCrs->wkt;
    if (!projectCrs->note.empty()) std::fprintf(stderr, "note: %s\n", projectCrs->note.c_str());
  }
  const std::filesystem::path dataFile = geo::FindDataFile(document);
  geo::NetworkReport report;
  if (!geo::WriteGridNetwork(dataFile, request, report, error)) {
    ReportError(error);
    return kExitRefused;
  }
  for (const std::string& line : geo::DescribeNetwork(request, report, dataFile)) {
    std::printf("%s\n", line.c_str());
  }
  return kExitSuccess;
}

}  // namespace mornax::batch
