#include "gui/dialogs/number_text.h"

#include <charconv>
#include <string>

#include "gui/number_parse.h"

namespace mornax::gui {
namespace {

template <typename T>
bool ParseWhole(const QString& text, T& value) {
  const std::string trimmed = text.trimmed().toStdString();
  const char* last = trimmed.data() + trimmed.size();
  T parsed{};
  if (ParseNumber(trimmed.data(), last, parsed) != last) return false;
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
