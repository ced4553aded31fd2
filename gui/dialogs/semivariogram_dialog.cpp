#include "gui/dialogs/semivariogram_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace mornax::gui {

CSemiVariogramDlg::CSemiVariogramDlg(const Values& values, UserPrompts& prompts, QWidget* parent)
    : MethodDialog(prompts, "Semi Variogram", parent), values_(values) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      FormBox("Input Files", {{"Input Data File:", FileNameField(&values_.dataFile, "dataFile")}}));
  layout->addWidget(
      FormBox("Output Files",
              {{"Vario-Gram Results File:", FileNameField(&values_.varFile, "varFile")},
               {"OUtput file to Fit Variogram:", FileNameField(&values_.fitFile, "fitFile")}}));
  layout->addWidget(
      FormBox("Semi-Variogram Parameters",
              {{"Basic Lag Distance:",
                RealField(&values_.lagDistance, "lagDistance", "Basic Lag Distance:")},
               {"Direction:", RealField(&values_.direction, "direction", "Direction:")},
               {"Direction of Tolerance:",
                RealField(&values_.tolerance, "tolerance", "Direction of Tolerance:")},
               {"Number of Lags:", IntField(&values_.lagCount, "lagCount", "Number of Lags:")},
               {"", CheckField("Logtransform values", &values_.logTransform, "logTransform")},
               {"", CheckField("Subtract Values", &values_.subtract, "subtract")}}));
  layout->addWidget(OkCancelButtons());
  LoadControls();
}

}  // namespace mornax::gui
