// A whitespace-skipping scanner over a text file's contents, for the plot,
// the fit report and the fit's initial guesses. Numbers are read in the C
// locale whatever the user's locale is, as the result files are written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mornax::project {

class TextScanner {
 public:
  explicit TextScanner(std::string text) : text_(std::move(text)) {}

  // The rest of the current line without its line end (a CR before the LF is
  // dropped too); false when nothing is left.
  bool ReadLine(std::string& line);
  // Skips white space (line ends included), then reads one number. On failure
  // the position is left at the text that did not scan.
  bool ScanInt(int& value);
  bool ScanFloat(float& value);
  bool ScanDouble(double& value);
  // Discards the rest of the current line, including its line end.
  void SkipRestOfLine();
  // True when only white space is left.
  bool AtEnd();

 private:
  void SkipSpace();
  template <typename T>
  bool Scan(T& value);

  std::string text_;
  std::size_t pos_ = 0;
};

}  // namespace mornax::project

namespace mornax::project {

// Reads a whole file, opened for reading only, into `text`; false when the
// file cannot be opened or read.
bool ReadTextFile(const std::string& name, std::string& text);

}  // namespace mornax::project
