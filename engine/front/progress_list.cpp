#include "front/progress_list.h"

#include <cstdlib>

#include "core/messages.h"

namespace mornax {

ProgressList::Effect ProgressList::AddLine(int mode, std::string_view text) {
  Effect effect;
  const int magnitude = std::abs(mode);
  switch (magnitude) {
    case kListRestart:
      lines_.assign(1, std::string(text));
      top_ = 0;
      effect.listChanged = true;
      break;
    case kListReplaceLast:
      if (!lines_.empty()) lines_.pop_back();
      lines_.emplace_back(text);
      if (top_ >= lines_.size()) top_ = lines_.size() - 1;
      effect.listChanged = true;
      break;
    case kListAppend:
      if (lines_.size() >= capacity_) {
        lines_.assign(1, std::string(text));
        top_ = 0;
      } else {
        lines_.emplace_back(text);
        const std::size_t index = lines_.size() - 1;
        if (index > 15) {
          top_ = index;
          effect.scrollToLast = true;
        }
      }
      effect.listChanged = true;
      break;
    case kListMessageBox:
      effect.showMessage = true;
      break;
    default:
      break;
  }
  effect.repaint = effect.listChanged && mode >= 0;
  return effect;
}

}  // namespace mornax
