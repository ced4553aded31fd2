#include "gui/dialogs/distance_weighting_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace mornax::gui {

CDistanceWeightingDlg::CDistanceWeightingDlg(const Values& values, UserPrompts& prompts,
                                             QWidget* parent)
    : MethodDialog(prompts, "Distance Weighting Interpolation", parent),
      values_(values),
      scheme_(this,
              {"1/d; d=distance between points", "(1-d/1.1xDmax)^2 / (d/1.1xDmax)^2",
               "exp (-alpha x d)", "1 / d^2", "exp ( alpha x d^2)/(d^2+eps)",
               "exp (-d/d^2)/(d^2+eps)", "Trendsurface"},
              "scheme"),
      runMode_(MakeRunModeGroup(this)) {
  auto* layout = new QVBoxLayout(this);
  AddInterpolationFiles(*layout, &values_.dataFile, &values_.lstFile, &values_.datFile,
                        &values_.levFile);
  layout->addWidget(FormBox(
      "", {{"Number of Nearest Points:",
            IntField(&values_.points, "points", "Number of Nearest Points:", "dwPoints")},
           {"Degree of Trendsurface [1-9]:",
            IntField(&values_.trendDegree, "trendDegree", "Degree of Trendsurface [1-9]:")}}));
  layout->addWidget(scheme_.MakeBox("Interpolation Scheme"));
  layout->addWidget(runMode_.MakeBox("", 2));
  layout->addWidget(OkCancelButtons());
  LoadControls();
  scheme_.SetIndex(values_.schemeIndex);
  runMode_.SetIndex(values_.runMode == kInterpolationMode ? 1 : 0);
  // The trend surface takes every point; the count only matters for the
  // weighting schemes.
  LimitNeighbours("points", values_.dataPoints, values_.dataFile,
                  [this] { return scheme_.Index(values_.schemeIndex) != kTrendSchemeIndex; });
}

void CDistanceWeightingDlg::StoreRadioGroups() {
  values_.schemeIndex = scheme_.Index(values_.schemeIndex);
  values_.runMode = RunModeOf(runMode_, values_.runMode);
}

}  // namespace mornax::gui
