#include "core/engine_state.h"

#include <algorithm>

namespace mornax {

std::string EngineState::Base() const {
  const auto length = static_cast<std::size_t>(std::clamp(baseLength, 0, kBaseNameLength));
  return baseName.substr(0, length);
}

}  // namespace mornax
