#include "io/free_reader.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

#include "io/file_lookup.h"

namespace mornax::io {
namespace {

constexpr std::size_t kBufferSize = 1 << 18;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}
bool IsSeparator(char c) {
  return IsBlank(c) || c == ',' || c == '/';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Converts the text of a real constant: an optional sign, digits with an
// optional decimal point (at least one digit), and an optional exponent that
// starts with e, d or q in either case, or with a bare sign. The text is
// rewritten into `scratch` in the form std::from_chars accepts, which rounds
// correctly. Values beyond the double range are refused; values below it
// become zero.
bool ParseReal(std::string_view text, std::string& scratch, double& value) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  scratch.clear();
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (negative) scratch.push_back('-');

  // Decimal position of the first significant digit, to tell an overflow from
  // an underflow when the conversion reports a value out of range.
  long long leadPosition = 0;
  bool significant = false;
  std::size_t digits = 0;
  long long integerDigits = 0;
  for (; i < n && IsDigit(text[i]); ++i, ++digits) {
    scratch.push_back(text[i]);
    ++integerDigits;
    if (!significant && text[i] != '0') {
      significant = true;
      leadPosition = integerDigits;
    }
  }
  if (significant) leadPosition = integerDigits - leadPosition + 1;
  if (i < n && text[i] == '.') {
    scratch.push_back('.');
    ++i;
    long long fractionDigits = 0;
    for (; i < n && IsDigit(text[i]); ++i, ++digits) {
      scratch.push_back(text[i]);
      ++fractionDigits;
      if (!significant && text[i] != '0') {
        significant = true;
        leadPosition = -fractionDigits + 1;
      }
    }
  }
  if (digits == 0) return false;

  long long exponent = 0;
  if (i < n) {
    const char c = text[i];
    if (c == 'e' || c == 'E' || c == 'd' || c == 'D' || c == 'q' || c == 'Q') {
      ++i;
    } else if (c != '+' && c != '-') {
      return false;
    }
    scratch.push_back('e');
    bool negativeExponent = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
      negativeExponent = text[i] == '-';
      scratch.push_back(text[i]);
      ++i;
    }
    const std::size_t exponentStart = i;
    for (; i < n && IsDigit(text[i]); ++i) {
      scratch.push_back(text[i]);
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
    }
    if (i == exponentStart || i != n) return false;
    if (negativeExponent) exponent = -exponent;
  }

  double converted = 0.0;
  const char* first = scratch.data();
  const char* last = first + scratch.size();
  const auto result = std::from_chars(first, last, converted);
  if (result.ptr != last) return false;
  if (result.ec == std::errc::result_out_of_range) {
    if (leadPosition + exponent > 0) return false;  // beyond the largest double
    converted = negative ? -0.0 : 0.0;
  } else if (result.ec != std::errc()) {
    return false;
  }
  value = converted;
  return true;
}

// Converts the text of an integer constant: an optional sign and digits only,
// within the 32-bit range.
bool ParseInteger(std::string_view text, std::int32_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return false;
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return false;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > limit) return false;
  }
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

}  // namespace

FreeFormReader::~FreeFormReader() {
  Close();
}

bool FreeFormReader::Open(const std::filesystem::path& file) {
  Close();
  const auto path = ResolveProjectFile(file);
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) return false;
  buffer_.resize(kBufferSize);
  return true;
}

void FreeFormReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  bufferPos_ = bufferEnd_ = 0;
  line_.clear();
  pos_ = 0;
  lineNumber_ = 0;
  failedItem_ = 0;
  lastStatus_ = kReadOk;
  afterValue_ = false;
  repeatLeft_ = 0;
}

bool FreeFormReader::Refill() {
  if (file_ == nullptr) return false;
  bufferPos_ = 0;
  bufferEnd_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  return bufferEnd_ > 0;
}

bool FreeFormReader::NextLine() {
  line_.clear();
  pos_ = 0;
  bool gotAny = false;
  for (;;) {
    if (bufferPos_ == bufferEnd_ && !Refill()) {
      if (!gotAny) return false;
      break;  // last line without a line end
    }
    gotAny = true;
    const char* start = buffer_.data() + bufferPos_;
    const std::size_t available = bufferEnd_ - bufferPos_;
    const auto* end = static_cast<const char*>(std::memchr(start, '\n', available));
    if (end != nullptr) {
      line_.append(start, end);
      bufferPos_ += static_cast<std::size_t>(end - start) + 1;
      break;
    }
    line_.append(start, available);
    bufferPos_ = bufferEnd_;
  }
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();
  ++lineNumber_;
  return true;
}

int FreeFormReader::ReadText(std::string& line) {
  failedItem_ = 0;
  lastStatus_ = NextLine() ? kReadOk : kReadEndOfFile;
  if (lastStatus_ == kReadOk) line = line_;
  return lastStatus_;
}

int FreeFormReader::SkipLine() {
  failedItem_ = 0;
  lastStatus_ = NextLine() ? kReadOk : kReadEndOfFile;
  return lastStatus_;
}

bool FreeFormReader::BeginRead() {
  afterValue_ = false;
  repeatLeft_ = 0;
  return NextLine();
}

FreeFormReader::Item FreeFormReader::NextItem() {
  if (repeatLeft_ > 0) {
    --repeatLeft_;
    if (repeatNull_) return {ItemKind::kNull, {}};
    return {ItemKind::kValue, repeatText_};
  }
  // One comma after a value (blanks and line ends around it) only separates;
  // any further comma marks an empty field.
  bool commaSeparates = afterValue_;
  for (;;) {
    while (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
    if (pos_ == line_.size()) {
      if (!NextLine()) return {ItemKind::kEnd, {}};
      continue;
    }
    const char c = line_[pos_];
    if (c == ',') {
      ++pos_;
      if (commaSeparates) {
        commaSeparates = false;
        continue;
      }
      afterValue_ = false;
      return {ItemKind::kNull, {}};
    }
    if (c == '/') return {ItemKind::kSlash, {}};
    break;
  }

  const std::size_t start = pos_;
  while (pos_ < line_.size() && !IsSeparator(line_[pos_])) ++pos_;
  const std::string_view token(line_.data() + start, pos_ - start);
  afterValue_ = true;

  const std::size_t star = token.find('*');
  if (star == std::string_view::npos) return {ItemKind::kValue, token};

  // r*c: r copies of c; r* alone: r null values.
  std::int32_t count = 0;
  const std::string_view repeat = token.substr(0, star);
  if (repeat.empty() || !IsDigit(repeat.front()) || !ParseInteger(repeat, count) || count <= 0) {
    return {ItemKind::kBad, {}};
  }
  const std::string_view constant = token.substr(star + 1);
  repeatLeft_ = count - 1;
  repeatNull_ = constant.empty();
  if (repeatNull_) return {ItemKind::kNull, {}};
  repeatText_.assign(constant);
  return {ItemKind::kValue, repeatText_};
}

int FreeFormReader::ReadReals(std::span<double> values) {
  failedItem_ = 0;
  lastStatus_ = ReadRealsFrom(values);
  return lastStatus_;
}

int FreeFormReader::ReadRealsFrom(std::span<double> values) {
  if (!BeginRead()) return kReadEndOfFile;
  for (double& value : values) {
    const Item item = NextItem();
    switch (item.kind) {
      case ItemKind::kValue:
        if (!ParseReal(item.text, scratch_, value)) return kReadFormatError;
        break;
      case ItemKind::kNull:
        break;
      case ItemKind::kSlash:
        return kReadOk;
      case ItemKind::kEnd:
        return kReadEndOfFile;
      case ItemKind::kBad:
        return kReadFormatError;
    }
    ++failedItem_;
  }
  return kReadOk;
}

int FreeFormReader::ReadInteger(std::int32_t& value) {
  failedItem_ = 0;
  lastStatus_ = ReadIntegerFrom(value);
  return lastStatus_;
}

int FreeFormReader::ReadIntegerFrom(std::int32_t& value) {
  if (!BeginRead()) return kReadEndOfFile;
  const Item item = NextItem();
  switch (item.kind) {
    case ItemKind::kValue:
      return ParseInteger(item.text, value) ? kReadOk : kReadFormatError;
    case ItemKind::kNull:
    case ItemKind::kSlash:
      return kReadOk;
    case ItemKind::kEnd:
      return kReadEndOfFile;
    case ItemKind::kBad:
      return kReadFormatError;
  }
  return kReadFormatError;
}

std::string FreeFormReader::FailureDetail(std::initializer_list<std::string_view> items) const {
  std::string detail;
  if (lastStatus_ >= 0) {
    detail = ", line " + std::to_string(std::max(lineNumber_, 1L));
  } else if (lineNumber_ == 0) {
    detail = ", the file is empty";
  } else {
    detail = ", after line " + std::to_string(lineNumber_);
  }
  if (failedItem_ < items.size()) {
    detail += ": ";
    detail += *(items.begin() + failedItem_);
    detail += " expected";
  }
  return detail;
}

}  // namespace mornax::io
