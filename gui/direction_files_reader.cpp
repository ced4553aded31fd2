#include "gui/direction_files_reader.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace mornax::gui {
namespace {

// The number after `mark` on `line`, when the line has the mark.
bool NumberAfter(const std::string& line, std::string_view mark, double& value) {
  const std::size_t at = line.find(mark);
  if (at == std::string::npos) return false;
  std::istringstream in(line.substr(at + mark.size()));
  return static_cast<bool>(in >> value);
}

}  // namespace

bool ReadDirectionReport(const std::filesystem::path& vdr, api::DirectionalParameters& run,
                         api::DirectionalResult& result) {
  std::ifstream in(vdr);
  if (!in) return false;
  api::DirectionalParameters readRun;
  api::DirectionalResult read;
  readRun.directions.clear();
  readRun.lagCount = 0;
  for (std::string line; std::getline(in, line);) {
    double value = 0.0;
    if (NumberAfter(line, "DIRECTION TOLERANCE = ", value)) {
      readRun.tolerance = value;
    } else if (NumberAfter(line, "STEP SIZE = ", value)) {
      readRun.lagDistance = value;
    } else if (NumberAfter(line, "DIRECTION = ", value)) {
      readRun.directions.push_back(value);
      read.directions.emplace_back();
    } else if (!read.directions.empty()) {
      std::istringstream fields(line);
      long long lag = 0, pairs = 0;
      double distance = 0.0, semivariance = 0.0;
      if (!(fields >> lag >> pairs >> distance >> semivariance)) continue;
      api::SemivariogramResult& d = read.directions.back();
      d.pairs.push_back(pairs);
      d.distance.push_back(distance);
      d.semivariance.push_back(semivariance);
      d.classCount = static_cast<int>(d.pairs.size());
      readRun.lagCount = std::max(readRun.lagCount, d.classCount);
    }
  }
  if (read.directions.empty() || !(readRun.lagDistance > 0.0)) return false;
  run = readRun;
  result = std::move(read);
  return true;
}

bool ReadVariogramMap(const std::filesystem::path& vmp, api::VariogramMap& map) {
  std::ifstream in(vmp);
  if (!in) return false;
  std::string line;
  double cells = 0.0, cellSize = 0.0;
  while (std::getline(in, line)) {
    if (NumberAfter(line, "CELLS EACH SIDE OF 0 = ", cells) &&
        NumberAfter(line, "CELL SIZE = ", cellSize)) {
      break;
    }
  }
  if (!(cells >= 1.0 && cells <= api::kMaxMapCells) || !(cellSize > 0.0)) return false;
  api::VariogramMap read;
  read.cells = static_cast<int>(cells);
  read.cellSize = cellSize;
  const auto side = static_cast<std::size_t>(2 * read.cells + 1);
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    double dx = 0.0, dy = 0.0, semivariance = 0.0;
    long long pairs = 0;
    if (!(fields >> dx >> dy >> pairs >> semivariance)) continue;
    read.pairs.push_back(pairs);
    read.semivariance.push_back(semivariance);
  }
  if (read.pairs.size() != side * side) return false;
  map = std::move(read);
  return true;
}

}  // namespace mornax::gui
