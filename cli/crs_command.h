// mornax-batch crs: the project's coordinate system set or removed; and the
// line that show prints for it.
#pragma once

#include <span>
#include <string>

namespace mornax::batch {

// `args` are the arguments after "crs": the document and EPSG:NNNN, a .prj or
// .wkt file, WKT text, or none.
int SetProjectCrs(std::span<const std::string> args);

// Prints "crs = NAME (EPSG:NNNN)" when the document has a coordinate system.
// Returns the exit status: refused when the sidecar cannot be read.
int ShowProjectCrs(const std::string& document);

}  // namespace mornax::batch
