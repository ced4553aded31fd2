// Text in double quotes, for messages that name what the user typed.
#pragma once

#include <string>
#include <string_view>

namespace mornax::project {

inline std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  quoted += text;
  quoted += '"';
  return quoted;
}

}  // namespace mornax::project
