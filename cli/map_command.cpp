#include "map_command.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "document_commands.h"
#include "exit_status.h"

#ifdef MORNAX_WITH_MAP
#include "gui/render/headless_map.h"
#endif

namespace mornax::batch {
namespace {

constexpr int kDefaultWidth = 1200;
constexpr int kDefaultHeight = 900;
constexpr int kLargestSide = 20000;

constexpr std::string_view kUsage =
    "usage: mornax-batch map PROJECT.mnx OUTPUT.png|svg|pdf "
    "[--layer estimate|std|guess|residuals] [--size WxH] [--levels lev|auto|V1,V2,...] "
    "(mornax-batch map --help for more)";

struct MapOptions {
  std::string output;
  std::string layer = "estimate";
  std::string levels = "lev";
  bool levelsGiven = false;
  int width = kDefaultWidth;
  int height = kDefaultHeight;
};

bool ParseSide(std::string_view text, int& value) {
  const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
  return status == std::errc() && end == text.data() + text.size() && value >= 1 &&
         value <= kLargestSide;
}

// "WxH", each side 1 to kLargestSide pixels.
bool ParseSize(std::string_view text, MapOptions& options) {
  const std::size_t x = text.find_first_of("xX");
  return x != std::string_view::npos && ParseSide(text.substr(0, x), options.width) &&
         ParseSide(text.substr(x + 1), options.height);
}

// --layer, --size and --levels (with the value after a blank or a '='), and
// the output file.
bool ParseMapOptions(const std::vector<std::string>& args, MapOptions& options,
                     std::string& error) {
  for (std::size_t k = 0; k < args.size(); ++k) {
    std::string arg = args[k];
    std::string value;
    const bool option = arg.size() > 1 && arg.front() == '-';
    if (!option) {
      if (!options.output.empty()) {
        error = "unexpected argument " + arg;
        return false;
      }
      options.output = arg;
      continue;
    }
    const std::size_t equals = arg.find('=');
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
      arg.resize(equals);
    } else if (arg == "--layer" || arg == "--size" || arg == "--levels") {
      if (k + 1 == args.size()) {
        error = arg + " needs a value";
        return false;
      }
      value = args[++k];
    }
    if (arg == "--layer") {
      if (value != "estimate" && value != "std" && value != "guess" && value != "residuals") {
        error = "--layer takes estimate, std, guess or residuals, not '" + value + "'";
        return false;
      }
      options.layer = value;
    } else if (arg == "--size") {
      if (!ParseSize(value, options)) {
        error = "--size takes WIDTHxHEIGHT in pixels, each 1 to " + std::to_string(kLargestSide) +
                ", not '" + value + "'";
        return false;
      }
    } else if (arg == "--levels") {
      if (value.empty()) {
        error = "--levels takes lev, auto or V1,V2,...";
        return false;
      }
      options.levels = value;
      options.levelsGiven = true;
    } else {
      error = "unknown option " + arg;
      return false;
    }
  }
  if (options.output.empty()) {
    error = "no picture named (OUTPUT.png, .svg or .pdf)";
    return false;
  }
  return true;
}

}  // namespace

int MapPicture(const Invocation& invocation) {
  MapOptions options;
  std::string error;
  if (!ParseMapOptions(invocation.commandArgs, options, error)) {
    ReportError(error);
    std::fprintf(stderr, "%.*s\n", static_cast<int>(kUsage.size()), kUsage.data());
    return kExitUsage;
  }
#ifdef MORNAX_WITH_MAP
  const std::filesystem::path document(invocation.project);
  if (!std::filesystem::is_regular_file(document)) {
    ReportError("Cannot read " + invocation.project +
                ": no such document (create a project with `mornax-batch new " +
                invocation.project + "`, or name an existing one)");
    return kExitMessageShown;
  }
  render::MapRequest request;
  request.layer = *render::MapLayerFromName(options.layer);
  request.levels = options.levels;
  request.levelsGiven = options.levelsGiven;
  const render::HeadlessMapResult result = render::RenderMapPicture(
      document, options.output, request, QSize(options.width, options.height));
  for (const std::string& note : result.notes) std::fprintf(stderr, "note: %s\n", note.c_str());
  if (!result.written) {
    ReportError(result.error);
    return kExitMessageShown;
  }
  std::printf("Wrote %s (%d x %d, %s)\n", options.output.c_str(), options.width, options.height,
              options.layer.c_str());
  return kExitSuccess;
#else
  ReportError("map is not available: this mornax-batch was built without Qt");
  return kExitMessageShown;
#endif
}

}  // namespace mornax::batch
