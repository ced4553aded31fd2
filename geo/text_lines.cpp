#include "geo/text_lines.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace mornax::geo {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr std::size_t kSmallestBuffer = 1 << 12;

// A real in the forms the engine writes and users type: optional sign,
// digits, a point, an exponent with e, E, d or D.
bool ParseReal(std::string_view text, double& value) {
  if (text.empty()) return false;
  std::string copy;
  // Plain loops: find_first_of would search the set once per character.
  if (std::any_of(text.begin(), text.end(), [](char c) { return c == 'd' || c == 'D'; })) {
    copy.assign(text);
    for (char& c : copy) {
      if (c == 'd' || c == 'D') c = 'e';
    }
    text = copy;
  }
  if (text.front() == '+') text.remove_prefix(1);
  const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
  return status == std::errc() && end == text.data() + text.size();
}

}  // namespace

TextLines::TextLines(const std::filesystem::path& path) : file_(std::fopen(path.c_str(), "rb")) {
  // A small file needs no more buffer than it holds.
  std::error_code status;
  const std::uintmax_t size = std::filesystem::file_size(path, status);
  buffer_.resize(status ? kBufferSize
                        : static_cast<std::size_t>(
                              std::clamp<std::uintmax_t>(size + 1, kSmallestBuffer, kBufferSize)));
}

bool TextLines::Next(std::string& line) {
  line.clear();
  if (!file_) return false;
  bool any = false;
  while (true) {
    if (pos_ == end_) {
      end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
      pos_ = 0;
      if (end_ == 0) break;
    }
    any = true;
    const char* start = buffer_.data() + pos_;
    const void* newline = std::memchr(start, '\n', end_ - pos_);
    if (newline != nullptr) {
      const auto length = static_cast<std::size_t>(static_cast<const char*>(newline) - start);
      line.append(start, length);
      pos_ += length + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      ++lineNumber_;
      lineEnded_ = true;
      return true;
    }
    line.append(start, end_ - pos_);
    pos_ = end_;
  }
  if (!any) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  ++lineNumber_;
  lineEnded_ = false;
  return true;
}

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t first = 0;
  std::size_t end = text.size();
  while (first < end && blank(text[first])) ++first;
  while (end > first && blank(text[end - 1])) --end;
  return text.substr(first, end - first);
}

FieldKind ParseField(std::string_view line, std::size_t begin, std::size_t width, double& value) {
  if (begin >= line.size()) return FieldKind::kBlank;
  const std::string_view field = Trim(line.substr(begin, width));
  if (field.empty()) return FieldKind::kBlank;
  if (std::all_of(field.begin(), field.end(), [](char c) { return c == '*'; })) {
    return FieldKind::kMissing;
  }
  if (!ParseReal(field, value)) return FieldKind::kBad;
  return std::isfinite(value) ? FieldKind::kNumber : FieldKind::kMissing;
}

bool SplitNumbers(std::string_view line, std::vector<double>& numbers) {
  const auto separator = [](char c) { return c == ' ' || c == '\t' || c == ','; };
  std::size_t pos = 0;
  while (pos < line.size()) {
    std::size_t start = pos;
    while (start < line.size() && separator(line[start])) ++start;
    if (start == line.size()) break;
    std::size_t stop = start;
    while (stop < line.size() && !separator(line[stop])) ++stop;
    double value = 0.0;
    if (!ParseReal(line.substr(start, stop - start), value)) return false;
    numbers.push_back(value);
    pos = stop;
  }
  return true;
}

}  // namespace mornax::geo
