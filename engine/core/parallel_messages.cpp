#include "core/parallel_messages.h"

namespace mornax {

void DeferredMessages::Keep(Kind kind, int mode, std::string_view text, api::MessageCode code) {
  if (used_ == entries_.size()) entries_.push_back(Entry{});
  Entry& entry = entries_[used_++];
  entry.kind = kind;
  entry.mode = mode;
  entry.code = code;
  entry.text.assign(text);
}

void DeferredMessages::Replay(Messages& target) {
  for (std::size_t k = 0; k < used_; ++k) {
    const Entry& entry = entries_[k];
    switch (entry.kind) {
      case Kind::kLine:
        target.AddLine(entry.mode, entry.text);
        break;
      case Kind::kBox:
        target.Notify(entry.code, entry.text);
        break;
      case Kind::kOutput:
        target.WriteOutput(entry.text);
        break;
    }
  }
  used_ = 0;
}

}  // namespace mornax
