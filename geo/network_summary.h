// The report of a network written by WriteGridNetwork, line by line, as the
// batch tool's grid command prints it and the program's Grid dialog shows it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "geo/grid_network.h"

namespace mornax::geo {

// "C x R = N nodes, spacing DX x DY, extent XMIN YMIN XMAX YMAX", a widened
// extent, the nodes kept by clip and hull, the report's notes, and the data
// file whose network was replaced.
std::vector<std::string> DescribeNetwork(const NetworkRequest& request, const NetworkReport& report,
                                         const std::filesystem::path& dataFile);

// The first line alone, for a layout not yet written.
std::string DescribeLayout(const GridLayout& layout);

}  // namespace mornax::geo
