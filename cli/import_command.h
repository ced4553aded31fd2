// mornax-batch import: the data points of the data file read from a vector
// source through GDAL.
#pragma once

#include <span>
#include <string>

namespace mornax::batch {

// `args` are the arguments after "import": the document, the source and the
// options.
int ImportPoints(std::span<const std::string> args);

}  // namespace mornax::batch
