// The residuals of an error analysis as a table beside the map: position,
// measured and estimated value and error of every data point, sortable by
// any column, with the RMSE and the mean error above it.
#pragma once

#include <QWidget>

#include "gui/render/map_scene.h"

class QLabel;
class QTableWidget;

namespace mornax::gui {

class ResidualTableView : public QWidget {
  Q_OBJECT

 public:
  explicit ResidualTableView(QWidget* parent = nullptr);

  void Show(const render::ResidualTable& table);
  void Clear();
  QTableWidget& table() const { return *table_; }
  QString summary() const;

 private:
  QLabel* summary_;
  QTableWidget* table_;
};

}  // namespace mornax::gui
