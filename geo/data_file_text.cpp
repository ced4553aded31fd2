#include "geo/data_file_text.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <system_error>

#include "geo/text_lines.h"

namespace mornax::geo {
namespace {

constexpr std::size_t kTitleLength = 72;

// One free-form read of `count` numbers, starting on a fresh line.
bool ReadNumbers(TextLines& lines, std::size_t count, std::vector<double>& numbers) {
  numbers.clear();
  std::string line;
  while (numbers.size() < count) {
    if (!lines.Next(line)) return false;
    if (!SplitNumbers(line, numbers) && numbers.size() < count) return false;
  }
  numbers.resize(count);
  return true;
}

// One read of a count: a whole number, not negative.
bool ReadCount(TextLines& lines, std::size_t& count) {
  std::vector<double> numbers;
  if (!ReadNumbers(lines, 1, numbers)) return false;
  const double value = numbers.front();
  if (!(value >= 0.0) || value != std::floor(value) ||
      value > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    return false;
  }
  count = static_cast<std::size_t>(value);
  return true;
}

}  // namespace

bool ReadDataFileText(const std::filesystem::path& path, int dataNumbers, int networkNumbers,
                      DataFileText& contents) {
  contents = DataFileText{};
  TextLines lines(path);
  std::string line;
  if (!lines.Next(line)) return false;
  line.resize(std::min(line.size(), kTitleLength));
  contents.title = std::string(Trim(line).empty() ? std::string_view{} : line);
  while (!contents.title.empty() &&
         (contents.title.back() == ' ' || contents.title.back() == '\t')) {
    contents.title.pop_back();
  }

  std::size_t count = 0;
  if (!ReadCount(lines, count)) return false;
  std::vector<double> numbers;
  for (std::size_t i = 0; i < count; ++i) {
    if (!ReadNumbers(lines, static_cast<std::size_t>(dataNumbers), numbers)) return false;
    contents.dataX.push_back(numbers[0]);
    contents.dataY.push_back(numbers[1]);
    contents.dataZ.push_back(numbers.size() > 2 ? numbers[2]
                                                : std::numeric_limits<double>::quiet_NaN());
  }

  if (!ReadCount(lines, count)) return true;
  // Room for the points, but never more than the file could hold (a network
  // line takes at least four bytes), whatever the count says.
  std::error_code status;
  const std::uintmax_t bytes = std::filesystem::file_size(path, status);
  const std::size_t room = status ? 0 : std::min<std::size_t>(count, bytes / 4);
  contents.networkX.reserve(room);
  contents.networkY.reserve(room);
  for (std::size_t i = 0; i < count; ++i) {
    if (!ReadNumbers(lines, static_cast<std::size_t>(networkNumbers), numbers)) return true;
    contents.networkX.push_back(numbers[0]);
    contents.networkY.push_back(numbers[1]);
  }
  contents.networkRead = true;
  return true;
}

}  // namespace mornax::geo
