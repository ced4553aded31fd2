#include "io/fortran_format.h"

#include <cmath>

#include "io/format_edit.h"
#include "io/format_program.h"

namespace mornax::io {

struct FortranFormat::Program {
  FormatProgram parsed;
};

namespace {

void Asterisks(int width, std::string& out) {
  out.append(static_cast<std::size_t>(width > 0 ? width : 1), '*');
}

// One value in one data field. Integers and reals stand in for each other
// where that loses nothing (an integer in a real field, a whole real in an
// integer field); any other mismatch shows the field as asterisks rather than
// a misleading number. G takes integers and texts the way Fortran does, as I
// and A editing.
void EditValue(const FormatOp& op, const FortranValue& value, int scale, std::string& out) {
  if (const auto* text = std::get_if<std::string_view>(&value)) {
    if (op.kind == FormatOpKind::kText || op.kind == FormatOpKind::kGeneral) {
      return EditText(*text, op.width, out);
    }
    return Asterisks(op.width, out);
  }
  if (const auto* integer = std::get_if<std::int64_t>(&value)) {
    switch (op.kind) {
      case FormatOpKind::kInteger:
        return EditInteger(*integer, op.width, op.digits, out);
      case FormatOpKind::kGeneral:
        return EditInteger(*integer, op.width, -1, out);
      case FormatOpKind::kText:
        return Asterisks(op.width, out);
      default:
        break;
    }
  }
  const double real = std::holds_alternative<double>(value)
                          ? std::get<double>(value)
                          : static_cast<double>(std::get<std::int64_t>(value));
  switch (op.kind) {
    case FormatOpKind::kFixed:
      return EditFixed(real, op.width, op.digits, scale, out);
    case FormatOpKind::kExponent:
      return EditExponent(real, op.width, op.digits, op.exponent, scale, out);
    case FormatOpKind::kGeneral:
      return EditGeneral(real, op.width, op.digits, op.exponent, scale, out);
    case FormatOpKind::kInteger:
      // 2^63 is exactly representable; anything at or beyond it is not an int64.
      if (std::trunc(real) == real && std::fabs(real) < 9223372036854775808.0) {
        return EditInteger(static_cast<std::int64_t>(real), op.width, op.digits, out);
      }
      return Asterisks(op.width, out);
    default:
      return Asterisks(op.width, out);
  }
}

}  // namespace

FortranFormat::FortranFormat(std::string_view format)
    : program_(std::make_unique<Program>(Program{ParseFormat(format)})) {}
FortranFormat::~FortranFormat() = default;
FortranFormat::FortranFormat(FortranFormat&&) noexcept = default;
FortranFormat& FortranFormat::operator=(FortranFormat&&) noexcept = default;

void FortranFormat::Render(std::span<const FortranValue> values, std::string& out) const {
  const FormatProgram& program = program_->parsed;
  const std::vector<FormatOp>& ops = program.ops;
  std::size_t next = 0;  // next value to write
  std::size_t at = 0;    // next operation
  int scale = 0;
  // Blanks of nX become part of the record only when something follows them
  // on the same record.
  int pendingBlanks = 0;
  const auto flushBlanks = [&] {
    out.append(static_cast<std::size_t>(pendingBlanks), ' ');
    pendingBlanks = 0;
  };

  for (;;) {
    if (at == ops.size()) {
      out.push_back('\n');
      pendingBlanks = 0;
      // Values left over start a new record from the reversion point; a
      // reversion part without data fields could never take them.
      if (next >= values.size() || !program.reversionHasData) return;
      at = program.reversion;
      continue;
    }
    const FormatOp& op = ops[at++];
    switch (op.kind) {
      case FormatOpKind::kSkip:
        pendingBlanks += op.width;
        break;
      case FormatOpKind::kRecordEnd:
        out.push_back('\n');
        pendingBlanks = 0;
        break;
      case FormatOpKind::kColon:
        if (next >= values.size()) {
          out.push_back('\n');
          return;
        }
        break;
      case FormatOpKind::kScale:
        scale = op.digits;
        break;
      case FormatOpKind::kLiteral:
        flushBlanks();
        out.append(program.Text(op));
        break;
      default:
        // Writing stops at the first data field for which no value is left.
        if (next >= values.size()) {
          out.push_back('\n');
          return;
        }
        flushBlanks();
        EditValue(op, values[next++], scale, out);
        break;
    }
  }
}

std::string FreeFormText(std::string_view text) {
  std::string line;
  line.reserve(text.size() + 1);
  line.push_back(' ');
  line.append(text);
  return line;
}

std::string FreeFormInteger(std::int64_t value) {
  // A blank separator, then the value in 11 columns (sign and ten digits).
  std::string line(" ");
  EditInteger(value, 11, -1, line);
  if (line[1] == '*') {
    line.resize(1);
    line.append(std::to_string(value));
  }
  return line;
}

}  // namespace mornax::io
