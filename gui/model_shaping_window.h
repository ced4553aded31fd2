// Interactive variogram modelling: the experimental semivariogram with the
// pairs of each class, and beside it the model and its three quantities as
// fields and sliders; the curve follows every change. The shape becomes the
// fit's start ("Fit from Here", the fit then runs as Semi_variogram >
// Fitting runs it) or goes to kriging and Bayesian estimation as it stands
// ("Use This Model", the same mapping as "Use fitted model").
#pragma once

#include <array>
#include <vector>

#include <QWidget>

#include "gui/model_shape.h"
#include "gui/plot_reader.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSlider;
class QSpinBox;

namespace mornax::gui {

class CMornaxDoc;

// The semivariogram and the shaped model's curve, drawn as the plot draws
// the fitted model.
class ModelShapePlot : public QWidget {
  Q_OBJECT

 public:
  explicit ModelShapePlot(QWidget* parent = nullptr);
  void SetData(PlotData data);
  const PlotData& data() const { return data_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PlotData data_;
};

class ModelShapingWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kSliderSteps = 1000;

  ModelShapingWindow(CMornaxDoc& document, QWidget* parent = nullptr);

  // Reads the project's semivariogram (.fit classes, .var pairs) and starts
  // from its fitted model when the report holds one, else from the engine's
  // proposal for the project's model; a semivariogram the window shows
  // already keeps its shape. False, with the reason shown in the window,
  // when there is no semivariogram to shape a model on.
  bool Reload();

  int model() const { return model_; }
  const Triple& shape() const { return shape_; }  // as shown: sill, range, nugget, ...
  Triple parameters() const { return ShapeToB(model_, shape_); }
  void SetModel(int model);
  void SetShape(const Triple& shape);
  const ModelShapePlot& plot() const { return *plot_; }
  QString status() const;

  // The buttons' work.
  void StartFromSemivariogram();
  bool FitFromHere();
  void UseThisModel();

 private:
  void BuildControls();
  void ShowShape();
  void Redraw();
  void FitFinished();
  void SetStatus(const QString& text);

  CMornaxDoc& document_;
  ModelShapePlot* plot_;
  QComboBox* modelBox_ = nullptr;
  std::array<QLabel*, 3> labels_{};
  std::array<QDoubleSpinBox*, 3> fields_{};
  std::array<QSlider*, 3> sliders_{};
  QSpinBox* classes_ = nullptr;
  QLabel* status_ = nullptr;
  std::vector<double> distance_, semivariance_, pairs_;
  int model_ = 2;
  Triple shape_{};
  SliderReach reach_;
  bool showing_ = false;  // the controls are being set from the shape
  bool fitting_ = false;
};

}  // namespace mornax::gui
