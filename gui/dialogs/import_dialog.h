// File > Import Points: a vector source (CSV, GeoPackage, Shapefile,
// GeoJSON, ...), its layer, and the fields of x, y, the value and the guess
// picked from the source's own field list; a stated coordinate system for a
// source without one (a CSV), and the data file's title.
#pragma once

#include <optional>
#include <string>

#include <QDialog>

#include "geo/point_import.h"
#include "geo/source_fields.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace mornax::gui {

class ImportDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ImportDialog(QWidget* parent = nullptr);

  // Reads the source's layers and the fields of `layer` (empty: the first)
  // into the choices; a source GDAL cannot open is named under the fields.
  void SetSource(const QString& source, const QString& layer = {});
  const geo::SourceFields& fields() const { return fields_; }

  // The request of the choices (projectCrs is the import's to fill) and the
  // title (none: the data file's own); false with `error` for a choice that
  // is incomplete or a stated system GDAL cannot read.
  bool Request(geo::ImportRequest& request, std::optional<std::string>& title,
               std::string& error) const;

  void accept() override;

 private:
  void Browse();
  void FillFieldChoices();

  geo::SourceFields fields_;
  QString described_;  // the source the choices are of
  QLineEdit* source_;
  QComboBox* layer_;
  QComboBox* x_;
  QComboBox* y_;
  QComboBox* z_;
  QComboBox* guess_;
  QLineEdit* crs_;
  QLineEdit* title_;
  QLabel* about_;
};

}  // namespace mornax::gui
