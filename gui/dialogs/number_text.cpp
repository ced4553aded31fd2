#include "gui/dialogs/number_text.h"

#include <charconv>
#include <cmath>
#include <string>
#include <type_traits>

namespace mornax::gui {
namespace {

template <typename T>
bool ParseWhole(const QString& text, T& value) {
  const std::string trimmed = text.trimmed().toStdString();
  const char* first = trimmed.data();
  const char* last = first + trimmed.size();
  if (first != last && *first == '+' && first + 1 != last && *(first + 1) != '-') ++first;
  T parsed{};
  std::from_chars_result result;
  if constexpr (std::is_integral_v<T>) {
    result = std::from_chars(first, last, parsed);
  } else {
    result = std::from_chars(first, last, parsed, std::chars_format::general);
  }
  if (result.ec != std::errc() || result.ptr != last) return false;
  if constexpr (std::is_floating_point_v<T>) {
    if (!std::isfinite(parsed)) return false;
  }
  value = parsed;
  return true;
}

}  // namespace

QString FormatReal(float value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
}

QString FormatInt(int value) {
  return QString::number(value);
}

bool ParseReal(const QString& text, float& value) {
  return ParseWhole(text, value);
}
bool ParseInt(const QString& text, int& value) {
  return ParseWhole(text, value);
}

}  // namespace mornax::gui
