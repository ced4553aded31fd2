// "Semi Variogram": the parameters of the experimental semivariogram.
#pragma once

#include "gui/dialogs/method_dialog.h"

namespace mornax::gui {

class CSemiVariogramDlg : public MethodDialog {
  Q_OBJECT

 public:
  struct Values {
    QString dataFile, varFile, fitFile;
    float lagDistance = 0.0f;
    float direction = 0.0f;
    float tolerance = 0.0f;
    int lagCount = 0;
    int logTransform = 0;
    int subtract = 0;
  };

  CSemiVariogramDlg(const Values& values, UserPrompts& prompts, QWidget* parent = nullptr);
  const Values& values() const { return values_; }

 private:
  Values values_;
};

}  // namespace mornax::gui
