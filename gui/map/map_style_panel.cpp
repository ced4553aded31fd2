#include "gui/map/map_style_panel.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "gui/number_parse.h"

namespace mornax::gui {
namespace {

constexpr char kWrongField[] = "QLineEdit { background: #ffd6d6; }";

// The number in a field, in the C locale as the result files write them.
bool ParseValue(const QString& text, double& value) {
  const std::string trimmed = text.trimmed().toStdString();
  const char* last = trimmed.data() + trimmed.size();
  return !trimmed.empty() && ParseNumber(trimmed.data(), last, value) == last;
}

// The level modes in the order of the combo box.
constexpr render::LevelMode kLevelModes[] = {render::LevelMode::kLevFile, render::LevelMode::kAuto,
                                             render::LevelMode::kInterval,
                                             render::LevelMode::kList};

QCheckBox* Check(const QString& text, const QString& name, bool checked, QWidget* parent) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(name);
  box->setChecked(checked);
  return box;
}

}  // namespace

bool ParseLevelList(const QString& text, std::vector<double>& values, QString& problem) {
  values.clear();
  static const QRegularExpression separators("[,;\\s]+");
  for (const QString& item : text.split(separators, Qt::SkipEmptyParts)) {
    double value = 0.0;
    if (!ParseValue(item, value)) {
      problem = QString(
                    "'%1' is not a number; write the levels as numbers separated by commas "
                    "(60, 65, 70).")
                    .arg(item);
      return false;
    }
    values.push_back(value);
  }
  if (values.empty()) {
    problem = "write at least one level (60, 65, 70).";
    return false;
  }
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
  return true;
}

MapStylePanel::MapStylePanel(QWidget* parent)
    : QWidget(parent),
      levelMode_(new QComboBox(this)),
      minimum_(Field("levelMinimum", "the surface's lowest")),
      maximum_(Field("levelMaximum", "the surface's highest")),
      interval_(Field("levelInterval", "for example 5")),
      list_(Field("levelList", "60, 65, 70")),
      ramp_(new QComboBox(this)),
      classed_(Check("Classed by the contour levels", "classed", false, this)),
      fixedRange_(Check("Fixed range", "fixedRange", false, this)),
      rangeLow_(Field("rangeLow", "from")),
      rangeHigh_(Field("rangeHigh", "to")),
      cells_(new QComboBox(this)),
      showPoints_(Check("Show the data points", "showPoints", true, this)),
      postValues_(Check("Post their values", "postValues", false, this)),
      blanking_(new QComboBox(this)),
      polygons_(Field("polygonFile", "a GeoPackage, Shapefile or GeoJSON")),
      scaleBar_(Check("Scale bar", "scaleBar", true, this)),
      problem_(new QLabel(this)) {
  setObjectName("mapStylePanel");
  levelMode_->setObjectName("levelMode");
  levelMode_->addItems({"From the .lev file", "Automatic", "Interval", "List"});
  ramp_->setObjectName("colourRamp");
  ramp_->addItem("Default");
  ramp_->setItemData(0, "viridis; blue-white-red about zero for residuals", Qt::ToolTipRole);
  for (const render::ColourRamp ramp : render::kColourRamps) {
    ramp_->addItem(render::ColourRampName(ramp));
  }
  cells_->setObjectName("cellDrawing");
  cells_->addItems({"Blocks", "Smooth"});
  blanking_->setObjectName("blanking");
  blanking_->addItems({"None", "Outside the data's hull", "Outside polygons"});
  problem_->setObjectName("styleProblem");
  problem_->setWordWrap(true);
  problem_->setStyleSheet("color: #a00000;");

  auto* levels = new QGroupBox("Contour levels", this);
  auto* levelForm = new QFormLayout(levels);
  levelForm->addRow("Levels:", levelMode_);
  levelForm->addRow("Minimum:", minimum_);
  levelForm->addRow("Maximum:", maximum_);
  levelForm->addRow("Interval:", interval_);
  levelForm->addRow("List:", list_);

  auto* colours = new QGroupBox("Colours", this);
  auto* colourForm = new QFormLayout(colours);
  colourForm->addRow("Ramp:", ramp_);
  colourForm->addRow(classed_);
  auto* range = new QHBoxLayout;
  range->addWidget(rangeLow_);
  range->addWidget(new QLabel("to", this));
  range->addWidget(rangeHigh_);
  colourForm->addRow(fixedRange_);
  colourForm->addRow(range);
  colourForm->addRow("Cells:", cells_);

  auto* points = new QGroupBox("Data points", this);
  auto* pointLayout = new QVBoxLayout(points);
  pointLayout->addWidget(showPoints_);
  pointLayout->addWidget(postValues_);

  auto* blank = new QGroupBox("Blanking", this);
  auto* blankLayout = new QVBoxLayout(blank);
  blankLayout->addWidget(blanking_);
  auto* file = new QHBoxLayout;
  auto* browse = new QPushButton("Browse...", this);
  browse->setObjectName("browsePolygons");
  browse->setAutoDefault(false);
  file->addWidget(polygons_, 1);
  file->addWidget(browse);
  blankLayout->addLayout(file);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(levels);
  layout->addWidget(colours);
  layout->addWidget(points);
  layout->addWidget(blank);
  layout->addWidget(scaleBar_);
  layout->addWidget(problem_);
  layout->addStretch(1);

  for (QComboBox* box : {levelMode_, ramp_, cells_, blanking_}) {
    connect(box, &QComboBox::activated, this, &MapStylePanel::Apply);
  }
  for (QCheckBox* box : {classed_, fixedRange_, showPoints_, postValues_, scaleBar_}) {
    connect(box, &QCheckBox::toggled, this, &MapStylePanel::Apply);
  }
  for (QLineEdit* edit : {minimum_, maximum_, interval_, list_, rangeLow_, rangeHigh_, polygons_}) {
    connect(edit, &QLineEdit::editingFinished, this, &MapStylePanel::Apply);
  }
  connect(browse, &QPushButton::clicked, this, &MapStylePanel::BrowsePolygons);
  style_.scaleBar = true;
  UpdateEnabled();
}

QLineEdit* MapStylePanel::Field(const QString& name, const QString& placeholder) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  edit->setPlaceholderText(placeholder);
  edit->setClearButtonEnabled(true);
  return edit;
}

void MapStylePanel::Mark(QLineEdit* field, bool wrong) {
  field->setStyleSheet(wrong ? kWrongField : QString());
}

QString MapStylePanel::problem() const {
  return problem_->text();
}

void MapStylePanel::UpdateEnabled() {
  const render::LevelMode mode = kLevelModes[std::max(0, levelMode_->currentIndex())];
  const bool interval = mode == render::LevelMode::kInterval;
  minimum_->setEnabled(interval);
  maximum_->setEnabled(interval);
  interval_->setEnabled(interval);
  list_->setEnabled(mode == render::LevelMode::kList);
  rangeLow_->setEnabled(fixedRange_->isChecked());
  rangeHigh_->setEnabled(fixedRange_->isChecked());
  postValues_->setEnabled(showPoints_->isChecked());
  polygons_->setEnabled(blanking_->currentIndex() == 2);
}

bool MapStylePanel::ReadStyle(render::MapStyle& style, QString& problem) {
  for (QLineEdit* edit : {minimum_, maximum_, interval_, list_, rangeLow_, rangeHigh_, polygons_}) {
    Mark(edit, false);
  }
  style = render::MapStyle{};
  auto wrong = [&](QLineEdit* field, const QString& text) {
    Mark(field, true);
    problem = text;
    return false;
  };
  // An optional number: blank is none.
  auto optional = [&](QLineEdit* field, const QString& name, std::optional<double>& value) {
    if (field->text().trimmed().isEmpty()) return true;
    double v = 0.0;
    if (!ParseValue(field->text(), v)) {
      return wrong(field, QString("%1: '%2' is not a number.").arg(name, field->text().trimmed()));
    }
    value = v;
    return true;
  };

  render::LevelSpec levels;
  levels.mode = kLevelModes[std::max(0, levelMode_->currentIndex())];
  if (levels.mode == render::LevelMode::kInterval) {
    if (!optional(minimum_, "Lowest contour level", levels.minimum) ||
        !optional(maximum_, "Highest contour level", levels.maximum)) {
      return false;
    }
    double interval = 0.0;
    if (!ParseValue(interval_->text(), interval) || !(interval > 0.0)) {
      return wrong(interval_, QString("Contour interval: '%1' is not a number above 0.")
                                  .arg(interval_->text().trimmed()));
    }
    levels.interval = interval;
    if (levels.minimum && levels.maximum && *levels.minimum > *levels.maximum) {
      return wrong(maximum_, "Contour levels: the highest level lies below the lowest.");
    }
    if (levels.minimum && levels.maximum &&
        (*levels.maximum - *levels.minimum) / interval > render::kMostLevels) {
      return wrong(interval_, QString("Contour interval: %1 gives more than %2 levels between "
                                      "the lowest and the highest; choose a larger one.")
                                  .arg(interval_->text().trimmed())
                                  .arg(render::kMostLevels));
    }
  } else if (levels.mode == render::LevelMode::kList) {
    QString listProblem;
    if (!ParseLevelList(list_->text(), levels.values, listProblem)) {
      return wrong(list_, "Contour levels: " + listProblem);
    }
  }
  style.levels = levels;

  if (ramp_->currentIndex() > 0) style.ramp = render::kColourRamps[ramp_->currentIndex() - 1];
  style.classed = classed_->isChecked();
  if (fixedRange_->isChecked()) {
    std::optional<double> low, high;
    if (!optional(rangeLow_, "Fixed range", low) || !optional(rangeHigh_, "Fixed range", high)) {
      return false;
    }
    if (!low) return wrong(rangeLow_, "Fixed range: give the value of the lowest colour.");
    if (!high) return wrong(rangeHigh_, "Fixed range: give the value of the highest colour.");
    if (!(*low < *high)) {
      return wrong(rangeHigh_,
                   "Fixed range: the highest colour's value must lie above the "
                   "lowest's.");
    }
    style.rangeLow = low;
    style.rangeHigh = high;
  }
  style.cells =
      cells_->currentIndex() == 1 ? render::CellDrawing::kSmooth : render::CellDrawing::kBlocks;
  style.showDataPoints = showPoints_->isChecked();
  style.postValues = postValues_->isChecked();
  style.blanking = static_cast<render::Blanking>(std::clamp(blanking_->currentIndex(), 0, 2));
  if (style.blanking == render::Blanking::kPolygons) {
    if (polygons_->text().trimmed().isEmpty()) {
      return wrong(polygons_,
                   "Blanking: name the file of the polygons (GeoPackage, Shapefile, "
                   "GeoJSON).");
    }
    style.polygonFile = polygons_->text().trimmed().toStdString();
  }
  style.scaleBar = scaleBar_->isChecked();
  return true;
}

void MapStylePanel::Apply() {
  UpdateEnabled();
  render::MapStyle style;
  QString problem;
  if (!ReadStyle(style, problem)) {
    problem_->setText(problem);
    return;
  }
  problem_->clear();
  style_ = style;
  emit styleChanged();
}

void MapStylePanel::BrowsePolygons() {
  const QString chosen = QFileDialog::getOpenFileName(
      this, "Polygons to blank outside", polygons_->text(),
      "Polygon layers (*.gpkg *.shp *.geojson *.json *.kml *.gml);;All files (*)");
  if (chosen.isEmpty()) return;
  polygons_->setText(chosen);
  blanking_->setCurrentIndex(2);
  Apply();
}

}  // namespace mornax::gui
