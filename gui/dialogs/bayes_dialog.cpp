#include "gui/dialogs/bayes_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/fitted_model.h"
#include "gui/user_prompts.h"

namespace mornax::gui {

CBayesDlg::CBayesDlg(const Values& values, UserPrompts& prompts, QWidget* parent)
    : MethodDialog(prompts, "Bayesian Estimates", parent),
      values_(values),
      model_(this,
             {"Polynomial", "Spherical", "Exponential", "Gauss", "de Wisjian", "kRho of de Waal"},
             "model"),
      scale_(this, {"None", "Mean Window", "Mean", "Linear"}, "scale"),
      runMode_(MakeRunModeGroup(this)) {
  // Two columns, so that the dialog fits a 768-pixel screen: the files, the
  // neighbours and the fitted model on the left; the semivariogram and the
  // choices on the right. Run mode, OK and Cancel stay below in view.
  auto* body = new QWidget(this);
  auto* columns = new QHBoxLayout(body);
  columns->setContentsMargins(0, 0, 0, 0);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right);
  AddInterpolationFiles(*left, &values_.dataFile, &values_.lstFile, &values_.datFile,
                        &values_.levFile);
  left->addWidget(FormBox(
      "", {{"Number of Nearest Points:",
            IntField(&values_.points, "points", "Number of Nearest Points:", "bayesPoints")},
           {"", CheckField("Logtransform values", &values_.logTransform, "logTransform")}}));
  left->addWidget(FittedModelBox(
      BayesMappingText(), [this] { UseFittedModel(); }, [this] { UseJointFit(); }));
  left->addStretch(1);

  // Three columns: the kRho model, the observations and the guesses.
  auto* parameters = new QGroupBox("Semi-Variogram Parameters", this);
  auto* grid = new QGridLayout(parameters);
  grid->addWidget(new QLabel("kRho of De Waal", this), 0, 0, 1, 2);
  grid->addWidget(new QLabel("Observations", this), 0, 2, 1, 2);
  grid->addWidget(new QLabel("Guesses", this), 0, 4);
  const QString kRhoLabels[] = {"Sigma:", "k:", "Rho", "Lag D.:"};
  float* kRho[] = {&values_.sigma, &values_.k, &values_.rho, &values_.lagD};
  const char* kRhoNames[] = {"sigma", "k", "rho", "lagD"};
  const QString observedLabels[] = {"Sill:", "a:", "C:", "C0:"};
  float* observed[] = {&values_.sill, &values_.a, &values_.c, &values_.c0};
  const char* observedNames[] = {"sill", "a", "c", "c0"};
  float* guesses[] = {&values_.guessSill, &values_.guessA, &values_.guessC, &values_.guessC0};
  const char* guessNames[] = {"guessSill", "guessA", "guessC", "guessC0"};
  for (int row = 0; row < 4; ++row) {
    grid->addWidget(new QLabel(kRhoLabels[row], this), row + 1, 0);
    grid->addWidget(RealField(kRho[row], kRhoNames[row], "kRho " + kRhoLabels[row]), row + 1, 1);
    grid->addWidget(new QLabel(observedLabels[row], this), row + 1, 2);
    grid->addWidget(
        RealField(observed[row], observedNames[row], "Observations " + observedLabels[row]),
        row + 1, 3);
    grid->addWidget(RealField(guesses[row], guessNames[row], "Guesses " + observedLabels[row]),
                    row + 1, 4);
  }
  right->addWidget(parameters);
  right->addWidget(ModelTermsBox(values_.terms));
  right->addWidget(model_.MakeBox("Semi-Variogram Type", 2));
  right->addWidget(scale_.MakeBox("Scale Guesses", 2));
  right->addStretch(1);
  SetScrollingLayout(body, {runMode_.MakeBox("", 2), OkCancelButtons()});
  LimitNeighbours("points", values_.dataPoints, values_.dataFile);
  LoadControls();
  model_.SetIndex(values_.modelIndex);
  scale_.SetIndex(values_.scaleIndex);
  runMode_.SetIndex(values_.runMode == kInterpolationMode ? 1 : 0);
}

void CBayesDlg::UseFittedModel() {
  QString error;
  const auto fit = ReadFittedModel(values_.solFile.toStdString(), error);
  if (!fit) {
    prompts().Inform(this, error);
    return;
  }
  const SemivariogramFill fill = FillFromFit(*fit);
  model_.SetIndex(fit->model - 1);
  ShowFill(fill);
}

void CBayesDlg::UseJointFit() {
  QString error;
  const auto fit = ReadJointFittedModel(values_.jfrFile.toStdString(), error);
  if (!fit) {
    prompts().Inform(this, error);
    return;
  }
  ShowJointFit(*fit);
  model_.SetIndex(fit->fit.model - 1);
}

void CBayesDlg::StoreRadioGroups() {
  values_.modelIndex = model_.Index(values_.modelIndex);
  values_.scaleIndex = scale_.Index(values_.scaleIndex);
  values_.runMode = RunModeOf(runMode_, values_.runMode);
}

}  // namespace mornax::gui
