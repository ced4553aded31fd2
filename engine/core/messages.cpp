#include "core/messages.h"

#include <algorithm>
#include <string>

namespace mornax {
namespace {

std::string_view Prefix(std::string_view text, int length) {
  const auto n = static_cast<std::size_t>(std::max(length, 0));
  return text.substr(0, std::min(n, text.size()));
}

}  // namespace

void ProgressMessage(Messages& messages, int mode, int length, std::string_view text) {
  messages.AddLine(mode, Prefix(text, length));
}

void ErrorMessage(Messages& messages, int length, std::string_view text, int code, int nameLength,
                  api::MessageCode what) {
  if (code == 0) {
    messages.Notify(what, Prefix(text, length));
    return;
  }
  messages.Notify(InputFileCode(code), InputFileMessage(code, text, nameLength));
}

api::MessageCode InputFileCode(int code) {
  return code < 0 ? api::MessageCode::kEndOfFile : api::MessageCode::kDataFormat;
}

std::string InputFileMessage(int code, std::string_view name, int nameLength) {
  std::string message =
      code < 0 ? "End of File reached in input file : " : "Data format error in input file : ";
  message += Prefix(name, nameLength + 4);
  return message;
}

int CheckCancel(Messages& messages) {
  return messages.PollCancel() ? 1 : 0;
}

}  // namespace mornax
