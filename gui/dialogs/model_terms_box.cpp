// The model terms' group of the kriging and Bayes dialogs.
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <string>

#include "gui/dialogs/method_dialog.h"

namespace mornax::gui {

QGroupBox* MethodDialog::ModelTermsBox(project::ModelTermsRecord& terms) {
  auto* box = new QGroupBox("Anisotropy and Further Structures", this);
  box->setObjectName("modelTerms");
  auto* grid = new QGridLayout(box);
  const QString angleTip =
      "Major axis, degrees from +X towards +Y (as the semivariogram's direction)";
  const QString ratioTip = "Range across the major axis over the range along it, in (0, 1]";
  grid->addWidget(new QLabel("Angle:", this), 0, 0);
  QLineEdit* angle = RealField(&terms.angle, "angle", "Angle:", "angle");
  angle->setToolTip(angleTip);
  grid->addWidget(angle, 0, 1, 1, 2);
  grid->addWidget(new QLabel("Ratio:", this), 0, 3);
  QLineEdit* ratio = RealField(&terms.ratio, "ratio", "Ratio:", "ratio");
  ratio->setToolTip(ratioTip);
  grid->addWidget(ratio, 0, 4, 1, 2);

  const QString headings[] = {"Model", "C", "a", "Angle", "Ratio"};
  for (int column = 0; column < 5; ++column) {
    grid->addWidget(new QLabel(headings[column], this), 1, column + 1);
  }
  for (int i = 0; i < 2; ++i) {
    project::StructureTerms& s = terms.structures[static_cast<std::size_t>(i)];
    const QString label = QString("Structure %1").arg(i + 2);
    const std::string field = "structure" + std::to_string(i + 2);
    const int row = i + 2;
    grid->addWidget(new QLabel(label + ":", this), row, 0);
    QLineEdit* model =
        IntField(&s.model, QString::fromStdString(field + "Model"), label + " model", nullptr);
    model->setToolTip("0 none, 1 Polynomial, 2 Spherical, 3 Exponential, 4 Gauss, 5 de Wisjian");
    grid->addWidget(model, row, 1);
    grid->addWidget(RealField(&s.c, QString::fromStdString(field + "C"), label + " C"), row, 2);
    grid->addWidget(RealField(&s.a, QString::fromStdString(field + "A"), label + " a"), row, 3);
    QLineEdit* ownAngle =
        RealField(&s.angle, QString::fromStdString(field + "Angle"), label + " angle");
    ownAngle->setToolTip(angleTip);
    grid->addWidget(ownAngle, row, 4);
    QLineEdit* ownRatio =
        RealField(&s.ratio, QString::fromStdString(field + "Ratio"), label + " ratio");
    ownRatio->setToolTip(ratioTip);
    grid->addWidget(ownRatio, row, 5);
  }
  return box;
}

void MethodDialog::ShowJointFit(const project::JointFittedModel& fit) {
  const project::SemivariogramFill fill = project::FillFromFit(fit.fit);
  ShowFill(fill);
  // The anisotropy as use-fit --joint stores it; further structures stay.
  project::Records filled;
  project::ApplyJointFill(fit, filled);
  ShowReal("angle", filled.terms.angle);
  ShowReal("ratio", filled.terms.ratio);
}

}  // namespace mornax::gui
