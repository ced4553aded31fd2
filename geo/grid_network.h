// The grid command's work: the network section of a data file replaced by the
// nodes of a regular grid, the title and the data section kept byte for byte.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "geo/grid_layout.h"

namespace mornax::geo {

// Where the network's guesses come from; neither when both are empty.
struct NetworkGuesses {
  std::optional<double> constant;               // --guess V
  std::optional<std::filesystem::path> raster;  // --guess-raster FILE
};

// Lays out the grid (LayOutGrid, the default extent from the data points) and
// writes the data file anew beside the old one, renamed over it when
// complete. Refuses, leaving the file as it was: an unreadable or malformed
// data file, data points with guesses and no guess source (naming the
// options), a layout fault, a raster GDAL cannot read or a node where it has
// no value, and a folder that cannot be written.
bool WriteGridNetwork(const std::filesystem::path& dataFile, const GridRequest& request,
                      const NetworkGuesses& guesses, GridLayout& layout, std::string& error);

}  // namespace mornax::geo
