#include "gui/dialogs/kriging_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/fitted_model.h"
#include "gui/user_prompts.h"

namespace mornax::gui {

CKrigingDlg::CKrigingDlg(const Values& values, UserPrompts& prompts, QWidget* parent)
    : MethodDialog(prompts, "Kriging", parent),
      values_(values),
      model_(this, {"Polynomial", "Spherical", "Exponential", "Gauss", "de Wisjian"}, "model"),
      runMode_(MakeRunModeGroup(this)) {
  // Two columns, so that the dialog fits a 768-pixel screen; run mode, OK
  // and Cancel stay below in view.
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
            IntField(&values_.points, "points", "Number of Nearest Points:", "krigPoints")},
           {"Order of Kriging [0-2]:",
            IntField(&values_.order, "order", "Order of Kriging [0-2]:", "krigOrder")},
           {"", CheckField("Logtransform values", &values_.logTransform, "logTransform")}}));
  left->addStretch(1);
  right->addWidget(model_.MakeBox("Semi-Variogram Type", 2));
  right->addWidget(
      FormBox("Semi-Variogram Parameters", {{"Sill:", RealField(&values_.sill, "sill", "Sill:")},
                                            {"C:", RealField(&values_.c, "c", "C:")},
                                            {"a:", RealField(&values_.a, "a", "a:")},
                                            {"C0:", RealField(&values_.c0, "c0", "C0:")}}));
  right->addWidget(FittedModelBox(
      KrigingMappingText(), [this] { UseFittedModel(); }, [this] { UseJointFit(); }));
  right->addWidget(ModelTermsBox(values_.terms));
  right->addStretch(1);
  SetScrollingLayout(body, {runMode_.MakeBox("", 2), OkCancelButtons()});
  LimitNeighbours("points", values_.dataPoints, values_.dataFile);
  LoadControls();
  model_.SetIndex(values_.modelIndex);
  runMode_.SetIndex(values_.runMode == kInterpolationMode ? 1 : 0);
}

void CKrigingDlg::UseFittedModel() {
  QString error;
  const auto fit = ReadFittedModel(values_.solFile.toStdString(), error);
  if (!fit) {
    prompts().Inform(this, error);
    return;
  }
  if (fit->model > 5) {
    prompts().Inform(this,
                     "The fitted kRho model cannot be used for kriging; "
                     "use it in Bayes_Estimation.");
    return;
  }
  const SemivariogramFill fill = FillFromFit(*fit);
  model_.SetIndex(fit->model - 1);
  ShowFill(fill);
}

void CKrigingDlg::UseJointFit() {
  QString error;
  const auto fit = ReadJointFittedModel(values_.jfrFile.toStdString(), error);
  if (!fit) {
    prompts().Inform(this, error);
    return;
  }
  if (fit->fit.model > 5) {
    prompts().Inform(this, "The joint fit's kRho model cannot be used for kriging.");
    return;
  }
  ShowJointFit(*fit);
  model_.SetIndex(fit->fit.model - 1);
}

void CKrigingDlg::StoreRadioGroups() {
  values_.modelIndex = model_.Index(values_.modelIndex);
  values_.runMode = RunModeOf(runMode_, values_.runMode);
}

}  // namespace mornax::gui
