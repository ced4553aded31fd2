#include "io/format_program.h"

#include <cctype>
#include <stdexcept>
#include <string>

namespace mornax::io {
namespace {

// Bounds that keep a mistyped format from unrolling into something huge.
constexpr int kMaxNumber = 1000;
constexpr std::size_t kMaxOps = 100000;

class FormatParser {
 public:
  explicit FormatParser(std::string_view format) : text_(format) {}

  FormatProgram Parse() {
    Expect('(');
    ParseList(/*topLevel=*/true);
    if (Peek() != '\0') Fail("text after the closing parenthesis");
    for (std::size_t i = 0; i < program_.ops.size(); ++i) {
      if (!program_.ops[i].IsData()) continue;
      program_.hasData = true;
      if (i >= program_.reversion) program_.reversionHasData = true;
    }
    return std::move(program_);
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::invalid_argument("record format \"" + std::string(text_) + "\", column " +
                                std::to_string(pos_ + 1) + ": " + what);
  }

  // The next character that is not a blank, upper-cased; '\0' at the end.
  char Peek() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    if (pos_ >= text_.size()) return '\0';
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text_[pos_])));
  }
  char Next() {
    const char c = Peek();
    if (c != '\0') ++pos_;
    return c;
  }
  void Expect(char wanted) {
    if (Next() != wanted) Fail(std::string("expected '") + wanted + "'");
  }
  bool IsDigit() { return std::isdigit(static_cast<unsigned char>(Peek())) != 0; }

  int Number() {
    if (!IsDigit()) Fail("expected a number");
    int value = 0;
    while (IsDigit()) {
      value = value * 10 + (text_[pos_++] - '0');
      if (value > kMaxNumber) Fail("number too large");
    }
    return value;
  }

  void Append(const FormatOp& op, int times) {
    for (int i = 0; i < times; ++i) {
      if (program_.ops.size() >= kMaxOps) Fail("format unrolls into too many items");
      program_.ops.push_back(op);
    }
  }

  // Items up to and including the group's closing parenthesis; commas are
  // accepted between items and may also be left out.
  void ParseList(bool topLevel) {
    for (;;) {
      const char c = Peek();
      if (c == '\0') Fail("missing ')'");
      if (c == ')') {
        ++pos_;
        return;
      }
      if (c == ',') {
        ++pos_;
        continue;
      }
      ParseItem(topLevel);
    }
  }

  void ParseItem(bool topLevel) {
    char c = Peek();
    if (c == '\'' || c == '"') {
      ParseLiteral(c);
      return;
    }
    if (c == '/') {
      ++pos_;
      Append({.kind = FormatOpKind::kRecordEnd}, 1);
      return;
    }
    if (c == ':') {
      ++pos_;
      Append({.kind = FormatOpKind::kColon}, 1);
      return;
    }

    int count = 1;
    bool haveCount = false;
    bool negative = false;
    if (c == '-' || c == '+') {
      negative = c == '-';
      ++pos_;
      if (!IsDigit()) Fail("expected a number after the sign");
    }
    if (IsDigit()) {
      count = Number();
      haveCount = true;
    }
    c = Peek();
    if (c == 'P') {
      if (!haveCount) Fail("scale factor without a number");
      ++pos_;
      Append({.kind = FormatOpKind::kScale, .digits = negative ? -count : count}, 1);
      return;
    }
    if (negative) Fail("a sign is allowed only before P");
    if (haveCount && count == 0) Fail("a repeat count must be positive");

    switch (c) {
      case '(': {
        ++pos_;
        const std::size_t start = program_.ops.size();
        ParseList(/*topLevel=*/false);
        const std::vector<FormatOp> body(program_.ops.begin() + static_cast<long>(start),
                                         program_.ops.end());
        for (int i = 1; i < count; ++i) {
          for (const FormatOp& op : body) Append(op, 1);
        }
        // Values left over at the end of the format go on from the last group
        // at the outer level, with its repeat count.
        if (topLevel) program_.reversion = start;
        return;
      }
      case '/':
        ++pos_;
        Append({.kind = FormatOpKind::kRecordEnd}, count);
        return;
      case 'X':
        ++pos_;
        Append({.kind = FormatOpKind::kSkip, .width = count}, 1);
        return;
      case 'I':
      case 'F':
      case 'E':
      case 'G':
      case 'A':
        ++pos_;
        Append(ParseData(c), count);
        return;
      default:
        Fail("unknown edit descriptor");
    }
  }

  FormatOp ParseData(char code) {
    FormatOp op;
    switch (code) {
      case 'A':
        op.kind = FormatOpKind::kText;
        if (IsDigit()) op.width = Positive();
        return op;
      case 'I':
        op.kind = FormatOpKind::kInteger;
        op.width = Positive();
        op.digits = -1;
        if (Peek() == '.') {
          ++pos_;
          op.digits = Number();
        }
        return op;
      default:
        break;
    }
    op.kind = code == 'F'   ? FormatOpKind::kFixed
              : code == 'E' ? FormatOpKind::kExponent
                            : FormatOpKind::kGeneral;
    op.width = Positive();
    Expect('.');
    op.digits = Number();
    if (code != 'F' && Peek() == 'E') {
      ++pos_;
      op.exponent = Positive();
    }
    return op;
  }

  int Positive() {
    const int value = Number();
    if (value == 0) Fail("a width must be positive");
    return value;
  }

  // A quoted text; a doubled quote inside stands for one quote.
  void ParseLiteral(char quote) {
    ++pos_;
    FormatOp op{.kind = FormatOpKind::kLiteral};
    op.textOffset = static_cast<std::uint32_t>(program_.texts.size());
    for (;;) {
      if (pos_ >= text_.size()) Fail("unterminated text");
      const char c = text_[pos_++];
      if (c == quote) {
        if (pos_ < text_.size() && text_[pos_] == quote) {
          ++pos_;
        } else {
          break;
        }
      }
      program_.texts.push_back(c);
    }
    op.textLength = static_cast<std::uint32_t>(program_.texts.size() - op.textOffset);
    Append(op, 1);
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  FormatProgram program_;
};

}  // namespace

FormatProgram ParseFormat(std::string_view format) {
  return FormatParser(format).Parse();
}

}  // namespace mornax::io
