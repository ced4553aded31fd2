// The line rules of the progress report list, free of any toolkit so that the
// window and the tests share them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mornax {

class ProgressList {
 public:
  // What one AddLine asks of the window that shows the list.
  struct Effect {
    bool listChanged = false;
    bool repaint = false;       // mode >= 0 with a list change: repaint at once
    bool showMessage = false;   // |mode| 3: show the text in a message box
    bool scrollToLast = false;  // the new line becomes the list's top line
  };

  // A list box holds a bounded number of lines; past it appending reports
  // "out of space".
  static constexpr std::size_t kDefaultCapacity = 32767;

  explicit ProgressList(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

  // |mode| 0: empty the list, add the line; 1: replace the last line; 2: append
  // (out of space: restart the list with the line; index > 15: scroll so the
  // new line is the top line); 3: message box only; other modes: nothing.
  Effect AddLine(int mode, std::string_view text);

  const std::vector<std::string>& lines() const { return lines_; }
  // Index of the line shown at the top of the list.
  std::size_t topIndex() const { return top_; }

 private:
  std::size_t capacity_;
  std::vector<std::string> lines_;
  std::size_t top_ = 0;
};

}  // namespace mornax
