// "Bayesian Estimates": nearest points, log transform, the semivariograms of
// the observations and of the guesses, the kRho parameters, the model, the
// scaling of the guesses and the run mode.
#pragma once

#include "gui/dialogs/method_dialog.h"
#include "gui/dialogs/radio_group.h"

namespace mornax::gui {

class CBayesDlg : public MethodDialog {
  Q_OBJECT

 public:
  struct Values {
    QString dataFile, lstFile, datFile, levFile;
    QString solFile;  // the fit report "Use fitted model" reads
    QString jfrFile;  // the joint fit of the directions
    int points = 0;
    int dataPoints = 0;  // the data file's point count (0: unknown)
    int logTransform = 0;
    float sigma = 0.0f, k = 0.0f, rho = 0.0f, lagD = 0.0f;
    float sill = 0.0f, a = 0.0f, c = 0.0f, c0 = 0.0f;
    float guessSill = 0.0f, guessA = 0.0f, guessC = 0.0f, guessC0 = 0.0f;
    int modelIndex = 0;  // 0-5: Polynomial ... kRho of de Waal
    int scaleIndex = 0;  // 0-3: None, Mean Window, Mean, Linear
    int runMode = kErrorAnalysisMode;
    project::ModelTermsRecord terms;  // anisotropy and further structures
  };

  CBayesDlg(const Values& values, UserPrompts& prompts, QWidget* parent = nullptr);
  const Values& values() const { return values_; }

 protected:
  void StoreRadioGroups() override;

 private:
  void UseFittedModel();
  void UseJointFit();

  Values values_;
  RadioGroup model_;
  RadioGroup scale_;
  RadioGroup runMode_;
};

}  // namespace mornax::gui
