#include "bayes/dense_messages.h"

#include <string>

namespace mornax {

int ErrorExit(Messages& messages, int status, std::string_view name) {
  if (status == 0) return 0;
  std::string text = "Abnormal Exit from Routine ";
  text += name;
  ErrorMessage(messages, static_cast<int>(text.size()), text, 0, 0,
               api::MessageCode::kSolverFailure);
  return status;
}

void ArgumentError(Messages& messages, std::string_view name, int argument) {
  // Record layout: a blank, the text, the number as I2 (asterisks when it does
  // not fit two columns), the text, the name.
  std::string number = std::to_string(argument);
  if (number.size() > 2) number = "**";
  if (number.size() < 2) number.insert(0, 2 - number.size(), ' ');
  std::string text = " Illegal value in parameter ";
  text += number;
  text += " on entry to ";
  text += name;
  ErrorMessage(messages, static_cast<int>(text.size()), text, 0, 0,
               api::MessageCode::kSolverFailure);
}

}  // namespace mornax
