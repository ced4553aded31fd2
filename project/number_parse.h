// Reads one number at the start of a character range in the C locale, as the
// result files are written: an optional plus sign is allowed, infinities and
// NaNs are refused.
#pragma once

#include <charconv>
#include <cmath>
#include <type_traits>

namespace mornax::project {

// The end of the number read into `value`, or nullptr (value unchanged) when
// the range does not start with a number.
template <typename T>
const char* ParseNumber(const char* first, const char* last, T& value) {
  // from_chars takes no explicit plus sign; a number may carry one.
  if (first != last && *first == '+' && first + 1 != last && *(first + 1) != '-') ++first;
  T parsed{};
  std::from_chars_result result;
  if constexpr (std::is_integral_v<T>) {
    result = std::from_chars(first, last, parsed);
  } else {
    result = std::from_chars(first, last, parsed, std::chars_format::general);
  }
  if (result.ec != std::errc()) return nullptr;
  if constexpr (std::is_floating_point_v<T>) {
    if (!std::isfinite(parsed)) return nullptr;
  }
  value = parsed;
  return result.ptr;
}

}  // namespace mornax::project
