// The project's coordinate system: searched in GDAL's EPSG database by code
// or by words of its name, or given as the batch tool's crs command takes it
// (EPSG:NNNN, a .prj or .wkt file, WKT), or none.
#pragma once

#include <string>

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace mornax::gui {

class CrsDialog : public QDialog {
  Q_OBJECT

 public:
  // `current` describes the project's system ("" none).
  CrsDialog(const QString& current, QWidget* parent = nullptr);

  // Lists the systems found for `text`.
  void Search(const QString& text);
  // The definition chosen ("EPSG:28992", a file, WKT), or "none".
  std::string Definition() const;

  void accept() override;

 private:
  QLineEdit* search_;
  QListWidget* results_;
  QLineEdit* definition_;
  QCheckBox* none_;
  QLabel* note_;
};

}  // namespace mornax::gui
