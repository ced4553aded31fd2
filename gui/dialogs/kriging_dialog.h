// "Kriging": nearest points, order, log transform, the semivariogram model
// and its parameters, and the run mode.
#pragma once

#include "gui/dialogs/method_dialog.h"
#include "gui/dialogs/radio_group.h"

namespace mornax::gui {

class CKrigingDlg : public MethodDialog {
  Q_OBJECT

 public:
  struct Values {
    QString dataFile, lstFile, datFile, levFile;
    QString solFile;  // the fit report "Use fitted model" reads
    QString jfrFile;  // the joint fit of the directions
    int points = 0;
    int dataPoints = 0;  // the data file's point count (0: unknown)
    int order = 0;
    int logTransform = 0;
    float sill = 0.0f;
    float c = 0.0f;
    float a = 0.0f;
    float c0 = 0.0f;
    int modelIndex = 0;  // 0-4: Polynomial ... de Wisjian
    int runMode = kErrorAnalysisMode;
    project::ModelTermsRecord terms;  // anisotropy and further structures
  };

  CKrigingDlg(const Values& values, UserPrompts& prompts, QWidget* parent = nullptr);
  const Values& values() const { return values_; }

 protected:
  void StoreRadioGroups() override;

 private:
  void UseFittedModel();
  void UseJointFit();

  Values values_;
  RadioGroup model_;
  RadioGroup runMode_;
};

}  // namespace mornax::gui
