// The Result Map window: the map canvas with its layer and contour-level
// choices, fit to window, export and copy, and the read-out of the point
// under the cursor in its status bar.
#pragma once

#include <filesystem>

#include <QDateTime>
#include <QMainWindow>

#include "gui/render/map_loader.h"

class QComboBox;

namespace mornax::gui {

class MapCanvas;
class UserPrompts;

class ResultMapWindow : public QMainWindow {
  Q_OBJECT

 public:
  ResultMapWindow(UserPrompts& prompts, QWidget* parent = nullptr);

  MapCanvas& canvas() const { return *canvas_; }

  // Shows the results of the document PROJECT.mnx (read afresh).
  void ShowProject(const QString& documentPath);
  // Reads the files again with the chosen layer and levels.
  void Reload();
  // After a run: shows the window when the project's result files are newer
  // than those it showed last, on the layer the run wrote (residuals after
  // an error analysis). True when it did.
  bool ShowIfNewResults(const QString& documentPath);

  void SetLayer(render::MapLayer layer);
  render::MapLayer layer() const;
  void SetLevels(const QString& levels);

  void ExportPicture();
  void CopyPicture();

 private:
  QDateTime NewestResult(const QString& documentPath, bool& errorAnalysis) const;

  UserPrompts& prompts_;
  MapCanvas* canvas_;
  QComboBox* layer_;
  QComboBox* levels_;
  QString document_;
  QDateTime shownResults_;
};

}  // namespace mornax::gui
