#include "io/format_edit.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace mornax::io {
namespace {

// Room for any fixed-point rendering the parser allows (309 integer digits,
// widths and decimals up to 1000) and for the exact expansion of a double.
constexpr int kBufferSize = 2400;
// The exact decimal expansion of any double has at most 767 significant
// digits, so this many digits after the first are always exact.
constexpr int kExactPrecision = 770;

void Asterisks(int width, std::string& out) {
  out.append(static_cast<std::size_t>(width), '*');
}

// Decimal digits of a non-negative value: the value is digits[0..length) with
// the decimal point after `point` digits. Positions outside [0, length) are
// zeros, so `point` may be negative or beyond `length`.
struct DigitString {
  char digits[kBufferSize];
  int length = 0;
  int point = 0;

  char At(int position) const {
    return position >= 0 && position < length ? digits[position] : '0';
  }
};

// `magnitude` rounded to `decimals` places after the point (ties to even, on
// the exact binary value); std::to_chars gives exactly the digits of printf
// in the C locale, independent of the process locale. False when the digits
// do not fit the buffer.
bool RoundFixed(double magnitude, int decimals, DigitString& result) {
  if (decimals >= 0) {
    char text[kBufferSize];
    const auto [end, error] =
        std::to_chars(text, text + kBufferSize, magnitude, std::chars_format::fixed, decimals);
    if (error != std::errc()) return false;
    result.length = 0;
    result.point = -1;
    for (const char* p = text; p != end; ++p) {
      if (*p == '.') {
        result.point = result.length;
      } else {
        result.digits[result.length++] = *p;
      }
    }
    if (result.point < 0) result.point = result.length;
    return true;
  }

  // Rounding to the left of the point: round the exact expansion by hand.
  char text[kBufferSize];
  const auto [end, error] = std::to_chars(text, text + kBufferSize, magnitude,
                                          std::chars_format::scientific, kExactPrecision);
  if (error != std::errc()) return false;
  const char* exponentMark = static_cast<const char*>(std::memchr(text, 'e', end - text));
  int exponent = 0;
  std::from_chars(exponentMark + (exponentMark[1] == '+' ? 2 : 1), end, exponent);
  char exact[kBufferSize];
  int exactLength = 0;
  for (const char* p = text; p != exponentMark; ++p) {
    if (*p != '.') exact[exactLength++] = *p;
  }
  // Digits kept: those down to the 10^-decimals place.
  const int keep = exponent + 1 + decimals;
  result.length = 0;
  result.point = exponent + 1;
  if (keep < 0 || magnitude == 0.0) return true;
  bool roundUp = false;
  if (keep < exactLength) {
    const char first = exact[keep];
    bool restNonZero = false;
    for (int i = keep + 1; i < exactLength && !restNonZero; ++i) restNonZero = exact[i] != '0';
    const bool previousOdd = keep > 0 && ((exact[keep - 1] - '0') % 2 == 1);
    roundUp = first > '5' || (first == '5' && (restNonZero || previousOdd));
  }
  result.length = keep < exactLength ? keep : exactLength;
  std::memcpy(result.digits, exact, static_cast<std::size_t>(result.length));
  // Digits between the expansion's end and the rounding place are zeros.
  while (result.length < keep && result.length < kBufferSize) result.digits[result.length++] = '0';
  if (roundUp) {
    int i = keep - 1;
    while (i >= 0 && result.digits[i] == '9') result.digits[i--] = '0';
    if (i >= 0) {
      ++result.digits[i];
    } else {
      std::memmove(result.digits + 1, result.digits, static_cast<std::size_t>(result.length));
      result.digits[0] = '1';
      ++result.length;
      ++result.point;
    }
  }
  return true;
}

// `magnitude` (finite, not zero) rounded to `count` significant digits:
// digits[0..count) and the exponent x with value = 0.digits * 10^x.
bool RoundSignificant(double magnitude, int count, char* digits, int& exponent) {
  char text[kBufferSize];
  const auto [end, error] =
      std::to_chars(text, text + kBufferSize, magnitude, std::chars_format::scientific, count - 1);
  if (error != std::errc()) return false;
  int n = 0;
  const char* p = text;
  for (; p != end && *p != 'e'; ++p) {
    if (*p != '.') digits[n++] = *p;
  }
  int power = 0;
  std::from_chars(p + (p[1] == '+' ? 2 : 1), end, power);
  exponent = power + 1;
  return true;
}

// A result file never shows NaN or Infinity text: a value that is not a
// finite number fills its field with asterisks, like a value too wide for it.
void EditNonFinite(int width, std::string& out) {
  Asterisks(width, out);
}

// Fixed-point layout of rounded digits shown with the point moved `shift`
// places to the right: sign, integer digits (a lone 0 before the point only
// where the width allows), the point and `decimals` digits.
void LayoutFixed(bool negative, const DigitString& value, int shift, int width, int decimals,
                 std::string& out) {
  const int point = value.point + shift;
  int first = 0;  // first non-zero integer digit
  while (first < point && value.At(first) == '0') ++first;
  const int integerDigits = point > first ? point - first : 0;
  int needed = (negative ? 1 : 0) + integerDigits + 1 + decimals;
  bool leadingZero = false;
  // Without decimals the zero is the only digit and cannot be left out.
  if (integerDigits == 0 && (needed < width || decimals == 0)) {
    leadingZero = true;
    ++needed;
  }
  if (needed > width) return Asterisks(width, out);
  out.append(static_cast<std::size_t>(width - needed), ' ');
  if (negative) out.push_back('-');
  if (leadingZero) out.push_back('0');
  for (int i = first; i < point; ++i) out.push_back(value.At(i));
  out.push_back('.');
  for (int i = 0; i < decimals; ++i) out.push_back(value.At(point + i));
}

// Appends the exponent part: E+dd / E-dd, +ddd beyond 99 without Ee, or
// E+ and exactly `exponentDigits` digits. False when it does not fit.
bool AppendExponent(int exponent, int exponentDigits, std::string& out) {
  const int magnitude = exponent < 0 ? -exponent : exponent;
  const char sign = exponent < 0 ? '-' : '+';
  int digits = 2;
  if (exponentDigits > 0) {
    digits = exponentDigits;
    out.push_back('E');
  } else if (magnitude <= 99) {
    out.push_back('E');
  } else {
    digits = 3;
  }
  int needed = 1;
  for (int v = magnitude; v >= 10; v /= 10) ++needed;
  if (needed > digits) return false;
  out.push_back(sign);
  char text[12];
  for (int i = digits - 1, v = magnitude; i >= 0; --i, v /= 10)
    text[i] = static_cast<char>('0' + v % 10);
  out.append(text, static_cast<std::size_t>(digits));
  return true;
}

int ExponentWidth(int exponentDigits) {
  return exponentDigits > 0 ? exponentDigits + 2 : 4;
}

// 10^n built by repeated multiplication, so that the G bounds below come out
// with the same rounding as gfortran's.
double PowerOfTen(int n) {
  double r = 1.0;
  for (int i = 0; i < (n >= 0 ? n : -n); ++i) r *= 10;
  return n >= 0 ? r : 1.0 / r;
}

// Decimals of the fixed-point form of Gw.d for a finite magnitude, or -1 for
// the exponent form. The fixed form holds d significant digits and is taken
// when the magnitude lies in [0.1 - 0.5*10^(-d-1), 10^d - 0.5); the bounds
// and the choice of decimals are computed in double precision, exactly as
// gfortran does, so values a rounding error away from a bound go the same way.
int GeneralFixedDecimals(double magnitude, int d) {
  if (d <= 0) return -1;
  if (magnitude == 0.0) return d - 1;
  const double limit = PowerOfTen(d);
  const double lowerScale = 1 - 0.5 / limit;
  if (magnitude < 0.1 * lowerScale || 0.5 >= limit - magnitude) return -1;
  // The number of integer digits: the smallest `mid` with
  // magnitude < 10^mid * lowerScale, found by gfortran's bisection.
  int mid = 0;
  int low = 0;
  int high = d + 1;
  int lowerBound = 0;
  int upperBound = d + 1;
  while (low <= high) {
    mid = (low + high) / 2;
    const double bound = PowerOfTen(mid - 1) * lowerScale;
    if (magnitude < bound) {
      upperBound = mid;
      if (upperBound == lowerBound + 1) break;
      high = mid - 1;
    } else if (magnitude > bound) {
      lowerBound = mid;
      if (upperBound == lowerBound + 1) {
        ++mid;
        break;
      }
      low = mid + 1;
    } else {
      ++mid;
      break;
    }
  }
  return d + 1 - mid;
}

}  // namespace

void EditInteger(std::int64_t value, int width, int minDigits, std::string& out) {
  const bool negative = value < 0;
  std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  char digits[24];
  int count = 0;
  while (magnitude != 0) {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  const int shown =
      minDigits < 0 ? (count == 0 ? 1 : count) : (count > minDigits ? count : minDigits);
  const int needed = shown + (negative ? 1 : 0);
  if (needed > width) return Asterisks(width, out);
  out.append(static_cast<std::size_t>(width - needed), ' ');
  if (negative) out.push_back('-');
  out.append(static_cast<std::size_t>(shown - count), '0');
  for (int i = count - 1; i >= 0; --i) out.push_back(digits[i]);
}

void EditFixed(double value, int width, int decimals, int scale, std::string& out) {
  if (!std::isfinite(value)) return EditNonFinite(width, out);
  DigitString rounded;
  if (!RoundFixed(std::fabs(value), decimals + scale, rounded)) return Asterisks(width, out);
  LayoutFixed(std::signbit(value), rounded, scale, width, decimals, out);
}

void EditExponent(double value, int width, int decimals, int exponentDigits, int scale,
                  std::string& out) {
  if (!std::isfinite(value)) return EditNonFinite(width, out);
  // A positive scale factor k puts k digits before the point and keeps d+1
  // significant digits; zero or negative puts -k zeros after the point.
  const int significant = scale > 0 ? decimals + 1 : decimals + scale;
  if (significant <= 0 || scale > decimals + 1 || significant >= kBufferSize) {
    return Asterisks(width, out);
  }
  char digits[kBufferSize];
  int exponent = 0;
  const double magnitude = std::fabs(value);
  if (magnitude == 0.0) {
    std::memset(digits, '0', static_cast<std::size_t>(significant));
    exponent = scale;  // shown as E+00
  } else if (!RoundSignificant(magnitude, significant, digits, exponent)) {
    return Asterisks(width, out);
  }

  const bool negative = std::signbit(value);
  const int leading = scale > 0 ? scale : 0;
  // The mantissa holds the point and d digits, or d+1 digits with k > 0.
  const int mantissa = scale > 0 ? decimals + 2 : decimals + 1;
  int needed = (negative ? 1 : 0) + mantissa + ExponentWidth(exponentDigits);
  bool leadingZero = false;
  if (scale <= 0 && needed < width) {
    leadingZero = true;
    ++needed;
  }
  if (needed > width) return Asterisks(width, out);
  const std::size_t start = out.size();
  out.append(static_cast<std::size_t>(width - needed), ' ');
  if (negative) out.push_back('-');
  if (leadingZero) out.push_back('0');
  out.append(digits, static_cast<std::size_t>(leading));
  out.push_back('.');
  if (scale < 0) out.append(static_cast<std::size_t>(-scale), '0');
  out.append(digits + leading, static_cast<std::size_t>(significant - leading));
  if (!AppendExponent(exponent - scale, exponentDigits, out)) {
    out.resize(start);
    Asterisks(width, out);
  }
}

void EditGeneral(double value, int width, int decimals, int exponentDigits, int scale,
                 std::string& out) {
  if (!std::isfinite(value)) return EditNonFinite(width, out);
  const int blanks = ExponentWidth(exponentDigits);
  const double magnitude = std::fabs(value);
  const int fixedDecimals = GeneralFixedDecimals(magnitude, decimals);
  if (fixedDecimals < 0) return EditExponent(value, width, decimals, exponentDigits, scale, out);

  const int fixedWidth = width - blanks;
  if (fixedWidth <= 0) return Asterisks(width, out);
  const std::size_t start = out.size();
  EditFixed(value, fixedWidth, fixedDecimals, 0, out);
  if (out[start] == '*') {
    out.resize(start);
    return Asterisks(width, out);
  }
  out.append(static_cast<std::size_t>(blanks), ' ');
}

void EditText(std::string_view text, int width, std::string& out) {
  if (width <= 0) {
    out.append(text);
  } else if (static_cast<std::size_t>(width) <= text.size()) {
    out.append(text.substr(0, static_cast<std::size_t>(width)));
  } else {
    out.append(static_cast<std::size_t>(width) - text.size(), ' ').append(text);
  }
}

}  // namespace mornax::io
