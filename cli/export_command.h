// mornax-batch export: the results of the last interpolation, or its error
// analysis, in the formats GIS programs read.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace mornax::batch {

// Runs `export` with the arguments after the command name; returns the exit
// status.
int ExportResultsCommand(std::span<const std::string_view> args);

// The command's part of the help text.
std::string ExportHelpText();

}  // namespace mornax::batch
