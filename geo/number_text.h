// Numbers written into data files: plain decimal text that the free-form
// reader takes back.
#pragma once

#include <charconv>
#include <string>

namespace mornax::geo {

// Appends `value` in the shortest form that reads back as the same double.
inline void AppendRoundTrip(std::string& out, double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  out.append(text, result.ptr);
}

// Appends `value` with at most 15 significant digits (as %.15g): computed
// positions such as 0.1 * 3 print as 0.3 rather than 0.30000000000000004.
inline void AppendSignificant15(std::string& out, double value) {
  char text[32];
  const auto result =
      std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
  out.append(text, result.ptr);
}

}  // namespace mornax::geo
