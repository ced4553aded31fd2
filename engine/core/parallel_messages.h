// The messages of one estimate made on another thread: kept in the order they
// were given and handed to the run's messages when the point's turn comes, so
// that the user sees them exactly where the point loop would have shown them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"

namespace mornax {

class DeferredMessages : public Messages {
 public:
  void AddLine(int mode, std::string_view text) override { Keep(Kind::kLine, mode, text); }
  void ShowMessage(std::string_view text) override {
    Keep(Kind::kBox, 0, text, api::MessageCode::kUnclassified);
  }
  void Notify(api::MessageCode code, std::string_view text) override {
    Keep(Kind::kBox, 0, text, code);
  }
  // An estimate has no Cancel of its own: the loop polls between points.
  bool PollCancel() override { return false; }
  void WriteOutput(std::string_view line) override { Keep(Kind::kOutput, 0, line); }

  bool empty() const { return used_ == 0; }
  // Gives every kept message to `target`, in order, and forgets them.
  void Replay(Messages& target);
  // Forgets the kept messages (their storage is kept for the next point).
  void Clear() { used_ = 0; }

 private:
  enum class Kind { kLine, kBox, kOutput };
  struct Entry {
    Kind kind;
    int mode;
    api::MessageCode code;
    std::string text;
  };
  void Keep(Kind kind, int mode, std::string_view text,
            api::MessageCode code = api::MessageCode::kUnclassified);

  std::vector<Entry> entries_;
  std::size_t used_ = 0;
};

}  // namespace mornax
