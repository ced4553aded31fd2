// Semi_variogram > Directions and Variogram Map: the semivariogram in several
// direction sectors and the variogram map from one pass over the pairs,
// written as BASE.vdr and BASE.vmp (and a joint fit as BASE.jfr when asked),
// drawn with the document's kriging model along each direction and its
// anisotropy ellipse over the map.
#pragma once

#include <QWidget>

#include "api/mornax_arrays.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace mornax::gui {

class CMornaxDoc;
class DirectionalPlot;
class VariogramMapPlot;

class DirectionsWindow : public QWidget {
  Q_OBJECT

 public:
  DirectionsWindow(CMornaxDoc& document, QWidget* parent = nullptr);

  // Runs the directions with the fields' values over the project's data and
  // writes the files; false (with a message) when a field, the data or a
  // file refused.
  bool Compute();
  // Draws the project's last run (its .vdr and .vmp) and the document's
  // current model again.
  void Reload();

  DirectionalPlot& directionalPlot() const { return *directional_; }
  VariogramMapPlot& mapPlot() const { return *map_; }

 private:
  bool ReadFields(api::DirectionalParameters& run, QString& problem) const;

  CMornaxDoc& document_;
  QLineEdit* directions_ = nullptr;
  QLineEdit* tolerance_ = nullptr;
  QSpinBox* mapCells_ = nullptr;
  QLineEdit* mapCellSize_ = nullptr;
  QComboBox* jointFit_ = nullptr;
  DirectionalPlot* directional_ = nullptr;
  VariogramMapPlot* map_ = nullptr;
};

}  // namespace mornax::gui
