// What the GIS commands (grid, import, crs) share: their options taken apart,
// numbers checked, the document loaded, and the exit status of refused input.
#pragma once

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "project/project.h"

namespace mornax::batch {

// Bad input to a GIS command (a missing file or field, a value out of range):
// the message names it and no file changes.
constexpr int kExitRefused = 1;

// How many values follow an option: a fixed count, or kOptionalNumber for
// one value that is taken only when the next argument is a number.
constexpr int kOptionalNumber = -1;

struct OptionSpec {
  std::string_view name;  // "--spacing"
  int values;             // how many values follow it, or kOptionalNumber
};

struct CommandLine {
  std::vector<std::string> operands;
  std::map<std::string, std::vector<std::string>, std::less<>> options;

  bool Has(std::string_view name) const { return options.find(name) != options.end(); }
  // True when the option was given with a value (always for fixed counts).
  bool HasValue(std::string_view name) const {
    const auto found = options.find(name);
    return found != options.end() && !found->second.empty();
  }
  const std::string& Value(std::string_view name, std::size_t k = 0) const {
    return options.find(name)->second.at(k);
  }
};

// Splits the arguments after the command name into operands and the options
// of `specs` ("--name value..." or "--name=value" for one value; an optional
// number after its option when the next argument reads as one). An unknown or
// repeated option or a missing value is a usage fault: false with `error`.
bool ParseCommandLine(std::span<const std::string> args, std::span<const OptionSpec> specs,
                      CommandLine& line, std::string& error);

// The value of an option as a number; text that is no number at all is a
// usage fault (false with `error` naming the option and the text).
bool ParseNumber(std::string_view option, std::string_view text, double& value, std::string& error);

// Reports a usage fault with the usage line; returns the usage exit status.
int UsageFault(const std::string& message);

// Reads the document (which must exist and have a name the records hold).
// False with `error` set otherwise.
bool LoadDocument(const std::string& document, project::Records& records, std::string& error);

}  // namespace mornax::batch
