#include "geo/data_file_text.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "engine/api/mornax_arrays.h"

namespace mornax::geo {
namespace {

constexpr std::size_t kTitleLength = 72;
constexpr std::size_t kNodeBlock = 65536;

}  // namespace

bool ReadDataFileText(const std::filesystem::path& path, int dataNumbers, int networkNumbers,
                      DataFileText& contents, bool withNetwork) {
  contents = DataFileText{};
  // The engine's own reader, so that what a run reads is what is read here
  // (repeat counts, null values, d exponents, records over several lines).
  api::DataFileReader reader(path, {.guesses = dataNumbers > 3 || networkNumbers > 2});
  if (reader.report().outcome == api::Outcome::kRefused) return false;
  std::string title = reader.title().substr(0, kTitleLength);
  while (!title.empty() && (title.back() == ' ' || title.back() == '\t')) title.pop_back();
  contents.title = title;
  const api::Points points = reader.points();
  contents.dataX.assign(points.x.begin(), points.x.end());
  contents.dataY.assign(points.y.begin(), points.y.end());
  contents.dataZ.assign(points.value.begin(), points.value.end());
  const std::int64_t count = reader.networkCount();
  if (!withNetwork || count < 0 || !reader.report().completed()) return true;

  std::vector<double> x(kNodeBlock), y(kNodeBlock), guess(networkNumbers > 2 ? kNodeBlock : 0);
  while (const std::size_t read = reader.ReadNodes({x, y, guess})) {
    contents.networkX.insert(contents.networkX.end(), x.begin(),
                             x.begin() + static_cast<std::ptrdiff_t>(read));
    contents.networkY.insert(contents.networkY.end(), y.begin(),
                             y.begin() + static_cast<std::ptrdiff_t>(read));
  }
  contents.networkRead =
      reader.report().completed() && static_cast<std::int64_t>(contents.networkX.size()) == count;
  return true;
}

}  // namespace mornax::geo
