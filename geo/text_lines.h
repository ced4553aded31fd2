// Line-by-line reading of the project's text files and the parsing of their
// fixed-width number fields, shared by the result readers.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mornax::geo {

// Reads a text file one line at a time through a fixed buffer, so that a file
// of millions of records never sits in memory whole. Line ends "\n" or "\r\n".
class TextLines {
 public:
  explicit TextLines(const std::filesystem::path& path);
  bool IsOpen() const { return file_ != nullptr; }

  // The next line without its end; false at the end of the file.
  bool Next(std::string& line);
  long lineNumber() const { return lineNumber_; }
  // False when the line Next returned is the file's last and no line end
  // follows it: a file cut while it was written, or edited by hand.
  bool lineEnded() const { return lineEnded_; }

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  long lineNumber_ = 0;
  bool lineEnded_ = true;
};

// What a fixed-width field holds.
enum class FieldKind {
  kNumber,   // a finite number
  kMissing,  // asterisks (a value too wide for its field), NaN or infinity
  kBlank,    // nothing but blanks, or beyond the end of the line
  kBad,      // text that is not a number
};

// Parses columns [begin, begin + width) of `line` (0-based).
FieldKind ParseField(std::string_view line, std::size_t begin, std::size_t width, double& value);

// `text` without leading and trailing blanks (and tabs).
std::string_view Trim(std::string_view text);

// Numbers of one line separated by blanks, tabs or commas, in the way the
// engine's free-form reads take them; stops at the first item that is not a
// number (returned false then).
bool SplitNumbers(std::string_view line, std::vector<double>& numbers);

}  // namespace mornax::geo
