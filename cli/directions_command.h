// mornax-batch directions: the semivariogram in several direction sectors and
// the variogram map, from one pass over the pairs.
#pragma once

#include <span>
#include <string>

namespace mornax::batch {

// `args` are the arguments after "directions": the document and the options.
int DirectionalRun(std::span<const std::string> args);

}  // namespace mornax::batch
