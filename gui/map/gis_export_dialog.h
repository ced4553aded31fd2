// The map's Export to GIS: the results of the last interpolation as a
// GeoTIFF or ASCII grid, contour lines as GeoPackage, Shapefile or GeoJSON,
// points as CSV, or the residuals of the error analysis as points, written
// by the batch tool's export routine with its messages.
#pragma once

#include <string>

#include <QDialog>

#include "geo/result_export.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace mornax::gui {

class GisExportDialog : public QDialog {
  Q_OBJECT

 public:
  // `document` is the project whose results are exported.
  GisExportDialog(const QString& document, QWidget* parent = nullptr);

  // The request of the fields, checked against the output's format
  // (CheckExportRequest); false with `error`.
  bool Request(geo::ExportRequest& request, std::string& error) const;

  void accept() override;

 private:
  void Browse();

  QString document_;
  QLineEdit* output_;
  QComboBox* layer_;
  QLineEdit* levels_;
  QLineEdit* unit_;
  QCheckBox* residuals_;
  QLabel* note_;
};

class UserPrompts;

// Asks for the export and writes it under the project's lock, then shows
// what was written (or why not). True when the output is in place.
bool ExportToGis(QWidget* parent, UserPrompts& prompts, const QString& document);

}  // namespace mornax::gui
