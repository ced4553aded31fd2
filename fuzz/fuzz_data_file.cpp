// The data file read from any bytes: the section scan that grid and import
// use, the free-form reader behind the result positions, and the two writers
// that replace one section while keeping the other byte for byte.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "fuzz_files.h"
#include "geo/data_file.h"
#include "geo/data_file_text.h"
#include "geo/grid_network.h"
#include "geo/point_import.h"

namespace {

using namespace mornax;

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ClearScratch();
  const std::string original(reinterpret_cast<const char*>(data), size);
  const std::filesystem::path path = fuzz::WriteScratch("P.dfl", data, size);

  geo::DataSection section;
  std::string error;
  const bool scanned = geo::ScanDataSection(path, section, error);
  if (scanned) {
    fuzz::Require(section.end <= size, "the data section ends inside the file");
    fuzz::Require(section.x.size() == static_cast<std::size_t>(section.count) &&
                      section.y.size() == section.x.size(),
                  "one position per data point");
  } else {
    fuzz::Require(!error.empty(), "a refusal names its cause");
  }
  for (const auto& [dataNumbers, networkNumbers] : {std::pair{3, 2}, std::pair{4, 3}}) {
    geo::DataFileText text;
    if (geo::ReadDataFileText(path, dataNumbers, networkNumbers, text)) {
      fuzz::Require(text.title.size() <= 72, "the title is cut to 72 characters");
      fuzz::Require(text.networkX.size() == text.networkY.size(), "one position per node");
    }
  }
  if (!scanned) return 0;

  // Import: new data points, the network kept byte for byte.
  geo::ImportedPoints points;
  points.x = {1.5, -2};
  points.y = {3, 4e300};
  points.z = {5, 6};
  bool networkKept = false;
  if (geo::WriteDataSection(path, std::nullopt, "t", points, networkKept, error)) {
    geo::DataSection again;
    fuzz::Require(geo::ScanDataSection(path, again, error), "an imported file scans");
    fuzz::Require(again.count == 2, "the imported points are counted");
    fuzz::Require(networkKept == (size > section.end), "the network is kept when there is one");
    if (networkKept) {
      fuzz::Require(ReadAll(path).substr(again.end) == original.substr(section.end),
                    "the network is kept byte for byte");
    }
  }

  // Grid: a new network, the title and the data points kept byte for byte.
  fuzz::WriteScratch("P.dfl", data, size);
  geo::GridRequest request;
  request.dx = request.dy = 1.0;
  request.extent = std::array<double, 4>{0, 0, 2, 2};
  geo::NetworkGuesses guesses;
  if (section.guesses) guesses.constant = 1.0;
  geo::GridLayout layout;
  if (geo::WriteGridNetwork(path, request, guesses, layout, error)) {
    fuzz::Require(ReadAll(path).compare(0, section.end, original, 0, section.end) == 0,
                  "the data section is kept byte for byte");
  }
  return 0;
}
