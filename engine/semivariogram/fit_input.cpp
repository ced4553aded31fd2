#include "semivariogram/fit_input.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "core/engine_state.h"
#include "io/format_line.h"
#include "io/free_reader.h"
#include "io/read_title.h"

namespace mornax {

int ReadFitInput(const RunEnv& env, std::span<double> distance, std::span<double> semivariance,
                 std::string& title) {
  static const io::FortranFormat kCapacity("(a,i5)");
  // The title field is 76 columns wide; the first four do not fit the title.
  constexpr std::size_t kTitleField = 76;

  const std::string fitFile = env.File(".fit");
  io::FreeFormReader reader;
  if (!reader.Open(env.Path(".fit"))) {
    env.Error(api::MessageCode::kCannotOpenInput, "Cannot open input file : " + fitFile);
    return -1;
  }

  std::string line;
  int status = reader.ReadText(line);
  if (status != io::kReadOk) {
    env.InputError(status, fitFile, reader.FailureDetail({"title"}));
    return -1;
  }
  BlankControlCharacters(line);
  line.resize(kTitleField, ' ');
  title = line.substr(kTitleField - kTitleLength);

  std::int32_t count = 0;
  status = reader.ReadInteger(count);
  if (status != io::kReadOk) {
    env.InputError(status, fitFile, reader.FailureDetail({"count"}));
    return -1;
  }
  const std::size_t capacity = std::min(distance.size(), semivariance.size());
  if (count > 0 && static_cast<std::size_t>(count) > capacity) {
    env.Error(api::MessageCode::kLagLimit, FormatLine(kCapacity, "Maximum number of lags is ",
                                                      static_cast<long long>(capacity)));
    return -1;
  }

  std::size_t kept = 0;
  std::array<double, 2> record{};
  for (std::int32_t i = 0; i < count; ++i) {
    status = reader.ReadReals(record);
    if (status != io::kReadOk) {
      env.InputError(status, fitFile, reader.FailureDetail({"distance", "semivariance"}));
      return -1;
    }
    if (record[0] == 0.0) continue;  // an empty class
    distance[kept] = record[0];
    semivariance[kept] = record[1];
    ++kept;
  }
  return static_cast<int>(kept);
}

}  // namespace mornax
