// Free-form (list-directed) reading of the engine's input files: each read
// starts on a new line, takes numbers separated by blanks, tabs or commas,
// goes on to the next line while it needs more, and ignores the rest of the
// line after its last number.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

namespace mornax::io {

// Read statuses: 0 success, negative end of file, positive malformed number.
constexpr int kReadOk = 0;
constexpr int kReadEndOfFile = -1;
constexpr int kReadFormatError = 5010;

class FreeFormReader {
 public:
  FreeFormReader() = default;
  ~FreeFormReader();
  FreeFormReader(const FreeFormReader&) = delete;
  FreeFormReader& operator=(const FreeFormReader&) = delete;

  // Opens the project file `name` in the current directory (a name differing
  // only in case reaches the same file). False when it cannot be opened; every
  // read then reports end of file.
  bool Open(std::string_view name);
  bool IsOpen() const { return file_ != nullptr; }
  void Close();

  // Reads the next line as text, without its line end.
  int ReadText(std::string& line);
  // Skips one line.
  int SkipLine();
  // One read of values.size() reals. On a failure the values read so far are
  // set and the rest unchanged.
  int ReadReals(std::span<double> values);
  // One read of one integer (a number with a fraction or exponent is
  // malformed).
  int ReadInteger(std::int32_t& value);

  // Number of the last line read (1-based), for messages.
  long lineNumber() const { return lineNumber_; }

 private:
  bool NextLine();

  std::FILE* file_ = nullptr;
  std::string line_;
  long lineNumber_ = 0;
};

}  // namespace mornax::io
