// The Result Map window: the map canvas with its layer choice, the style
// panel beside it and the residual table below it, fit to window, export,
// copy, print and print preview, and the read-out of the point under the
// cursor in its status bar.
#pragma once

#include <filesystem>

#include <QDateTime>
#include <QMainWindow>

#include "gui/render/map_loader.h"

class QComboBox;
class QDockWidget;
class QPrinter;

namespace mornax::gui {

class MapCanvas;
class MapStylePanel;
class ResidualTableView;
class UserPrompts;

class ResultMapWindow : public QMainWindow {
  Q_OBJECT

 public:
  ResultMapWindow(UserPrompts& prompts, QWidget* parent = nullptr);

  MapCanvas& canvas() const { return *canvas_; }
  // The document whose results are shown; empty before the first.
  const QString& documentPath() const { return document_; }

  // Shows the results of the document PROJECT.mnx (read afresh), and the
  // window itself, restored when it was minimised.
  void ShowProject(const QString& documentPath);
  // Shows another project's results in the open window: a layer that
  // project's results lack gives way to the estimate.
  void FollowProject(const QString& documentPath);
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
  // False for a layer the shown results lack (greyed in the layer list).
  bool LayerAvailable(render::MapLayer layer) const;
  MapStylePanel& stylePanel() const { return *panel_; }
  ResidualTableView& residualTable() const { return *residuals_; }

  void ExportPicture();
  void CopyPicture();
  // Prints the map on one page, sized to the page in physical units.
  void Print();
  void PrintPreview();
  // The page: the map and its title block.
  void PrintOn(QPrinter& printer);

 private:
  UserPrompts& prompts_;
  void ShowAvailableLayers(const render::MapScene& scene);
  void Restore();

  MapCanvas* canvas_;
  QComboBox* layer_;
  MapStylePanel* panel_;
  ResidualTableView* residuals_;
  QDockWidget* residualDock_;
  QString document_;
};

}  // namespace mornax::gui
