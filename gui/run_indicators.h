// What the main window shows of a running computation: the commands that
// would change the project or start another run are disabled, the view shows
// a busy cursor, and the status bar says that a run is going on and, when it
// has ended, whether it produced its result.
#pragma once

#include <QObject>
#include <QStringList>

class QMainWindow;
class QWidget;

namespace mornax::gui {

class CMornaxDoc;

class RunIndicators : public QObject {
  Q_OBJECT

 public:
  RunIndicators(QMainWindow& frame, QWidget& view, CMornaxDoc& document);

  // The object names of the actions disabled during a run.
  static const QStringList& BlockedActions();

 private:
  void SetRunning(bool running);

  QMainWindow& frame_;
  QWidget& view_;
};

}  // namespace mornax::gui
