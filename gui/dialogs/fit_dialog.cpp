#include "gui/dialogs/fit_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/dialogs/number_text.h"
#include "gui/fitted_model.h"

#include <QRadioButton>

namespace mornax::gui {
namespace {

QString SixDecimals(float value) {
  return QString::asprintf("%f", static_cast<double>(value));
}

}  // namespace

CFitDlg::CFitDlg(const Values& values, UserPrompts& prompts, QWidget* parent)
    : MethodDialog(prompts, "Fit Semi Variogram", parent),
      values_(values),
      model_(this,
             {"Polynomial", "Spherical", "Exponential", "Gauss", "de Wisjian", "kRho of de Waal"},
             "model") {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      FormBox("Files", {{"Input Fit File:", FileNameField(&values_.fitFile, "fitFile")},
                        {"Output Error Analysis:", FileNameField(&values_.solFile, "solFile")}}));

  auto* parameters = new QGroupBox("Semi-Variogram Parameters", this);
  auto* grid = new QGridLayout(parameters);
  grid->addWidget(new QLabel("Minimum", this), 0, 1);
  grid->addWidget(new QLabel("Initial", this), 0, 2);
  grid->addWidget(new QLabel("Maximum", this), 0, 3);
  for (int j = 0; j < 3; ++j) {
    const QString row = QString("B%1").arg(j + 1);
    parameterLabels_[j] = new QLabel(row + ":", this);
    parameterLabels_[j]->setObjectName("label" + row);
    grid->addWidget(parameterLabels_[j], j + 1, 0);
    grid->addWidget(RealField(&values_.minimum[j], "minimum" + row, "Minimum " + row,
                              ("minimum" + std::to_string(j + 1)).c_str()),
                    j + 1, 1);
    grid->addWidget(RealField(&values_.initial[j], "initial" + row, "Initial " + row,
                              ("initial" + std::to_string(j + 1)).c_str()),
                    j + 1, 2);
    grid->addWidget(RealField(&values_.maximum[j], "maximum" + row, "Maximum " + row,
                              ("maximum" + std::to_string(j + 1)).c_str()),
                    j + 1, 3);
  }

  auto* middle = new QHBoxLayout;
  middle->addWidget(model_.MakeBox("Semi-Variogram Type"));
  auto* right = new QVBoxLayout;
  right->addWidget(
      FormBox("", {{"Number of Lags:", IntField(&values_.lagCount, "lagCount", "Number of Lags:")},
                   {"", CheckField("Compute best fit", &values_.bestFit, "bestFit")}}));
  auto* initialize = new QPushButton("Initialize", this);
  initialize->setObjectName("initialize");
  initialize->setAutoDefault(false);
  connect(initialize, &QPushButton::clicked, this,
          [this] { emit initializeRequested(CheckedModelIndex()); });
  right->addWidget(initialize);
  right->addStretch();
  middle->addLayout(right);

  layout->addLayout(middle);
  layout->addWidget(parameters);
  layout->addWidget(OkCancelButtons());
  LoadControls();
  model_.SetIndex(values_.modelIndex);
  // B1-B3 are named by what they mean in the model checked.
  for (QRadioButton* button : model_.buttons()) {
    connect(button, &QRadioButton::toggled, this, [this] { ShowParameterMeanings(); });
  }
  ShowParameterMeanings();
}

void CFitDlg::ShowParameterMeanings() {
  const int model = CheckedModelIndex() + 1;
  for (int j = 0; j < 3; ++j) {
    const QString meaning = ParameterMeaning(model, j + 1);
    const QString row = QString("B%1").arg(j + 1);
    parameterLabels_[j]->setText(meaning.isEmpty() ? row + ":"
                                                   : QString("%1 (%2):").arg(row, meaning));
  }
}

int CFitDlg::CheckedModelIndex() const {
  return model_.Index(values_.modelIndex);
}

void CFitDlg::ShowGuesses(int lagCount, const float initial[3], const float minimum[3],
                          const float maximum[3]) {
  findChild<QLineEdit*>("lagCount")->setText(FormatInt(lagCount));
  for (int j = 0; j < 3; ++j) {
    const QString row = QString("B%1").arg(j + 1);
    findChild<QLineEdit*>("initial" + row)->setText(SixDecimals(initial[j]));
    findChild<QLineEdit*>("minimum" + row)->setText(SixDecimals(minimum[j]));
    findChild<QLineEdit*>("maximum" + row)->setText(SixDecimals(maximum[j]));
  }
}

void CFitDlg::StoreRadioGroups() {
  values_.modelIndex = model_.Index(values_.modelIndex);
}

}  // namespace mornax::gui
