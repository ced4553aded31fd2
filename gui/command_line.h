// The program's command line: a document to open, or the print verbs of the
// desktop ("/p document" prints it on the default printer, "/pt document
// printer" on the named one).
#pragma once

#include <QString>
#include <QStringList>

namespace mornax::gui {

struct CommandLine {
  enum class Action { kNew, kOpen, kPrint, kPrintTo };
  Action action = Action::kNew;
  QString fileName;
  QString printerName;
};

// `arguments` starts with the program name. Flags may start with a slash or
// a dash; unknown flags are ignored. A slash followed by a path is a file.
CommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace mornax::gui
