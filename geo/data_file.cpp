#include "geo/data_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <system_error>

#include "geo/file_case.h"

namespace mornax::geo {
namespace {

constexpr std::size_t kBufferSize = 1 << 18;
constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}
bool IsSeparator(char c) {
  return IsBlank(c) || c == ',' || c == '/';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A real constant as the free-form reads take it: sign, digits with an
// optional point, an exponent led by e, d or q (either case) or a bare sign.
bool ParseReal(std::string_view text, double& value) {
  std::string scratch;
  std::size_t i = 0;
  const std::size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) scratch.push_back(text[i++]);
  std::size_t digits = 0;
  for (; i < n && IsDigit(text[i]); ++i, ++digits) scratch.push_back(text[i]);
  if (i < n && text[i] == '.') {
    scratch.push_back(text[i++]);
    for (; i < n && IsDigit(text[i]); ++i, ++digits) scratch.push_back(text[i]);
  }
  if (digits == 0) return false;
  if (i < n) {
    if (std::strchr("eEdDqQ", text[i]) != nullptr) {
      ++i;
    } else if (text[i] != '+' && text[i] != '-') {
      return false;
    }
    scratch.push_back('e');
    if (i < n && (text[i] == '+' || text[i] == '-')) scratch.push_back(text[i++]);
    const std::size_t start = i;
    for (; i < n && IsDigit(text[i]); ++i) scratch.push_back(text[i]);
    if (i == start || i != n) return false;
  }
  // strtod gives zero for an underflow, as the engine does; an overflow is
  // malformed.
  char* end = nullptr;
  value = std::strtod(scratch.c_str(), &end);
  return end == scratch.c_str() + scratch.size() && std::isfinite(value);
}

bool ParseCount(std::string_view text, std::int64_t& value) {
  std::size_t start = (!text.empty() && text.front() == '+') ? 1 : 0;
  const auto result = std::from_chars(text.data() + start, text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size() &&
         value <= std::numeric_limits<std::int32_t>::max() &&
         value >= std::numeric_limits<std::int32_t>::min();
}

// Lines of a file with the byte offset where each ends, and the items of one
// free-form read.
class SectionReader {
 public:
  explicit SectionReader(std::FILE* file) : file_(file), buffer_(kBufferSize) {}

  // The next line into line_; false at the end of the file.
  bool NextLine() {
    line_.clear();
    pos_ = 0;
    lineHadEnd_ = false;
    bool gotAny = false;
    for (;;) {
      if (bufferPos_ == bufferEnd_) {
        bufferPos_ = 0;
        bufferEnd_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
        if (bufferEnd_ == 0) break;
      }
      gotAny = true;
      const char* start = buffer_.data() + bufferPos_;
      const std::size_t available = bufferEnd_ - bufferPos_;
      const auto* newline = static_cast<const char*>(std::memchr(start, '\n', available));
      const std::size_t taken =
          newline != nullptr ? static_cast<std::size_t>(newline - start) : available;
      line_.append(start, taken);
      bufferPos_ += taken;
      offset_ += taken;
      if (newline != nullptr) {
        ++bufferPos_;
        ++offset_;
        lineHadEnd_ = true;
        break;
      }
    }
    if (!gotAny) return false;
    ++lineNumber_;
    return true;
  }

  enum class Kind { kValue, kNull, kSlash, kEnd, kBad };
  struct Item {
    Kind kind;
    std::string_view text;
  };

  // Starts a read on a fresh line.
  bool BeginRead() {
    afterValue_ = false;
    repeatLeft_ = 0;
    return NextLine();
  }

  // The next item of the read in progress, going on over line ends.
  Item NextItem() {
    if (repeatLeft_ > 0) {
      --repeatLeft_;
      return repeatNull_ ? Item{Kind::kNull, {}} : Item{Kind::kValue, repeatText_};
    }
    bool commaSeparates = afterValue_;
    for (;;) {
      while (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
      if (pos_ == line_.size()) {
        if (!NextLine()) return {Kind::kEnd, {}};
        continue;
      }
      if (line_[pos_] == ',') {
        ++pos_;
        if (commaSeparates) {
          commaSeparates = false;
          continue;
        }
        afterValue_ = false;
        return {Kind::kNull, {}};
      }
      if (line_[pos_] == '/') return {Kind::kSlash, {}};
      break;
    }
    const std::size_t start = pos_;
    while (pos_ < line_.size() && !IsSeparator(line_[pos_])) ++pos_;
    const std::string_view token(line_.data() + start, pos_ - start);
    afterValue_ = true;
    const std::size_t star = token.find('*');
    if (star == std::string_view::npos) return {Kind::kValue, token};
    std::int64_t count = 0;
    const std::string_view repeat = token.substr(0, star);
    if (repeat.empty() || !IsDigit(repeat.front()) || !ParseCount(repeat, count) || count <= 0) {
      return {Kind::kBad, token};
    }
    repeatLeft_ = count - 1;
    repeatText_.assign(token.substr(star + 1));
    repeatNull_ = repeatText_.empty();
    return repeatNull_ ? Item{Kind::kNull, {}} : Item{Kind::kValue, repeatText_};
  }

  // Whether the read could take one more value from the current line.
  bool MoreOnLine() const {
    if (repeatLeft_ > 0) return !repeatNull_;
    std::size_t i = pos_;
    while (i < line_.size() && IsBlank(line_[i])) ++i;
    if (i < line_.size() && line_[i] == ',') ++i;
    while (i < line_.size() && IsBlank(line_[i])) ++i;
    return i < line_.size() && line_[i] != '/' && line_[i] != ',';
  }

  const std::string& line() const { return line_; }
  bool lineHadEnd() const { return lineHadEnd_; }
  std::uintmax_t offset() const { return offset_; }
  long lineNumber() const { return lineNumber_; }

 private:
  std::FILE* file_;
  std::vector<char> buffer_;
  std::size_t bufferPos_ = 0;
  std::size_t bufferEnd_ = 0;
  std::uintmax_t offset_ = 0;
  long lineNumber_ = 0;
  std::string line_;
  std::size_t pos_ = 0;
  bool lineHadEnd_ = false;
  bool afterValue_ = false;
  std::int64_t repeatLeft_ = 0;
  bool repeatNull_ = false;
  std::string repeatText_;
};

}  // namespace

std::filesystem::path FindDataFile(const std::filesystem::path& document) {
  std::filesystem::path dataFile = document;
  dataFile.replace_extension(".dfl");
  return FindIgnoringCase(dataFile);
}

bool ScanDataSection(const std::filesystem::path& dataFile, DataSection& section,
                     std::string& error) {
  section = DataSection{};
  const std::string name = dataFile.string();
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(dataFile.c_str(), "rb"));
  if (!file) {
    error = "cannot read " + name + ": " + std::strerror(errno);
    return false;
  }
  SectionReader reader(file.get());
  if (!reader.NextLine()) {
    error = name + " is empty";
    return false;
  }
  section.title = reader.line();
  if (!section.title.empty() && section.title.back() == '\r') {
    section.title.pop_back();
    section.lineEnd = "\r\n";
  }
  auto at = [&] { return name + " line " + std::to_string(reader.lineNumber()); };

  if (!reader.BeginRead()) {
    error = name + " ends after its title, before the number of data points";
    return false;
  }
  const auto count = reader.NextItem();
  if (count.kind == SectionReader::Kind::kEnd) {
    error = name + " ends before the number of data points";
    return false;
  }
  if (count.kind != SectionReader::Kind::kValue || !ParseCount(count.text, section.count) ||
      section.count < 0) {
    error = at() + ": '" + std::string(count.text) +
            "' is not a number of data points (a whole number, 0 or more)";
    return false;
  }
  section.endsWithLineEnd = reader.lineHadEnd();
  section.end = reader.offset();

  // The count is what the file claims; the points must still be there, so
  // no more is reserved up front than a plausible file holds.
  const auto reserved = static_cast<std::size_t>(std::min<std::int64_t>(section.count, 1 << 20));
  section.x.reserve(reserved);
  section.y.reserve(reserved);
  section.guesses = section.count > 0;
  for (std::int64_t point = 1; point <= section.count; ++point) {
    const std::string which =
        "data point " + std::to_string(point) + " of " + std::to_string(section.count);
    if (!reader.BeginRead()) {
      error = name + " ends before " + which;
      return false;
    }
    double values[3] = {kMissing, kMissing, kMissing};
    for (double& value : values) {
      const auto item = reader.NextItem();
      if (item.kind == SectionReader::Kind::kSlash) break;
      if (item.kind == SectionReader::Kind::kEnd) {
        error = name + " ends inside " + which;
        return false;
      }
      if (item.kind == SectionReader::Kind::kBad ||
          (item.kind == SectionReader::Kind::kValue && !ParseReal(item.text, value))) {
        error = at() + ": '" + std::string(item.text) + "' is not a number (" + which + ")";
        return false;
      }
    }
    section.guesses = section.guesses && reader.MoreOnLine();
    section.x.push_back(values[0]);
    section.y.push_back(values[1]);
    section.endsWithLineEnd = reader.lineHadEnd();
    section.end = reader.offset();
  }
  if (std::ferror(file.get()) != 0) {
    error = "cannot read " + name;
    return false;
  }
  return true;
}

}  // namespace mornax::geo
