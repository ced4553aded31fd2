// libFuzzer target of the readers of a project's result files: the input
// is split at "\n@@\n" into the .dat, .dfl, .wl, .lev and .lst files of one
// project (a part left out is a file that does not exist), which the
// readers take as an export or a map would, down to the grid recognition
// and the round levels of the values read.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "geo/levels.h"
#include "geo/regular_grid.h"
#include "geo/result_files.h"

namespace {

namespace fs = std::filesystem;
using mornax::geo::ProjectFiles;

constexpr std::string_view kSeparator = "\n@@\n";
constexpr const char* kExtensions[] = {".dat", ".dfl", ".wl", ".lev", ".lst"};

// One folder per process, on a memory file system where there is one.
const fs::path& Folder() {
  static const fs::path folder = [] {
    std::error_code status;
    const fs::path base =
        fs::is_directory("/dev/shm", status) ? fs::path("/dev/shm") : fs::temp_directory_path();
    fs::path made = base / ("mornax-fuzz-results-" + std::to_string(::getpid()));
    fs::create_directories(made, status);
    return made;
  }();
  return folder;
}

void WriteParts(std::string_view input) {
  std::size_t part = 0;
  while (part < std::size(kExtensions)) {
    const fs::path file = Folder() / (std::string("P") + kExtensions[part]);
    const std::size_t end = input.find(kSeparator);
    const bool present = !input.empty() || end != std::string_view::npos;
    std::error_code ignored;
    fs::remove(file, ignored);
    if (present) {
      const std::string_view content = input.substr(0, end);
      if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
        std::fwrite(content.data(), 1, content.size(), out);
        std::fclose(out);
      }
    }
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 4);
    ++part;
  }
}

void Exercise(const std::vector<double>& x, const std::vector<double>& y,
              const std::vector<double>& values, double rounding) {
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  for (double value : values) {
    if (value == value) {
      low = std::min(low, value);
      high = std::max(high, value);
    }
  }
  if (low <= high) (void)mornax::geo::NiceLevels(low, high);
  mornax::geo::RegularGrid grid;
  std::string reason;
  if (mornax::geo::DetectRegularGrid(x, y, rounding, grid, reason)) {
    (void)mornax::geo::CellValues(grid, values);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteParts(std::string_view(reinterpret_cast<const char*>(data), size));
  const ProjectFiles files{Folder(), "P"};
  std::string error;
  mornax::geo::NetworkResults network;
  if (mornax::geo::ReadNetworkResults(files, network, error)) {
    Exercise(network.x, network.y, network.estimate, network.positionRounding);
  }
  mornax::geo::ErrorAnalysisResults residuals;
  if (mornax::geo::ReadErrorAnalysis(files, residuals, error)) {
    Exercise(residuals.x, residuals.y, residuals.error, 0.05);
  }
  std::vector<double> levels;
  (void)mornax::geo::ReadLevelList(Folder() / "P.lev", levels, error);
  return 0;
}
