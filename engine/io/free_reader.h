// Free-form (list-directed) reading of the engine's input files: each read
// starts on a new line, takes numbers separated by blanks, tabs or commas,
// goes on to the next line while it needs more, and ignores the rest of the
// line after its last number.
//
// Also understood: a `/` ends the read and leaves the remaining values as they
// were; `r*c` stands for r copies of c; an empty field (`,,`, a leading comma,
// `r*`) is a null value that leaves its variable unchanged; reals may carry a
// d/D exponent. Line ends may be "\n" or "\r\n".
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

  // Opens the project file `file` (a path in the project's folder, or a name
  // in the current directory; a file name differing only in case reaches the
  // same file). False when it cannot be opened; every read then reports end
  // of file.
  bool Open(const std::filesystem::path& file);
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

  // Where the last failed read stopped and what it wanted, to follow the
  // input-file wording: ", line 7: y expected" for a malformed number (its
  // line), ", after line 6: y expected" for an end of file (the last line
  // there is). `items` names the values of that read in order (a count read
  // names one).
  std::string FailureDetail(std::initializer_list<std::string_view> items) const;

 private:
  enum class ItemKind { kValue, kNull, kSlash, kEnd, kBad };
  struct Item {
    ItemKind kind;
    std::string_view text;  // the constant of a value item
  };

  int ReadRealsFrom(std::span<double> values);
  int ReadIntegerFrom(std::int32_t& value);
  bool NextLine();
  bool Refill();
  // Starts a read on a fresh line; false at end of file.
  bool BeginRead();
  // The next value, null value, slash or end of file of the current read.
  Item NextItem();

  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  std::size_t bufferPos_ = 0;
  std::size_t bufferEnd_ = 0;

  std::string line_;     // the current line, without its end
  std::size_t pos_ = 0;  // scan position in line_
  long lineNumber_ = 0;
  std::size_t failedItem_ = 0;  // place in the last read of the value it failed on
  int lastStatus_ = kReadOk;

  // State of the read in progress.
  bool afterValue_ = false;      // a value was read and no comma followed it yet
  std::int64_t repeatLeft_ = 0;  // copies of an r*c item still to hand out
  bool repeatNull_ = false;      // the pending copies are null values
  std::string repeatText_;       // the constant c of the pending copies
  std::string scratch_;          // a real's text rewritten for conversion
};

}  // namespace mornax::io
