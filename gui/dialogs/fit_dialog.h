// "Fit Semi Variogram": the model, the number of lags and the initial values
// and bounds of B1, B2, B3. "Initialize" asks the owner for guesses from the
// .fit file and shows the values it then passes back.
#pragma once

#include "gui/dialogs/method_dialog.h"
#include "gui/dialogs/radio_group.h"

class QLabel;

namespace mornax::gui {

class CFitDlg : public MethodDialog {
  Q_OBJECT

 public:
  struct Values {
    QString fitFile, solFile;
    int lagCount = 0;
    int bestFit = 0;
    float minimum[3] = {0.0f, 0.0f, 0.0f};
    float initial[3] = {0.0f, 0.0f, 0.0f};
    float maximum[3] = {0.0f, 0.0f, 0.0f};
    int modelIndex = 0;  // 0-5: Polynomial ... kRho of de Waal
  };

  CFitDlg(const Values& values, UserPrompts& prompts, QWidget* parent = nullptr);
  const Values& values() const { return values_; }

  // The model index of the checked button (the member's when none is).
  int CheckedModelIndex() const;
  // Shows guesses in the fields: the lag count as an integer, the reals with
  // six decimals. The members change only on OK.
  void ShowGuesses(int lagCount, const float initial[3], const float minimum[3],
                   const float maximum[3]);

 signals:
  // "Initialize" was pressed with this model index checked.
  void initializeRequested(int modelIndex);

 protected:
  void StoreRadioGroups() override;

 private:
  void ShowParameterMeanings();

  Values values_;
  RadioGroup model_;
  QLabel* parameterLabels_[3] = {};
};

}  // namespace mornax::gui
