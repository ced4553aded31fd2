// The coordinate system that exports carry: the project's sidecar
// PROJECT.prj (WKT beside the document, same base name, any case).
#pragma once

#include <string>

#include "geo/result_files.h"

namespace mornax::geo {

// The WKT of the project's coordinate system, empty when the project has no
// sidecar. False with `error` naming the file when the sidecar cannot be read
// or GDAL cannot parse it.
bool ReadResultCrs(const ProjectFiles& files, std::string& wkt, std::string& error);

}  // namespace mornax::geo
