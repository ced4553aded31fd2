// The Result Map window: the map canvas with its layer and contour-level
// choices, fit to window, export and copy, and the read-out of the point
// under the cursor in its status bar.
#pragma once

#include <filesystem>

#include <QDateTime>
#include <QMainWindow>

#include "gui/render/map_loader.h"

class QComboBox;
class QPrinter;

namespace mornax::gui {

class MapCanvas;
class UserPrompts;

class ResultMapWindow : public QMainWindow {
  Q_OBJECT

 public:
  ResultMapWindow(UserPrompts& prompts, QWidget* parent = nullptr);

  MapCanvas& canvas() const { return *canvas_; }
  // The document whose results are shown; empty before the first.
  const QString& documentPath() const { return document_; }

  // Shows the results of the document PROJECT.mnx (read afresh).
  void ShowProject(const QString& documentPath);
  // Reads the files again with the chosen layer and levels.
  void Reload();
  // The time of the project's newest result file (.dat or .lst), invalid
  // when there is none; `errorAnalysis` tells whether the .lst is newer.
  static QDateTime NewestResult(const QString& documentPath, bool& errorAnalysis);
  // Shows the results of a run on the layer it wrote: the residuals after an
  // error analysis, else the surface.
  void ShowRunResults(const QString& documentPath, bool errorAnalysis);

  void SetLayer(render::MapLayer layer);
  render::MapLayer layer() const;
  void SetLevels(const QString& levels);

  void ExportPicture();
  void CopyPicture();
  // Prints the map on one page, sized to the page in physical units.
  void Print();
  void PrintOn(QPrinter& printer);

 private:
  UserPrompts& prompts_;
  MapCanvas* canvas_;
  QComboBox* layer_;
  QComboBox* levels_;
  QString document_;
};

}  // namespace mornax::gui
