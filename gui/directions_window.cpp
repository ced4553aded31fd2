#include "gui/directions_window.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <string>

#include "gui/current_model.h"
#include "gui/dialogs/number_text.h"
#include "gui/direction_files_reader.h"
#include "gui/directions_plots.h"
#include "gui/mornax_doc.h"
#include "gui/program_records.h"
#include "gui/user_prompts.h"
#include "semivariogram/direction_files.h"

namespace mornax::gui {
namespace {

// The project's file of that suffix: BASE.suffix beside the others.
std::string ProjectFile(const char* suffix) {
  const QFileInfo sol(QString::fromStdString(ProgramFiles()[project::kSol]));
  return (sol.completeBaseName() + suffix).toStdString();
}

QString Messages(const api::Report& report) {
  QStringList lines;
  for (const api::Message& m : report.messages) lines << QString::fromStdString(m.text);
  return lines.join('\n');
}

}  // namespace

DirectionsWindow::DirectionsWindow(CMornaxDoc& document, QWidget* parent)
    : QWidget(parent, Qt::Window), document_(document) {
  setObjectName("directionsWindow");
  setWindowTitle("Directions and Variogram Map");
  directions_ = new QLineEdit("0, 45, 90, 135", this);
  directions_->setObjectName("directions");
  directions_->setToolTip("Degrees from +X towards +Y, separated by commas");
  tolerance_ = new QLineEdit("45", this);
  tolerance_->setObjectName("tolerance");
  tolerance_->setToolTip("Full opening of every direction sector, degrees");
  mapCells_ = new QSpinBox(this);
  mapCells_->setObjectName("mapCells");
  mapCells_->setRange(1, api::kMaxMapCells);
  mapCells_->setValue(20);
  mapCells_->setToolTip("Cells on each side of the zero lag");
  mapCellSize_ = new QLineEdit(this);
  mapCellSize_->setObjectName("mapCellSize");
  mapCellSize_->setPlaceholderText("the lag distance");
  jointFit_ = new QComboBox(this);
  jointFit_->setObjectName("jointFit");
  jointFit_->addItems({"None", "Spherical", "Exponential", "Gauss"});
  jointFit_->setToolTip(
      "Fit one model to the directions together (BASE.jfr), for "
      "\"Use joint fit of directions\" in Kriging and Bayes_Estimation");
  auto* compute = new QPushButton("Compute", this);
  compute->setObjectName("compute");
  connect(compute, &QPushButton::clicked, this, [this] { Compute(); });

  auto* form = new QFormLayout;
  form->addRow("Directions:", directions_);
  form->addRow("Tolerance:", tolerance_);
  form->addRow("Map cells:", mapCells_);
  form->addRow("Map cell size:", mapCellSize_);
  form->addRow("Joint fit:", jointFit_);
  form->addRow(compute);
  auto* controls = new QVBoxLayout;
  controls->addLayout(form);
  controls->addStretch(1);

  directional_ = new DirectionalPlot(this);
  map_ = new VariogramMapPlot(this);
  auto* plots = new QSplitter(Qt::Horizontal, this);
  plots->addWidget(directional_);
  plots->addWidget(map_);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(controls);
  layout->addWidget(plots, 1);
  resize(1100, 480);

  // A dialog accepted (its run started) or a document opened may change the model.
  connect(&document_, &CMornaxDoc::runStarted, this, &DirectionsWindow::Reload);
  connect(&document_, &CMornaxDoc::titleChanged, this, &DirectionsWindow::Reload);
  Reload();
}

void DirectionsWindow::Reload() {
  // The project's last run, as its files hold it.
  api::DirectionalParameters run;
  api::DirectionalResult result;
  const bool named = ProgramRecords().fileName.nameLength > 0;
  if (!named || !ReadDirectionReport(ProjectFile(".vdr"), run, result)) result = {};
  if (!named || !ReadVariogramMap(ProjectFile(".vmp"), result.map)) result.map = {};
  directional_->SetResult(run, result);
  map_->SetMap(result.map);
  const api::Variogram model = KrigingVariogram(ProgramRecords());
  directional_->SetModel(model);
  map_->SetModel(model);
}

bool DirectionsWindow::ReadFields(api::DirectionalParameters& run, QString& problem) const {
  run.directions.clear();
  for (const QString& part : directions_->text().split(',')) {
    float value = 0.0f;
    if (!ParseReal(part.trimmed(), value) || !std::isfinite(value)) {
      problem = "Directions must be numbers separated by commas.";
      return false;
    }
    run.directions.push_back(value);
  }
  if (run.directions.size() > api::kMaxDirections) {
    problem = QString("At most %1 directions.").arg(api::kMaxDirections);
    return false;
  }
  float tolerance = 0.0f;
  if (!ParseReal(tolerance_->text().trimmed(), tolerance) || !(tolerance > 0.0f) ||
      tolerance > 360.0f) {
    problem = "Tolerance must be a number above 0 and at most 360.";
    return false;
  }
  run.tolerance = tolerance;
  run.mapCells = mapCells_->value();
  float cellSize = 0.0f;
  if (!mapCellSize_->text().trimmed().isEmpty() &&
      (!ParseReal(mapCellSize_->text().trimmed(), cellSize) || !(cellSize > 0.0f))) {
    problem = "Map cell size must be a number above 0 (or empty: the lag distance).";
    return false;
  }
  run.mapCellSize = cellSize;
  return true;
}

bool DirectionsWindow::Compute() {
  UserPrompts& prompts = document_.prompts();
  if (document_.isRunning()) return false;
  const project::Records& records = ProgramRecords();
  if (records.fileName.nameLength == 0) {
    prompts.Inform(this, "New Document, Filename empty!");
    return false;
  }
  api::DirectionalParameters run;
  run.lagCount = records.svar.lagCount;
  run.lagDistance = records.svar.lagDistance;
  run.logTransform = records.svar.logTransform != 0;
  run.subtract = records.svar.subtract == 1;
  QString problem;
  if (!ReadFields(run, problem)) {
    prompts.Inform(this, problem);
    return false;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  api::DataFileReader reader(ProgramFiles()[project::kDfl], {.guesses = run.subtract});
  api::DirectionalResult result;
  if (reader.report().completed()) result = api::DirectionalSemivariogram(reader.points(), run);
  QApplication::restoreOverrideCursor();
  if (!reader.report().completed()) {
    prompts.Inform(this, Messages(reader.report()));
    return false;
  }
  if (!result.report.messages.empty()) prompts.Inform(this, Messages(result.report));
  if (!result.report.completed()) return false;
  std::string error;
  if (!WriteDirectionFiles(ProjectFile(".vdr"), ProjectFile(".vmp"), reader.title(), run, result,
                           error)) {
    prompts.Inform(this, QString::fromStdString(error));
    return false;
  }
  directional_->SetResult(run, result);
  map_->SetMap(result.map);
  if (jointFit_->currentIndex() > 0) {
    const api::JointFitResult fit =
        api::JointFit(run, result, {.model = jointFit_->currentIndex() + 1});
    if (!fit.report.messages.empty()) prompts.Inform(this, Messages(fit.report));
    if (!fit.report.completed()) return false;
    if (!WriteJointFitReport(ProjectFile(".jfr"), reader.title(), run, fit, error)) {
      prompts.Inform(this, QString::fromStdString(error));
      return false;
    }
  }
  return true;
}

}  // namespace mornax::gui
