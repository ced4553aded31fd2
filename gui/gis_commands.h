// The main window's GIS entries: File > Import Points..., Grid... and
// Coordinate System..., each through the GIS room's routines as the batch
// tool's import, grid and crs commands run them, and the project's
// coordinate system in the status bar.
#pragma once

#include <QObject>

class QLabel;
class QMainWindow;
class QMenu;

namespace mornax::gui {

class CMornaxDoc;

class GisCommands : public QObject {
  Q_OBJECT

 public:
  // Adds the entries to `fileMenu` before Print, and the system's label to
  // the frame's status bar.
  GisCommands(QMainWindow& frame, CMornaxDoc& document, QMenu* fileMenu);

  // Each command asks with its dialog, then works under the project's lock;
  // true when the project's files changed.
  bool ImportPoints();
  bool Grid();
  bool CoordinateSystem();

  // The project's system as the status bar shows it.
  QString CrsText() const;
  void UpdateCrsLabel();

 private:
  // The document's path, or empty with the user told to save it first.
  QString NamedDocument();
  void Tell(const QString& title, const QString& text);

  QMainWindow& frame_;
  CMornaxDoc& document_;
  QLabel* crsLabel_;
};

}  // namespace mornax::gui
