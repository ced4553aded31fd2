// The Grid dialog: the project's network as a regular grid, laid out as the
// batch tool's grid command lays it out (spacing; the extent from the data
// with a margin, given, or the cells of a raster; only the nodes inside
// polygons or near the data's hull; the guesses of Bayesian estimation), with
// the node count shown as the values change.
#pragma once

#include <string>
#include <vector>

#include <QDialog>

#include "geo/grid_network.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace mornax::gui {

class GridDialog : public QDialog {
  Q_OBJECT

 public:
  // `x` and `y` are the data points the extent is taken from.
  GridDialog(std::vector<double> x, std::vector<double> y, QWidget* parent = nullptr);

  // The request of the fields (projectCrs is the caller's to fill); false
  // with `error` naming the field.
  bool Request(geo::NetworkRequest& request, std::string& error) const;
  // The layout the fields give before any node is left out, as text: the
  // node count, spacing and extent, or what is wrong.
  QString Preview() const;

  void accept() override;

 private:
  void UpdatePreview();

  std::vector<double> x_, y_;
  QLineEdit* spacing_;
  QLineEdit* spacingY_;
  QRadioButton* fromData_;
  QRadioButton* fromExtent_;
  QRadioButton* fromRaster_;
  QLineEdit* margin_;
  QLineEdit* extent_;
  QLineEdit* like_;
  QCheckBox* clip_;
  QLineEdit* clipSource_;
  QCheckBox* hull_;
  QLineEdit* hullMargin_;
  QLineEdit* guess_;
  QLineEdit* guessRaster_;
  QLabel* preview_;
};

}  // namespace mornax::gui
