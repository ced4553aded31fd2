// The grid command's work: the network section of a data file replaced by the
// nodes of a regular grid, the title and the data section kept byte for byte.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "geo/grid_layout.h"

namespace mornax::geo {

// Where the network's guesses come from; neither when both are empty.
struct NetworkGuesses {
  std::optional<double> constant;               // --guess V
  std::optional<std::filesystem::path> raster;  // --guess-raster FILE
};

struct NetworkRequest {
  GridRequest grid;                           // spacing and extent, unless `like`
  std::optional<std::filesystem::path> like;  // the cells of this raster as nodes
  std::optional<std::filesystem::path> clip;  // only the nodes inside these polygons
  std::optional<double> hullMargin;           // only the nodes this near the data's hull
  NetworkGuesses guesses;
  std::optional<std::string> projectCrs;  // WKT of the project's system
};

struct NetworkReport {
  GridLayout layout;
  std::int64_t nodes = 0;          // the nodes written: all of the layout's, or those kept
  std::vector<std::string> notes;  // coordinate systems, a network export may not take as a grid
};

// Lays out the grid (the raster's cells with `like`, else LayOutGrid with the
// default extent from the data points), keeps the nodes inside the clip
// polygons and near the hull, and writes the data file anew beside the old
// one, renamed over it when complete. Refuses, leaving the file as it was: a
// missing data file (saying to import first), an unreadable or malformed
// one, data points with guesses and no guess source (naming the options), a
// layout fault, --hull without data points, a raster or polygon source GDAL
// cannot read, a raster in another system than the project's, no node left,
// a node where the guess raster has no value, and a folder that cannot be
// written.
bool WriteGridNetwork(const std::filesystem::path& dataFile, const NetworkRequest& request,
                      NetworkReport& report, std::string& error);

// The same for a plain grid of every node.
bool WriteGridNetwork(const std::filesystem::path& dataFile, const GridRequest& request,
                      const NetworkGuesses& guesses, GridLayout& layout, std::string& error);

}  // namespace mornax::geo
