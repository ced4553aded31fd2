#include "grid_command.h"

#include <array>
#include <cstdio>

#include "document_commands.h"
#include "exit_status.h"
#include "geo/data_file.h"
#include "geo/grid_network.h"
#include "geo/number_text.h"
#include "geo_options.h"

namespace mornax::batch {
namespace {

constexpr std::array<OptionSpec, 6> kGridOptions = {{{"--spacing", 1},
                                                     {"--spacing-y", 1},
                                                     {"--extent", 4},
                                                     {"--margin", 1},
                                                     {"--guess-raster", 1},
                                                     {"--guess", 1}}};

std::string Number(double value) {
  std::string text;
  geo::AppendSignificant15(text, value);
  return text;
}

// The request of the options; false with `error` on a usage fault.
bool ReadOptions(const CommandLine& line, geo::GridRequest& request, geo::NetworkGuesses& guesses,
                 std::string& error) {
  if (!line.Has("--spacing")) {
    error = "grid needs --spacing D";
    return false;
  }
  if (line.Has("--extent") && line.Has("--margin")) {
    error = "choose one of --extent and --margin";
    return false;
  }
  if (line.Has("--guess") && line.Has("--guess-raster")) {
    error = "choose one of --guess-raster and --guess";
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
  if (line.Has("--guess")) {
    double guess = 0.0;
    if (!ParseNumber("--guess", line.Value("--guess"), guess, error)) return false;
    guesses.constant = guess;
  }
  if (line.Has("--guess-raster")) guesses.raster = line.Value("--guess-raster");
  return true;
}

}  // namespace

int GridNetwork(std::span<const std::string> args) {
  CommandLine line;
  geo::GridRequest request;
  geo::NetworkGuesses guesses;
  std::string error;
  if (!ParseCommandLine(args, kGridOptions, line, error)) return UsageFault(error);
  if (line.operands.size() != 1) {
    return UsageFault(line.operands.empty() ? "no document named"
                                            : "unexpected argument " + line.operands[1]);
  }
  if (!ReadOptions(line, request, guesses, error)) return UsageFault(error);

  project::Records records;
  if (!LoadDocument(line.operands[0], records, error)) {
    ReportError(error);
    return kExitUsage;
  }
  const std::filesystem::path dataFile = geo::FindDataFile(line.operands[0]);
  geo::GridLayout layout;
  if (!geo::WriteGridNetwork(dataFile, request, guesses, layout, error)) {
    ReportError(error);
    return kExitRefused;
  }
  std::printf("%lld x %lld = %lld nodes, spacing %s x %s, extent %s %s %s %s\n",
              static_cast<long long>(layout.columns), static_cast<long long>(layout.rows),
              static_cast<long long>(layout.nodes()), Number(layout.dx).c_str(),
              Number(layout.dy).c_str(), Number(layout.xmin).c_str(), Number(layout.ymin).c_str(),
              Number(layout.xmax()).c_str(), Number(layout.ymax()).c_str());
  if (layout.widened) {
    std::printf("the extent was widened up and to the right to hold whole cells\n");
  }
  std::printf("network of %s replaced\n", dataFile.string().c_str());
  return kExitSuccess;
}

}  // namespace mornax::batch
