#include "project/text_scanner.h"

#include <cctype>

#include "project/number_parse.h"

namespace mornax::project {

bool TextScanner::ReadLine(std::string& line) {
  if (pos_ >= text_.size()) return false;
  const std::size_t end = text_.find('\n', pos_);
  const std::size_t stop = end == std::string::npos ? text_.size() : end;
  line.assign(text_, pos_, stop - pos_);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  pos_ = end == std::string::npos ? text_.size() : end + 1;
  return true;
}

void TextScanner::SkipSpace() {
  while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
}

bool TextScanner::AtEnd() {
  SkipSpace();
  return pos_ >= text_.size();
}

void TextScanner::SkipRestOfLine() {
  const std::size_t end = text_.find('\n', pos_);
  pos_ = end == std::string::npos ? text_.size() : end + 1;
}

template <typename T>
bool TextScanner::Scan(T& value) {
  SkipSpace();
  const char* end = ParseNumber(text_.data() + pos_, text_.data() + text_.size(), value);
  if (end == nullptr) return false;
  pos_ = static_cast<std::size_t>(end - text_.data());
  return true;
}

bool TextScanner::ScanInt(int& value) {
  return Scan(value);
}
bool TextScanner::ScanFloat(float& value) {
  return Scan(value);
}
bool TextScanner::ScanDouble(double& value) {
  return Scan(value);
}

}  // namespace mornax::project

#include <fstream>
#include <sstream>

namespace mornax::project {

bool ReadTextFile(const std::string& name, std::string& text) {
  if (name.empty()) return false;
  std::ifstream in(name, std::ios::binary);
  if (!in) return false;
  std::ostringstream contents;
  contents << in.rdbuf();
  if (in.bad()) return false;
  text = std::move(contents).str();
  return true;
}

}  // namespace mornax::project
