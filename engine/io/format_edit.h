// Output editing of single values into fixed-width fields, as GNU Fortran
// prints them: every routine appends exactly `width` characters (or the
// text's own length for A without a width) to `out`. Reals round to nearest
// on their exact binary value, ties to even; a value that does not fit is
// written as `width` asterisks. No routine allocates beyond growing `out`.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mornax::io {

// Iw (minDigits < 0) or Iw.m.
void EditInteger(std::int64_t value, int width, int minDigits, std::string& out);

// Fw.d; the scale factor k multiplies the value by 10^k.
void EditFixed(double value, int width, int decimals, int scale, std::string& out);

// Ew.d or Ew.dEe (exponentDigits 0 when absent), with scale factor k.
void EditExponent(double value, int width, int decimals, int exponentDigits, int scale,
                  std::string& out);

// Gw.d or Gw.dEe: fixed point with d significant digits followed by 4 (or
// e+2) blanks when the magnitude rounds into [0.1, 10^d) or is zero,
// otherwise as E with the scale factor.
void EditGeneral(double value, int width, int decimals, int exponentDigits, int scale,
                 std::string& out);

// A (width 0: the text as it is) or Aw: the first w characters, or the text
// right-aligned after blanks when it is shorter.
void EditText(std::string_view text, int width, std::string& out);

}  // namespace mornax::io
