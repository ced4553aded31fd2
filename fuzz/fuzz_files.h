// Scratch files for the fuzz targets: one folder per process, in memory
// where the system offers it, reused by every input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace mornax::fuzz {

// The process's scratch folder, made on first use.
const std::filesystem::path& ScratchFolder();

// Writes `size` bytes as the file `name` of the scratch folder and returns
// its path.
std::filesystem::path WriteScratch(std::string_view name, const std::uint8_t* data,
                                   std::size_t size);

// Removes every file of the scratch folder.
void ClearScratch();

// Stops the run as a finding when a property of the code does not hold.
void Require(bool holds, const char* what);

}  // namespace mornax::fuzz
