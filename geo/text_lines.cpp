#include "geo/text_lines.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace mornax::geo {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;

// A real in the forms the engine writes and users type: optional sign,
// digits, a point, an exponent with e, E, d or D.
bool ParseReal(std::string_view text, double& value) {
  if (text.empty()) return false;
  std::string copy;
  if (text.find_first_of("dD") != std::string_view::npos) {
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

TextLines::TextLines(const std::filesystem::path& path)
    : file_(std::fopen(path.c_str(), "rb")), buffer_(kBufferSize) {}

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
      return true;
    }
    line.append(start, end_ - pos_);
    pos_ = end_;
  }
  if (!any) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  ++lineNumber_;
  return true;
}

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

FieldKind ParseField(std::string_view line, std::size_t begin, std::size_t width, double& value) {
  if (begin >= line.size()) return FieldKind::kBlank;
  const std::string_view field = Trim(line.substr(begin, width));
  if (field.empty()) return FieldKind::kBlank;
  if (field.find_first_not_of('*') == std::string_view::npos) return FieldKind::kMissing;
  if (!ParseReal(field, value)) return FieldKind::kBad;
  return std::isfinite(value) ? FieldKind::kNumber : FieldKind::kMissing;
}

bool SplitNumbers(std::string_view line, std::vector<double>& numbers) {
  std::size_t pos = 0;
  while (pos < line.size()) {
    const auto start = line.find_first_not_of(" \t,", pos);
    if (start == std::string_view::npos) break;
    auto stop = line.find_first_of(" \t,", start);
    if (stop == std::string_view::npos) stop = line.size();
    double value = 0.0;
    if (!ParseReal(line.substr(start, stop - start), value)) return false;
    numbers.push_back(value);
    pos = stop;
  }
  return true;
}

}  // namespace mornax::geo
