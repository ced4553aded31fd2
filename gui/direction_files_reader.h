// Reads back what a multi-direction run wrote (BASE.vdr, BASE.vmp), so that
// the directions window shows a project's last run when it opens.
#pragma once

#include <filesystem>

#include "api/mornax_arrays.h"

namespace mornax::gui {

// The directions, the tolerance, the step and each direction's classes of
// `vdr`; false when the file is missing or is no such report.
bool ReadDirectionReport(const std::filesystem::path& vdr, api::DirectionalParameters& run,
                         api::DirectionalResult& result);

// The cells of `vmp` into `map`; false when missing or malformed.
bool ReadVariogramMap(const std::filesystem::path& vmp, api::VariogramMap& map);

}  // namespace mornax::gui
