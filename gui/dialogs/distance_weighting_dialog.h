// "Distance Weighting Interpolation": nearest points, trend degree, the
// weighting scheme and the run mode.
#pragma once

#include "gui/dialogs/method_dialog.h"
#include "gui/dialogs/radio_group.h"

namespace mornax::gui {

class CDistanceWeightingDlg : public MethodDialog {
  Q_OBJECT

 public:
  struct Values {
    QString dataFile, lstFile, datFile, levFile;
    int points = 0;
    int dataPoints = 0;  // the data file's point count (0: unknown)
    int trendDegree = 0;
    int schemeIndex = 0;  // 0-6; 6 is the trend surface
    int runMode = kErrorAnalysisMode;
  };

  static constexpr int kTrendSchemeIndex = 6;

  CDistanceWeightingDlg(const Values& values, UserPrompts& prompts, QWidget* parent = nullptr);
  const Values& values() const { return values_; }

 protected:
  void StoreRadioGroups() override;

 private:
  Values values_;
  RadioGroup scheme_;
  RadioGroup runMode_;
};

}  // namespace mornax::gui
