// The message implementation used by the tests: records every line with its
// mode, every message box, and answers Cancel polls from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/messages.h"

namespace mornax::testing {

class RecorderMessages : public Messages {
 public:
  struct Line {
    int mode;
    std::string text;
  };

  void AddLine(int mode, std::string_view text) override {
    lines.push_back({mode, std::string(text)});
  }
  void ShowMessage(std::string_view text) override { boxes.emplace_back(text); }
  bool PollCancel() override {
    ++polls;
    if (cancelAtPoll > 0 && polls == cancelAtPoll) return true;
    return false;
  }
  void Show() override { ++shows; }
  void WriteOutput(std::string_view line) override { output.emplace_back(line); }

  // Texts of the lines in order (modes dropped).
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& line : lines) texts.push_back(line.text);
    return texts;
  }

  std::vector<Line> lines;
  std::vector<std::string> boxes;
  std::vector<std::string> output;  // standard-output lines
  int polls = 0;
  int cancelAtPoll = 0;  // the poll (1-based) that reports Cancel; 0 = never
  int shows = 0;
};

}  // namespace mornax::testing
