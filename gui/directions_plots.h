// The two drawings of a multi-direction run: the semivariogram of every
// direction sector on one set of axes with the model along each direction,
// and the variogram map as a colour image of the lag vectors with the model's
// anisotropy ellipse over it.
#pragma once

#include <QColor>
#include <QWidget>

#include "api/mornax_arrays.h"

namespace mornax::gui {

// The colour of direction `index` in both drawings.
QColor DirectionColour(int index);

// One curve of points per direction, the model as a line of the same colour
// along it, and a legend of the directions.
class DirectionalPlot : public QWidget {
  Q_OBJECT

 public:
  explicit DirectionalPlot(QWidget* parent = nullptr);
  void SetResult(const api::DirectionalParameters& run, const api::DirectionalResult& result);
  void SetModel(const api::Variogram& model);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  api::DirectionalParameters run_;
  api::DirectionalResult result_;
  api::Variogram model_;
  bool hasModel_ = false;
};

// Empty cells are left blank; the ellipse has the range a along the model's
// major axis and ratio * a across it.
class VariogramMapPlot : public QWidget {
  Q_OBJECT

 public:
  explicit VariogramMapPlot(QWidget* parent = nullptr);
  void SetMap(const api::VariogramMap& map);
  void SetModel(const api::Variogram& model);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  api::VariogramMap map_;
  api::Variogram model_;
  bool hasModel_ = false;
};

}  // namespace mornax::gui
