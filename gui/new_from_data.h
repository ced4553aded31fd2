// File > New from Data File...: a project started from a data file anywhere,
// under any name. The user names the project (the records hold a base name
// of 12 characters) and chooses where its document goes; the data file is
// copied beside the document as the project's .dfl file.
#pragma once

#include <QString>

class QWidget;

namespace mornax::gui {

class CMornaxDoc;

// A project name offered for a data file: its base name reduced to letters,
// digits, '_' and '-', at most 12 characters ("PROJECT" when nothing is left).
QString OfferedProjectName(const QString& dataFile);

// Empty when `name` can name a project, else why not.
QString ProjectNameProblem(const QString& name);

// Runs the command. Returns the new document's path, or empty when the user
// cancelled or something failed (the user has been told what).
QString NewFromDataFile(CMornaxDoc& document, QWidget* parent);

}  // namespace mornax::gui
