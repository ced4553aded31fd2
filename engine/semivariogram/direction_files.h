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

// BASE.jfr, the report of a joint fit: the model, its status, B1-B3 (C,
// the range along the major axis, C0), the angle and the ratio, then per
// direction the classes with the observed and the model semivariance.
bool WriteJointFitReport(const std::filesystem::path& jfr, const std::string& title,
                         const api::DirectionalParameters& run, const api::JointFitResult& fit,
                         std::string& error);

}  // namespace mornax
