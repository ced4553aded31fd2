#include "arguments.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

namespace mornax::batch {
namespace {

struct CommandName {
  std::string_view name;
  Command command;
};

constexpr std::array<CommandName, 12> kCommands = {{{"help", Command::kHelp},
                                                    {"new", Command::kNew},
                                                    {"show", Command::kShow},
                                                    {"set", Command::kSet},
                                                    {"use-fit", Command::kUseFit},
                                                    {"run", Command::kRun},
                                                    {"grid", Command::kGrid},
                                                    {"import", Command::kImport},
                                                    {"crs", Command::kCrs},
                                                    {"export", Command::kExport},
                                                    {"map", Command::kMap},
                                                    {"directions", Command::kDirections}}};

// Commands whose options take values (negative numbers among them) and are
// read by the command itself.
bool ParsesItsOwnArguments(Command command) {
  return command == Command::kGrid || command == Command::kImport || command == Command::kCrs ||
         command == Command::kExport || command == Command::kDirections;
}

std::optional<Command> FindCommand(std::string_view name) {
  for (const auto& [known, command] : kCommands) {
    if (name == known) return command;
  }
  return std::nullopt;
}

bool IsOption(std::string_view arg) {
  return arg.size() > 1 && arg.front() == '-';
}

bool IsHelp(std::string_view arg) {
  return arg == "--help" || arg == "-h";
}

constexpr std::string_view kThreadsOption = "--threads";
constexpr int kMostThreads = 1024;

// The value of --threads: a whole number from 1 to kMostThreads.
bool ParseThreads(std::string_view text, Invocation& invocation, std::string& error) {
  int value = 0;
  const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (status != std::errc() || end != text.data() + text.size() || value < 1 ||
      value > kMostThreads) {
    error = "--threads takes a whole number from 1 to " + std::to_string(kMostThreads) + ", not '" +
            std::string(text) + "'";
    return false;
  }
  invocation.threads = value;
  return true;
}

// --threads N or --threads=N, starting at args[k]; k moves past a separate
// value.
bool ApplyThreads(std::span<const std::string_view> args, std::size_t& k, Invocation& invocation,
                  std::string& error) {
  const std::string_view arg = args[k];
  if (arg.size() > kThreadsOption.size()) {
    return ParseThreads(arg.substr(kThreadsOption.size() + 1), invocation, error);
  }
  if (k + 1 == args.size()) {
    error = "--threads needs a number";
    return false;
  }
  return ParseThreads(args[++k], invocation, error);
}

// --raster PATH (or --raster=PATH) and --tile XMIN YMIN XMAX YMAX of run,
// starting at args[k]; k moves past the values. Nothing when args[k] is
// neither; false with `error` on a fault.
std::optional<bool> ApplyValueOption(std::span<const std::string_view> args, std::size_t& k,
                                     Invocation& invocation, std::string& error) {
  const std::string_view arg = args[k];
  if (arg == "--raster" || arg.starts_with("--raster=")) {
    if (arg.size() > 8) {
      invocation.raster = arg.substr(9);
    } else if (k + 1 < args.size()) {
      invocation.raster = args[++k];
    }
    if (invocation.raster.empty()) {
      error = "--raster needs the GeoTIFF to write (OUT.tif)";
      return false;
    }
    return true;
  }
  if (arg != "--tile") return std::nullopt;
  std::array<double, 4> box{};
  for (double& bound : box) {
    const std::string_view text = k + 1 < args.size() ? args[k + 1] : std::string_view{};
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), bound);
    if (text.empty() || status != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(bound)) {
      error = "--tile takes four numbers XMIN YMIN XMAX YMAX" +
              (text.empty() ? std::string() : ", not '" + std::string(text) + "'");
      return false;
    }
    ++k;
  }
  if (!(box[0] <= box[2] && box[1] <= box[3])) {
    error = "--tile: XMIN must not exceed XMAX, nor YMIN YMAX";
    return false;
  }
  invocation.tile = box;
  return true;
}

// Applies one option to the invocation; false when the command has no such
// option.
bool ApplyOption(std::string_view option, Invocation& invocation, std::string& error) {
  if (invocation.command == Command::kNew && option == "--force") {
    invocation.force = true;
    return true;
  }
  if (invocation.command == Command::kUseFit && option == "--joint") {
    invocation.joint = true;
    return true;
  }
  if (invocation.command == Command::kRun && option == "--auto-lag") {
    invocation.autoLag = true;
    return true;
  }
  if (invocation.command == Command::kRun && option == "--no-text") {
    invocation.noText = true;
    return true;
  }
  if (invocation.command == Command::kRun && option == "--float64") {
    invocation.float64 = true;
    return true;
  }
  if (invocation.command == Command::kRun && option == "--neighbour-distance") {
    invocation.neighbourDistance = true;
    return true;
  }
  if (invocation.command == Command::kRun &&
      (option == "--error-analysis" || option == "--interpolate")) {
    const RunMode mode =
        option == "--error-analysis" ? RunMode::kErrorAnalysis : RunMode::kInterpolate;
    if (invocation.runMode != RunMode::kUnset && invocation.runMode != mode) {
      error = "choose one of --error-analysis and --interpolate";
      return false;
    }
    invocation.runMode = mode;
    return true;
  }
  error = "unknown option " + std::string(option);
  return false;
}

// Places one plain argument: the document, then (run) the computation, then
// (set, run) field=value assignments.
bool ApplyOperand(std::string_view arg, Invocation& invocation, std::string& error) {
  if (invocation.project.empty()) {
    invocation.project = arg;
    return true;
  }
  if (invocation.command == Command::kRun && invocation.computation.empty()) {
    invocation.computation = arg;
    return true;
  }
  const bool takesAssignments =
      invocation.command == Command::kSet || invocation.command == Command::kRun;
  if (!takesAssignments) {
    error = "unexpected argument " + std::string(arg);
    return false;
  }
  if (arg.find('=') == std::string_view::npos) {
    error = "expected field=value, not " + std::string(arg);
    return false;
  }
  invocation.assignments.emplace_back(arg);
  return true;
}

}  // namespace

std::string_view CommandName(Command command) {
  for (const auto& [name, known] : kCommands) {
    if (known == command) return name;
  }
  return {};
}

bool ParseArguments(std::span<const std::string_view> args, Invocation& invocation,
                    std::string& error) {
  invocation = Invocation{};
  if (args.empty()) {
    error = "no command given";
    return false;
  }
  // Help wins over everything else: COMMAND --help asks for that command's.
  const std::optional<Command> first = FindCommand(args.front());
  for (std::string_view arg : args) {
    if (!IsHelp(arg)) continue;
    if (first && *first != Command::kHelp) invocation.helpTopic = args.front();
    return true;
  }
  if (!first) {
    error = (IsOption(args.front()) ? "unknown option " : "unknown command ") +
            std::string(args.front());
    return false;
  }
  invocation.command = *first;
  if (invocation.command == Command::kHelp) {
    if (args.size() > 2) {
      error = "help takes one command name";
      return false;
    }
    if (args.size() == 2) {
      if (!FindCommand(args[1]) || args[1] == "help") {
        error = "no help for " + std::string(args[1]) + ": it is no command";
        return false;
      }
      invocation.helpTopic = args[1];
    }
    return true;
  }
  if (ParsesItsOwnArguments(invocation.command)) {
    invocation.commandArgs.assign(args.begin() + 1, args.end());
    return true;
  }

  const auto rest = args.subspan(1);
  if (invocation.command == Command::kMap) {
    // The map command parses its own options.
    if (rest.empty() || IsOption(rest.front())) {
      error = "no document named";
      return false;
    }
    invocation.project = rest.front();
    invocation.commandArgs.assign(rest.begin() + 1, rest.end());
    return true;
  }
  for (std::size_t k = 0; k < rest.size(); ++k) {
    const std::string_view arg = rest[k];
    const bool threads = invocation.command == Command::kRun &&
                         (arg == kThreadsOption ||
                          (arg.starts_with(kThreadsOption) && arg[kThreadsOption.size()] == '='));
    if (invocation.command == Command::kRun) {
      if (const std::optional<bool> applied = ApplyValueOption(rest, k, invocation, error)) {
        if (!*applied) return false;
        continue;
      }
    }
    const bool ok = threads         ? ApplyThreads(rest, k, invocation, error)
                    : IsOption(arg) ? ApplyOption(arg, invocation, error)
                                    : ApplyOperand(arg, invocation, error);
    if (!ok) return false;
  }
  if (invocation.project.empty()) {
    error = "no document named";
    return false;
  }
  if (invocation.command == Command::kRun && invocation.computation.empty()) {
    error = "no computation named (variogram, fit, weighting, kriging or bayes)";
    return false;
  }
  if (invocation.command == Command::kSet && invocation.assignments.empty()) {
    error = "nothing to set: give field=value";
    return false;
  }
  return true;
}

}  // namespace mornax::batch
