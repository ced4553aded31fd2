// The files of a multi-direction run: BASE.vdr, the report of every sector
// (the header of BASE.var, then one class table per direction), and BASE.vmp,
// the variogram map (one fixed-width line per cell).
#pragma once

#include <filesystem>
#include <string>

#include "api/mornax_arrays.h"

namespace mornax {

// Writes both files beside themselves and renames them over the old ones
// (the map file only when the result has a map). False with `error` naming
// the file that could not be written; nothing is replaced then.
bool WriteDirectionFiles(const std::filesystem::path& vdr, const std::filesystem::path& vmp,
                         const std::string& title, const api::DirectionalParameters& parameters,
                         const api::DirectionalResult& result, std::string& error);

}  // namespace mornax
