#include "gui/command_line.h"

namespace mornax::gui {
namespace {

// "/p", "-pt", "/dde": a short word behind a slash or a dash. An absolute
// path such as "/home/x/SITE1.mnx" is not a flag.
bool IsFlag(const QString& argument, QString& flag) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return false;
  const QString word = argument.mid(1);
  for (const QChar c : word) {
    if (!c.isLetter()) return false;
  }
  if (argument[0] == '/' && word.size() > 3) return false;
  flag = word.toLower();
  return true;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
  CommandLine line;
  QStringList parameters;
  for (int i = 1; i < arguments.size(); ++i) {
    QString flag;
    if (IsFlag(arguments[i], flag)) {
      if (flag == "p") line.action = CommandLine::Action::kPrint;
      if (flag == "pt") line.action = CommandLine::Action::kPrintTo;
    } else {
      parameters.append(arguments[i]);
    }
  }
  if (parameters.isEmpty()) {
    line.action = CommandLine::Action::kNew;
    return line;
  }
  line.fileName = parameters[0];
  if (line.action == CommandLine::Action::kNew) line.action = CommandLine::Action::kOpen;
  if (line.action == CommandLine::Action::kPrintTo && parameters.size() > 1) {
    line.printerName = parameters[1];
  }
  return line;
}

}  // namespace mornax::gui
