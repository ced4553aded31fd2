// The command line of the batch tool, taken apart into one invocation.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mornax::batch {

enum class Command {
  kHelp,
  kNew,
  kShow,
  kSet,
  kUseFit,
  kRun,
  kGrid,
  kImport,
  kCrs,
  kExport,
  kMap,
  kDirections
};

// What `run` was asked for: error analysis, interpolation, or neither option.
enum class RunMode { kUnset, kErrorAnalysis, kInterpolate };

struct Invocation {
  Command command = Command::kHelp;
  std::string project;      // the document file as given
  std::string computation;  // run: variogram, fit, weighting, kriging, bayes
  RunMode runMode = RunMode::kUnset;
  std::string helpTopic;                 // help: the command whose help is asked for; empty: all
  bool force = false;                    // new: overwrite an existing document
  bool autoLag = false;                  // run variogram: --auto-lag
  bool joint = false;                    // use-fit: --joint (the joint fit's report)
  int threads = 0;                       // run: --threads N; 0 = not given
  std::vector<std::string> assignments;  // set and run: field=value
  std::string raster;                    // run: --raster OUT.tif; empty: none
  bool noText = false;                   // run: --no-text (only the raster)
  bool float64 = false;                  // run: --float64 bands
  bool neighbourDistance = false;        // run: --neighbour-distance band
  std::optional<std::array<double, 4>> tile;  // run: --tile XMIN YMIN XMAX YMAX
  std::vector<std::string> commandArgs;       // grid, import, crs, export, directions: parsed by
                                              // the command; map: the arguments after the document
};

// The command's name on the command line ("use-fit").
std::string_view CommandName(Command command);

// Parses the arguments after the program name. On a usage fault returns false
// with `error` saying what is wrong.
bool ParseArguments(std::span<const std::string_view> args, Invocation& invocation,
                    std::string& error);

}  // namespace mornax::batch
