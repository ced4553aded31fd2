// Formatted texts for progress lines and message boxes: one record of a
// format, without its line end.
#pragma once

#include <string>

#include "io/fortran_format.h"

namespace mornax {

// The first record written by `format` from `args`, without the line end.
template <typename... Args>
std::string FormatLine(const io::FortranFormat& format, const Args&... args) {
  std::string text = format(args...);
  const auto end = text.find('\n');
  if (end != std::string::npos) text.erase(end);
  return text;
}

// `text` without its trailing blanks.
inline std::string TrimTrailingBlanks(std::string text) {
  const auto last = text.find_last_not_of(' ');
  text.erase(last == std::string::npos ? 0 : last + 1);
  return text;
}

}  // namespace mornax
