// The result map's side panel: contour levels (from the .lev file,
// automatic, an interval between a minimum and a maximum, or a list), the
// colour ramp (classed or continuous, a fixed range to compare maps, cells as
// blocks or smooth), the data points and their posted values, blanking
// outside the data's hull or a polygon layer, and the scale bar. A field
// whose text is wrong is marked and named below the fields; the map keeps
// the last style that was right.
#pragma once

#include <QString>
#include <QWidget>

#include "gui/render/map_style.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace mornax::gui {

class MapStylePanel : public QWidget {
  Q_OBJECT

 public:
  explicit MapStylePanel(QWidget* parent = nullptr);

  // The style the fields describe; false with `problem` (for the user) and
  // the field marked when one of them is wrong.
  bool ReadStyle(render::MapStyle& style, QString& problem);
  // The last style that was right.
  const render::MapStyle& style() const { return style_; }
  // The text shown under the fields: the problem, or nothing.
  QString problem() const;

 signals:
  void styleChanged();

 private:
  // Reads the fields; emits styleChanged when they are right.
  void Apply();
  void UpdateEnabled();
  void BrowsePolygons();
  QLineEdit* Field(const QString& name, const QString& placeholder);
  void Mark(QLineEdit* field, bool wrong);

  render::MapStyle style_;
  QComboBox* levelMode_;
  QLineEdit* minimum_;
  QLineEdit* maximum_;
  QLineEdit* interval_;
  QLineEdit* list_;
  QComboBox* ramp_;
  QCheckBox* classed_;
  QCheckBox* fixedRange_;
  QLineEdit* rangeLow_;
  QLineEdit* rangeHigh_;
  QComboBox* cells_;
  QCheckBox* showPoints_;
  QCheckBox* postValues_;
  QComboBox* blanking_;
  QLineEdit* polygons_;
  QCheckBox* scaleBar_;
  QLabel* problem_;
};

// Parses the numbers of a level list: separated by commas, semicolons or
// blanks. False with `problem` naming the first item that is not a number.
bool ParseLevelList(const QString& text, std::vector<double>& values, QString& problem);

}  // namespace mornax::gui
