// The main window's entries for pictures: View > Result Map with its toolbar
// button, File > Export Picture... and Edit > Copy for the plot, and the
// map shown by itself when an interpolation run has written new results.
#pragma once

#include <QDateTime>
#include <QObject>

class QMainWindow;
class QMenu;

namespace mornax::gui {

class CMornaxDoc;
class CMornaxView;
class ResultMapWindow;

class MapHooks : public QObject {
  Q_OBJECT

 public:
  // Adds the actions to `frame`'s menus and toolbar ("menuView", "toolBar",
  // "actionCopy"); Export Picture goes into `fileMenu` before Print.
  MapHooks(QMainWindow& frame, CMornaxDoc& document, CMornaxView& view, QMenu* fileMenu);

  ResultMapWindow& map();
  void ShowResultMap();
  // The plot of the main view as a picture file, or on the clipboard.
  void ExportViewPicture();
  void CopyViewPicture();

 private:
  // Called when a run may have ended, or the project changed: shows the map
  // when an interpolation run wrote results newer than those seen before.
  void AfterRun();
  // Called when a run failed or was stopped: an open map shows what the
  // files hold now.
  void AfterStoppedRun();

  QMainWindow& frame_;
  CMornaxDoc& document_;
  CMornaxView& view_;
  ResultMapWindow* map_ = nullptr;
  bool awaitingRun_ = false;
  QDateTime seenResults_;  // the newest result file when last looked at
};

}  // namespace mornax::gui
