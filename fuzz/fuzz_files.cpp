#include "fuzz_files.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

namespace mornax::fuzz {

const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path folder = [] {
    std::error_code status;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", status)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::filesystem::path made = base / ("mornax-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(made);
    return made;
  }();
  return folder;
}

std::filesystem::path WriteScratch(std::string_view name, const std::uint8_t* data,
                                   std::size_t size) {
  const std::filesystem::path path = ScratchFolder() / std::string(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}

void ClearScratch() {
  std::error_code status;
  for (const auto& entry : std::filesystem::directory_iterator(ScratchFolder(), status)) {
    std::filesystem::remove_all(entry.path(), status);
  }
}

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

}  // namespace mornax::fuzz
