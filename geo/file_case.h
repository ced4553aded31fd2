// Project files are matched without regard to case, as the engine matches
// them: SITE1.DFL serves for SITE1.dfl.
#pragma once

#include <filesystem>

namespace mornax::geo {

// `wanted` when it exists; else the smallest name in its folder that equals
// it without regard to case; else `wanted` itself.
std::filesystem::path FindIgnoringCase(const std::filesystem::path& wanted);

}  // namespace mornax::geo
