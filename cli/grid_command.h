// mornax-batch grid: the network of the data file replaced by a regular grid.
#pragma once

#include <span>
#include <string>

namespace mornax::batch {

// `args` are the arguments after "grid": the document and the options.
int GridNetwork(std::span<const std::string> args);

}  // namespace mornax::batch
