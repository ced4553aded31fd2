// run METHOD --interpolate --raster OUT.tif: the estimates computed through
// the in-memory interface and written straight into a GeoTIFF a strip of rows
// at a time (no result text needed), optionally for a tile of the network
// only, whose nodes are proved to have the neighbours of a whole run.
#pragma once

#include <filesystem>
#include <string>

#include "arguments.h"
#include "project/project.h"

namespace mornax::batch {

struct RasterRun {
  const Invocation& invocation;
  std::filesystem::path document;  // PROJECT.mnx
  std::filesystem::path dataFile;  // its data file, found
  int method = 0;                  // MNX_METHOD_WEIGHTING, _KRIGING or _BAYES
  bool quiet = false;              // the engine's messages were shown by a text run
};

// Refuses combinations that make no sense (before anything runs): returns an
// empty string when the invocation's raster options are usable.
std::string CheckRasterOptions(const Invocation& invocation, int method,
                               const project::Records& records);

// Computes and writes the raster. Returns the exit status: 0 written with no
// message, 1 a message was shown, the run was stopped or failed (nothing is
// written then).
int RunToRaster(const RasterRun& run, const project::Records& records);

}  // namespace mornax::batch
