// Fortran-style record output: a format description such as
// "(1x,I5,3x,I5,8x,F8.2,7x,F12.4)" is parsed once and renders the values of
// one WRITE statement into records (lines) exactly as GNU Fortran prints them.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace mornax::io {

// One item of an output list: an integer, a real or a text.
using FortranValue = std::variant<std::int64_t, double, std::string_view>;

class FortranFormat {
 public:
  // `format` is the description with its outer parentheses, as quoted.
  explicit FortranFormat(std::string_view format);
  ~FortranFormat();
  FortranFormat(FortranFormat&&) noexcept;
  FortranFormat& operator=(FortranFormat&&) noexcept;

  // Appends the records of one WRITE statement to `out`, each record ended
  // by '\n'. Values that outrun the format continue on a new record from the
  // format's start (reversion); a value too wide for its field is asterisks.
  void Render(std::span<const FortranValue> values, std::string& out) const;

  // Convenience: the records of one WRITE statement, each ended by '\n'.
  template <typename... Args>
  std::string operator()(const Args&... args) const {
    const FortranValue values[] = {ToValue(args)..., FortranValue(std::int64_t{0})};
    std::string out;
    Render(std::span<const FortranValue>(values, sizeof...(Args)), out);
    return out;
  }

  template <typename T>
  static FortranValue ToValue(const T& value) {
    if constexpr (std::is_integral_v<T>) {
      return FortranValue(static_cast<std::int64_t>(value));
    } else if constexpr (std::is_floating_point_v<T>) {
      return FortranValue(static_cast<double>(value));
    } else {
      return FortranValue(std::string_view(value));
    }
  }

 private:
  struct Program;
  std::unique_ptr<Program> program_;
};

// List-directed output of one character value: a blank followed by the text.
std::string FreeFormText(std::string_view text);
// List-directed output of one integer: the value right-aligned in 12 columns.
std::string FreeFormInteger(std::int64_t value);

}  // namespace mornax::io
