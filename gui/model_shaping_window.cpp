#include "gui/model_shaping_window.h"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "api/mornax_arrays.h"
#include "gui/mornax_doc.h"
#include "gui/plot_geometry.h"
#include "gui/plot_painter.h"
#include "gui/program_records.h"
#include "project/fit_initializer.h"
#include "project/fitted_model.h"
#include "project/text_scanner.h"

namespace mornax::gui {
namespace {

constexpr int kModels = 6;
constexpr int kKRho = 6;
constexpr int kFieldDecimals = 6;
constexpr double kFieldLimit = 1e15;

QString Name(int model) {
  return QString::fromStdString(api::ModelName(model));
}

QString Number(double value) {
  return QString::number(value, 'g', 6);
}

}  // namespace

ModelShapePlot::ModelShapePlot(QWidget* parent) : QWidget(parent) {
  setObjectName("shapePlot");
  setMinimumSize(420, 320);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
}

void ModelShapePlot::SetData(PlotData data) {
  data_ = std::move(data);
  update();
}

void ModelShapePlot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (data_.x.empty()) return;
  const auto geometry =
      ComputePlotGeometry(kPlotFittedModel, ComputeWorldRange(data_, kPlotFittedModel), size(),
                          DeviceUnitsPerPoint(painter));
  if (geometry) PaintPlot(painter, data_, *geometry, kPlotFittedModel);
}

ModelShapingWindow::ModelShapingWindow(CMornaxDoc& document, QWidget* parent)
    : QWidget(parent, Qt::Window), document_(document), plot_(new ModelShapePlot(this)) {
  setObjectName("modelShapingWindow");
  setWindowTitle("Variogram Model");
  BuildControls();
  connect(&document_, &CMornaxDoc::runFinished, this, [this] {
    if (fitting_) {
      FitFinished();
    } else if (isVisible()) {
      Reload();
    }
  });
  resize(980, 520);
}

void ModelShapingWindow::BuildControls() {
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(plot_, 1);
  auto* side = new QVBoxLayout;
  auto* form = new QFormLayout;
  modelBox_ = new QComboBox(this);
  modelBox_->setObjectName("shapeModel");
  for (int model = 1; model <= kModels; ++model) modelBox_->addItem(Name(model), model);
  connect(modelBox_, &QComboBox::activated, this,
          [this](int index) { SetModel(modelBox_->itemData(index).toInt()); });
  form->addRow("Model:", modelBox_);
  for (std::size_t j = 0; j < 3; ++j) {
    labels_[j] = new QLabel(this);
    fields_[j] = new QDoubleSpinBox(this);
    fields_[j]->setObjectName(QString("shapeField%1").arg(j));
    fields_[j]->setDecimals(kFieldDecimals);
    fields_[j]->setRange(-kFieldLimit, kFieldLimit);
    fields_[j]->setKeyboardTracking(false);
    sliders_[j] = new QSlider(Qt::Horizontal, this);
    sliders_[j]->setObjectName(QString("shapeSlider%1").arg(j));
    sliders_[j]->setRange(0, kSliderSteps);
    auto* row = new QVBoxLayout;
    row->addWidget(fields_[j]);
    row->addWidget(sliders_[j]);
    form->addRow(labels_[j], row);
    connect(fields_[j], &QDoubleSpinBox::valueChanged, this, [this, j](double value) {
      if (showing_) return;
      Triple shape = shape_;
      shape[j] = value;
      SetShape(shape);
    });
    connect(sliders_[j], &QSlider::valueChanged, this, [this, j](int position) {
      if (showing_) return;
      shape_[j] = reach_.low[j] + (reach_.high[j] - reach_.low[j]) * position / kSliderSteps;
      showing_ = true;
      fields_[j]->setValue(shape_[j]);
      showing_ = false;
      Redraw();
    });
  }
  classes_ = new QSpinBox(this);
  classes_->setObjectName("shapeClasses");
  classes_->setToolTip("The fit uses the first classes of the semivariogram");
  form->addRow("Classes fitted:", classes_);
  side->addLayout(form);

  const auto button = [this, side](const QString& text, const char* name, const QString& tip) {
    auto* pressed = new QPushButton(text, this);
    pressed->setObjectName(name);
    pressed->setToolTip(tip);
    side->addWidget(pressed);
    return pressed;
  };
  connect(button("Start from Semivariogram", "startFromSemivariogram",
                 "Read nugget, sill and range off the semivariogram"),
          &QPushButton::clicked, this, [this] { StartFromSemivariogram(); });
  connect(button("Fit from Here", "fitFromHere",
                 "Fit the model, starting from these values with bounds around them"),
          &QPushButton::clicked, this, [this] { FitFromHere(); });
  connect(button("Use This Model", "useThisModel",
                 "Give this model to kriging and Bayesian estimation"),
          &QPushButton::clicked, this, [this] { UseThisModel(); });
  status_ = new QLabel(this);
  status_->setObjectName("shapeStatus");
  status_->setWordWrap(true);
  status_->setMinimumWidth(260);
  side->addWidget(status_);
  side->addStretch();
  layout->addLayout(side);
}

QString ModelShapingWindow::status() const {
  return status_->text();
}

void ModelShapingWindow::SetStatus(const QString& text) {
  status_->setText(text);
}

bool ModelShapingWindow::Reload() {
  const project::FileSet& files = ProgramFiles();
  project::FitClasses classes;
  int count = 0;
  const project::FitInitStatus read = project::ReadFitClasses(files[project::kFit], classes, count);
  if (read != project::FitInitStatus::kOk || classes.distance.empty()) {
    distance_.clear();
    semivariance_.clear();
    pairs_.clear();
    plot_->SetData({});
    SetStatus(QString("%1\nCompute the semivariogram first (Semi_variogram > Computaion).")
                  .arg(read == project::FitInitStatus::kOk ? "The semivariogram has no class."
                                                           : project::FitInitMessage(read)));
    return false;
  }
  project::ReadPairCounts(files[project::kVar], classes);
  const std::vector<double> distance(classes.distance.begin(), classes.distance.end());
  const std::vector<double> semivariance(classes.semivariance.begin(), classes.semivariance.end());
  pairs_ = classes.pairs;
  // The same semivariogram as before (another run ended, the window shown
  // again): the shape stays as the user left it.
  if (distance == distance_ && semivariance == semivariance_) {
    Redraw();
    return true;
  }
  distance_ = distance;
  semivariance_ = semivariance;
  const int available = static_cast<int>(distance_.size());
  classes_->setRange(1, available);
  const int lagCount = ProgramRecords().svar.lagCount;
  classes_->setValue(lagCount >= 1 ? std::min(lagCount, available) : available);

  // The fitted model, where there is one; else the engine's proposal.
  std::string text;
  project::FitReport report;
  if (project::ReadTextFile(files[project::kSol], text)) {
    project::ParseFitReport(std::move(text), report);
  }
  SetStatus({});
  if (report.fit.model != 0) {
    model_ = report.fit.model;
    modelBox_->setCurrentIndex(model_ - 1);
    SetShape(BToShape(model_, report.fit.b));
    SetStatus(QString("Started from the fitted %1 model.").arg(Name(model_)));
  } else {
    const int model = ProgramRecords().fvar.model;
    model_ = model >= 1 && model <= kModels ? model : 2;
    modelBox_->setCurrentIndex(model_ - 1);
    StartFromSemivariogram();
  }
  return true;
}

void ModelShapingWindow::SetModel(int model) {
  if (model < 1 || model > kModels) return;
  const bool keepShape = model_ >= 2 && model_ <= 4 && model >= 2 && model <= 4;
  model_ = model;
  modelBox_->setCurrentIndex(model - 1);
  if (keepShape) {
    SetShape(shape_);
  } else {
    StartFromSemivariogram();
  }
}

void ModelShapingWindow::StartFromSemivariogram() {
  FitStart start;
  std::string problem;
  if (!ProposeFitStart(distance_, semivariance_, pairs_, model_, start, problem)) {
    SetStatus(QString("No start read off the semivariogram: %1.").arg(problem.c_str()));
    SetShape(shape_);
    return;
  }
  classes_->setValue(start.classCount);
  SetShape(BToShape(model_, start.initial));
}

void ModelShapingWindow::SetShape(const Triple& shape) {
  shape_ = shape;
  const double largestDistance =
      distance_.empty() ? 0.0 : *std::max_element(distance_.begin(), distance_.end());
  const double largestSemivariance =
      semivariance_.empty() ? 0.0 : *std::max_element(semivariance_.begin(), semivariance_.end());
  reach_ = ShapeReach(model_, shape_, largestDistance, largestSemivariance);
  ShowShape();
  Redraw();
}

void ModelShapingWindow::ShowShape() {
  showing_ = true;
  const std::array<std::string, 3> labels = ShapeLabels(model_);
  for (std::size_t j = 0; j < 3; ++j) {
    labels_[j]->setText(QString::fromStdString(labels[j]) + ":");
    fields_[j]->setValue(shape_[j]);
    const double span = reach_.high[j] - reach_.low[j];
    sliders_[j]->setValue(span > 0.0 ? static_cast<int>(std::lround((shape_[j] - reach_.low[j]) /
                                                                    span * kSliderSteps))
                                     : 0);
  }
  showing_ = false;
}

void ModelShapingWindow::Redraw() {
  PlotData data;
  data.title = "Semivariogram and the " + api::ModelName(model_) + " model";
  data.x = distance_;
  data.y = semivariance_;
  if (pairs_.size() == distance_.size()) data.pairs = pairs_;
  data.fitted = {model_, parameters(), distance_.empty() ? 1.0 : distance_.front()};
  for (double h : distance_) {
    const double gamma = EvaluateModel(data.fitted, h);
    data.model.push_back(std::isfinite(gamma) ? gamma : 0.0);
  }
  data.curveLabel = "shaped " + api::ModelName(model_) + " model";
  plot_->SetData(std::move(data));
}

bool ModelShapingWindow::FitFromHere() {
  if (document_.isRunning() || distance_.empty()) return false;
  const std::string problem = ShapeProblem(model_, shape_);
  if (!problem.empty()) {
    SetStatus(QString("Not fitted: %1.").arg(problem.c_str()));
    return false;
  }
  project::Records& records = ProgramRecords();
  const double largestSemivariance = *std::max_element(semivariance_.begin(), semivariance_.end());
  const FitStart start =
      ShapedFitStart(model_, parameters(), largestSemivariance, classes_->value());
  records.fvar.model = model_;
  records.fvar.bestFit = 1;
  StoreFitStart(start, records.fvar);
  records.svar.lagCount = start.classCount;
  // The fit's class table holds every class of the file, the empty ones too.
  project::FitClasses classes;
  int count = 0;
  if (project::ReadFitClasses(ProgramFiles()[project::kFit], classes, count) ==
      project::FitInitStatus::kOk) {
    records.fvar.fitPointCount = std::max(records.fvar.fitPointCount, count);
  }
  document_.SetModified(true);
  // Set before the run: a run on the calling thread has finished on return.
  fitting_ = true;
  SetStatus("Fitting from the shaped values...");
  const bool started = document_.RunEngine(MNX_TASK_FIT, MNX_METHOD_NONE, MNX_MODE_NONE);
  if (!started) {
    fitting_ = false;
    SetStatus("Not fitted: the project needs a name first (File > Save).");
  }
  return started;
}

void ModelShapingWindow::FitFinished() {
  fitting_ = false;
  project::FittedModel fit;
  if (project::ReadFittedModel(ProgramFiles()[project::kSol], fit) !=
          project::FitReportStatus::kOk ||
      fit.model != model_) {
    SetStatus("The fit wrote no report of this model; the shape stays as it was.");
    return;
  }
  SetShape(BToShape(model_, fit.b));
  const std::string problem = project::FitStatusProblem(fit);
  SetStatus(problem.empty()
                ? QString("Fitted: the fields show the fitted %1 model.").arg(Name(model_))
                : QString("Fitted, but %1.").arg(problem.c_str()));
}

void ModelShapingWindow::UseThisModel() {
  if (document_.isRunning()) return;
  const std::string problem = ShapeProblem(model_, shape_);
  if (!problem.empty()) {
    SetStatus(QString("Not used: %1.").arg(problem.c_str()));
    return;
  }
  project::FittedModel fit;
  fit.model = model_;
  fit.b = parameters();
  fit.firstLag = distance_.empty() ? ProgramRecords().ipl.lagD : distance_.front();
  fit.icon = 0;
  fit.iconRead = true;
  project::ApplyFill(fit, project::FillFromFit(fit), ProgramRecords());
  document_.SetModified(true);
  const std::array<std::string, 3> labels = ShapeLabels(model_);
  QStringList values;
  for (std::size_t j = 0; j < 3; ++j) {
    values << QString("%1 %2").arg(QString::fromStdString(labels[j]), Number(shape_[j]));
  }
  SetStatus(
      QString("%1 take the %2 model: %3.")
          .arg(model_ == kKRho ? "Bayes_Estimation and its dialog" : "Kriging and Bayes_Estimation",
               Name(model_), values.join(", ")));
}

}  // namespace mornax::gui
