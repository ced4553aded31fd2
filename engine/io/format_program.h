// The parsed form of a record format: a flat list of edit operations with
// every repeat count and group unrolled, so that rendering is a straight walk
// over the list with one jump back (reversion) when values remain at its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mornax::io {

enum class FormatOpKind : std::uint8_t {
  kInteger,    // Iw or Iw.m
  kFixed,      // Fw.d
  kExponent,   // Ew.d or Ew.dEe
  kGeneral,    // Gw.d or Gw.dEe
  kText,       // A or Aw
  kLiteral,    // a quoted text
  kSkip,       // nX
  kRecordEnd,  // /
  kColon,      // : (stop here when the values are used up)
  kScale,      // kP
};

struct FormatOp {
  FormatOpKind kind = FormatOpKind::kLiteral;
  int width = 0;                 // w of a data descriptor (0 for A without width), n of nX
  int digits = 0;                // d of F/E/G, m of Iw.m (-1 when absent), k of kP
  int exponent = 0;              // e of Ew.dEe / Gw.dEe; 0 when absent
  std::uint32_t textOffset = 0;  // literal text in FormatProgram::texts
  std::uint32_t textLength = 0;

  bool IsData() const { return kind <= FormatOpKind::kText; }
};

struct FormatProgram {
  std::vector<FormatOp> ops;
  std::string texts;              // the literal texts, one after another
  std::size_t reversion = 0;      // where writing resumes when values remain
  bool hasData = false;           // some data descriptor in the whole list
  bool reversionHasData = false;  // some data descriptor from `reversion` on

  std::string_view Text(const FormatOp& op) const {
    return std::string_view(texts).substr(op.textOffset, op.textLength);
  }
};

// Parses a format description with its outer parentheses, e.g.
// "(1x,I5,3x,F8.2)". Letters are case-insensitive and blanks outside quoted
// texts are ignored. Throws std::invalid_argument naming the position of the
// fault for a description that is not understood: formats are fixed texts of
// the program, so a bad one is a programming error caught by the first run.
FormatProgram ParseFormat(std::string_view format);

}  // namespace mornax::io
