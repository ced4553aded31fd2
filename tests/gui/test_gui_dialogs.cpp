// The method dialogs: fields shown from the members, radio groups set from
// and read back into indices, and numeric checks on OK.
#include <QCheckBox>

#include "gui/dialogs/bayes_dialog.h"
#include "gui/dialogs/distance_weighting_dialog.h"
#include "gui/dialogs/fit_dialog.h"
#include "gui/dialogs/kriging_dialog.h"
#include "gui/dialogs/number_text.h"
#include "gui/dialogs/semivariogram_dialog.h"
#include "gui/gui_test_support.h"
#include "support/temp_dir.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace mornax::gui {
namespace {

using testing::Checked;
using testing::Field;
using testing::PressOk;
using testing::Radio;
using testing::SetField;

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::GuiApp(); }
  testing::ScriptedPrompts prompts;
};

TEST_F(DialogTest, RealFieldsReadBackAsTheSameFloat) {
  for (float value : {0.0f, 0.1f, 0.67f, 1107.0f, 1.9999f, 1.0e-7f, -2.5e-3f, 3.4e38f}) {
    float back = -1.0f;
    ASSERT_TRUE(ParseReal(FormatReal(value), back)) << value;
    EXPECT_EQ(back, value);
  }
  float real = 0.0f;
  int whole = 0;
  EXPECT_TRUE(ParseReal(" +12.5 ", real));
  EXPECT_EQ(real, 12.5f);
  EXPECT_FALSE(ParseReal("", real));
  EXPECT_FALSE(ParseReal("12,5", real));
  EXPECT_FALSE(ParseReal("1e60", real));
  EXPECT_TRUE(ParseInt("-3", whole));
  EXPECT_EQ(whole, -3);
  EXPECT_FALSE(ParseInt("2.0", whole));
  EXPECT_FALSE(ParseInt("99999999999", whole));
}

TEST_F(DialogTest, SemivariogramDialogShowsFilesAndStoresEditedValues) {
  CSemiVariogramDlg::Values values;
  values.dataFile = "SITE1.dfl";
  values.varFile = "SITE1.var";
  values.fitFile = "SITE1.fit";
  values.lagDistance = 500.0f;
  values.direction = 45.0f;
  values.tolerance = 360.0f;
  values.lagCount = 20;
  CSemiVariogramDlg dialog(values, prompts);
  EXPECT_EQ(dialog.windowTitle(), "Semi Variogram");
  EXPECT_EQ(Field(dialog, "dataFile")->text(), "SITE1.dfl");
  EXPECT_EQ(Field(dialog, "fitFile")->text(), "SITE1.fit");
  EXPECT_TRUE(Field(dialog, "varFile")->isReadOnly());
  EXPECT_FALSE(Field(dialog, "varFile")->isEnabled());
  EXPECT_EQ(Field(dialog, "direction")->text(), "45");
  EXPECT_FALSE(dialog.findChild<QCheckBox*>("logTransform")->isChecked());

  SetField(dialog, "lagDistance", "250.5");
  SetField(dialog, "tolerance", "90");
  SetField(dialog, "lagCount", "12");
  dialog.findChild<QCheckBox*>("subtract")->setChecked(true);
  ASSERT_EQ(PressOk(dialog), QDialog::Accepted);
  EXPECT_EQ(dialog.values().lagDistance, 250.5f);
  EXPECT_EQ(dialog.values().tolerance, 90.0f);
  EXPECT_EQ(dialog.values().direction, 45.0f);
  EXPECT_EQ(dialog.values().lagCount, 12);
  EXPECT_EQ(dialog.values().subtract, 1);
  EXPECT_EQ(dialog.values().logTransform, 0);
}

TEST_F(DialogTest, TextInANumberFieldKeepsTheDialogOpenAndChangesNothing) {
  CKrigingDlg::Values values;
  values.points = 6;
  values.sill = 1107.0f;
  values.a = 2000.0f;
  CKrigingDlg dialog(values, prompts);
  SetField(dialog, "points", "9");
  SetField(dialog, "sill", "lots");
  dialog.show();
  EXPECT_NE(PressOk(dialog), QDialog::Accepted);
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0], "Sill must be a number, >= 0.");
  EXPECT_EQ(dialog.values().points, 6);  // refused whole

  SetField(dialog, "sill", "1200");
  SetField(dialog, "order", "x");
  EXPECT_NE(PressOk(dialog), QDialog::Accepted);
  EXPECT_EQ(prompts.messages.back(), "Order of Kriging must be a whole number, 0, 1 or 2.");
  SetField(dialog, "order", "5");  // the range in the label is enforced
  EXPECT_NE(PressOk(dialog), QDialog::Accepted);
  EXPECT_EQ(prompts.messages.back(), "Order of Kriging must be 0, 1 or 2, not 5.");
  SetField(dialog, "order", "2");
  EXPECT_EQ(PressOk(dialog), QDialog::Accepted);
  EXPECT_EQ(dialog.values().order, 2);
  EXPECT_EQ(dialog.values().sill, 1200.0f);
}

TEST_F(DialogTest, NumbersOutOfTheirFieldsRangeAreSaidSo) {
  CKrigingDlg dialog(CKrigingDlg::Values{}, prompts);
  const struct {
    const char* field;
    const char* text;
    const char* message;
  } cases[] = {
      {"sill", "1e40", "Sill must be >= 0; 1e40 is out of range."},
      {"points", "99999999999",
       "Number of Nearest Points must be 1-1000; 99999999999 is out of range."},
      {"c0", "-1e39", "C0 must be >= 0; -1e39 is out of range."},
  };
  for (const auto& c : cases) {
    SetField(dialog, c.field, c.text);
    emit Field(dialog, c.field)->editingFinished();
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_EQ(prompts.messages.back(), c.message);
  }
}

TEST_F(DialogTest, NeighboursAtOrAboveTheNumberOfDataPointsAreRefused) {
  CKrigingDlg::Values kriging;
  kriging.dataFile = "SITE.dfl";
  kriging.dataPoints = 5;
  kriging.points = 4;
  kriging.modelIndex = 1;
  kriging.a = 100.0f;
  CBayesDlg::Values bayes;
  bayes.sigma = bayes.k = bayes.rho = bayes.lagD = bayes.a = bayes.guessA = 1.0f;
  bayes.dataFile = "SITE.dfl";
  bayes.dataPoints = 5;
  bayes.points = 4;
  CDistanceWeightingDlg::Values weighting;
  weighting.dataFile = "SITE.dfl";
  weighting.dataPoints = 5;
  weighting.points = 4;
  weighting.trendDegree = 1;
  CKrigingDlg krigingDialog(kriging, prompts);
  CBayesDlg bayesDialog(bayes, prompts);
  CDistanceWeightingDlg weightingDialog(weighting, prompts);
  const struct {
    QDialog* dialog;
    const char* points;
    bool accepted;
  } cases[] = {{&krigingDialog, "5", false},
               {&krigingDialog, "4", true},
               {&bayesDialog, "12", false},
               {&bayesDialog, "3", true},
               {&weightingDialog, "5", false}};
  for (const auto& c : cases) {
    prompts.messages.clear();
    SetField(*c.dialog, "points", c.points);
    EXPECT_EQ(PressOk(*c.dialog) == QDialog::Accepted, c.accepted)
        << c.points << (prompts.messages.empty() ? "" : prompts.messages[0]);
    if (!c.accepted) {
      ASSERT_EQ(prompts.messages.size(), 1u);
      EXPECT_EQ(prompts.messages[0],
                "Number of Nearest Points must be less than the number of data points: "
                "SITE.dfl holds 5, so at most 4.");
    }
  }
  // The trend surface takes every point: the count is not checked.
  Radio(weightingDialog, "scheme_6")->setChecked(true);
  SetField(weightingDialog, "points", "50");
  EXPECT_EQ(PressOk(weightingDialog), QDialog::Accepted);
}

TEST_F(DialogTest, TheLargestDialogsKeepRunModeAndButtonsOnTheScreen) {
  // The offscreen screen is 800 x 600, smaller than any laptop's.
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  CKrigingDlg kriging(CKrigingDlg::Values{}, prompts);
  CBayesDlg bayes(CBayesDlg::Values{}, prompts);
  for (QDialog* dialog : std::initializer_list<QDialog*>{&kriging, &bayes}) {
    dialog->show();
    EXPECT_LE(dialog->frameGeometry().height(), screen.height())
        << dialog->windowTitle().toStdString();
    for (QWidget* widget : {static_cast<QWidget*>(Radio(*dialog, "runMode_1")),
                            static_cast<QWidget*>(dialog->findChild<QDialogButtonBox*>())}) {
      const QRect shown(widget->mapTo(dialog, QPoint(0, 0)), widget->size());
      EXPECT_TRUE(dialog->rect().contains(shown)) << dialog->windowTitle().toStdString();
      EXPECT_TRUE(widget->isVisible());
    }
    dialog->hide();
  }
}

TEST_F(DialogTest, AFieldIsCheckedWhenTheUserLeavesIt) {
  CSemiVariogramDlg::Values values;
  values.lagDistance = 500.0f;
  values.tolerance = 360.0f;
  values.lagCount = 20;
  CSemiVariogramDlg dialog(values, prompts);
  const auto leave = [&](const char* name, const QString& text) {
    SetField(dialog, name, text);
    emit Field(dialog, name)->editingFinished();
  };
  leave("tolerance", "400");
  leave("lagDistance", "0");
  leave("lagCount", "20.5");
  leave("direction", "-90");  // in range: no message
  EXPECT_EQ(prompts.messages,
            (std::vector<std::string>{"Direction of Tolerance must be 0 to 360, not 400.",
                                      "Basic Lag Distance must be > 0, not 0.",
                                      "Number of Lags must be a whole number, 1-10000."}));
}

TEST_F(DialogTest, FitDialogModelButtonsFollowTheIndex) {
  const char* labels[] = {"Polynomial", "Spherical",  "Exponential",
                          "Gauss",      "de Wisjian", "kRho of de Waal"};
  for (int index = 0; index < 6; ++index) {
    CFitDlg::Values values;
    values.modelIndex = index;
    CFitDlg dialog(values, prompts);
    EXPECT_EQ(Checked(dialog, "model"), std::vector<int>{index});
    EXPECT_EQ(Radio(dialog, QString("model_%1").arg(index))->text(), labels[index]);
  }
  CFitDlg::Values values;
  values.modelIndex = 1;
  values.lagCount = 20;
  values.bestFit = 1;
  values.initial[0] = 1107.0f;
  values.minimum[1] = 20.0f;
  values.maximum[2] = 0.5f;
  CFitDlg dialog(values, prompts);
  EXPECT_EQ(dialog.windowTitle(), "Fit Semi Variogram");
  EXPECT_EQ(Field(dialog, "initialB1")->text(), "1107");
  EXPECT_EQ(Field(dialog, "minimumB2")->text(), "20");
  EXPECT_EQ(Field(dialog, "maximumB3")->text(), "0.5");
  EXPECT_TRUE(dialog.findChild<QCheckBox*>("bestFit")->isChecked());
  Radio(dialog, "model_5")->setChecked(true);
  dialog.findChild<QCheckBox*>("bestFit")->setChecked(false);
  ASSERT_EQ(PressOk(dialog), QDialog::Accepted);
  EXPECT_EQ(dialog.values().modelIndex, 5);
  EXPECT_EQ(dialog.values().bestFit, 0);
  EXPECT_EQ(dialog.values().initial[0], 1107.0f);
}

TEST_F(DialogTest, FitDialogShowsGuessesWithSixDecimals) {
  CFitDlg dialog(CFitDlg::Values{}, prompts);
  const float initial[3] = {2.5f, 1.0f, 0.95f};
  const float minimum[3] = {0.025f, 0.5f, 0.0f};
  const float maximum[3] = {25.0f, 1.9999f, 9.5f};
  dialog.ShowGuesses(7, initial, minimum, maximum);
  EXPECT_EQ(Field(dialog, "lagCount")->text(), "7");
  EXPECT_EQ(Field(dialog, "initialB3")->text(), "0.950000");
  EXPECT_EQ(Field(dialog, "minimumB1")->text(), "0.025000");
  EXPECT_EQ(Field(dialog, "maximumB2")->text(), "1.999900");
  EXPECT_EQ(dialog.values().lagCount, 0);  // members change on OK only
  ASSERT_EQ(PressOk(dialog), QDialog::Accepted);
  EXPECT_EQ(dialog.values().lagCount, 7);
  EXPECT_EQ(dialog.values().maximum[1], 1.9999f);
}

TEST_F(DialogTest, DistanceWeightingSchemeAndRunMode) {
  CDistanceWeightingDlg::Values values;
  values.schemeIndex = 6;
  values.runMode = kInterpolationMode;  // the last choice is shown again
  values.points = 4;
  values.trendDegree = 2;
  CDistanceWeightingDlg dialog(values, prompts);
  EXPECT_EQ(dialog.windowTitle(), "Distance Weighting Interpolation");
  EXPECT_EQ(Checked(dialog, "scheme"), std::vector<int>{6});
  EXPECT_EQ(Radio(dialog, "scheme_6")->text(), "Trendsurface");
  EXPECT_EQ(Checked(dialog, "runMode"), std::vector<int>{1});
  EXPECT_EQ(Radio(dialog, "runMode_0")->text(), "Do Error Analysis");

  Radio(dialog, "scheme_3")->setChecked(true);
  Radio(dialog, "runMode_0")->setChecked(true);
  SetField(dialog, "trendDegree", "12");
  EXPECT_NE(PressOk(dialog), QDialog::Accepted);
  EXPECT_EQ(prompts.messages.back(), "Degree of Trendsurface must be 1-9, not 12.");
  SetField(dialog, "trendDegree", "9");
  ASSERT_EQ(PressOk(dialog), QDialog::Accepted);
  EXPECT_EQ(dialog.values().schemeIndex, 3);
  EXPECT_EQ(dialog.values().runMode, kErrorAnalysisMode);
  EXPECT_EQ(dialog.values().trendDegree, 9);

  values.runMode = kErrorAnalysisMode;
  CDistanceWeightingDlg again(values, prompts);
  EXPECT_EQ(Checked(again, "runMode"), std::vector<int>{0});
}

TEST_F(DialogTest, AnIndexOutsideTheGroupChecksNothingAndStaysOnOk) {
  CKrigingDlg::Values values;
  values.modelIndex = -1;  // a record value of 0
  values.points = 6;
  values.a = 2000.0f;
  CKrigingDlg dialog(values, prompts);
  EXPECT_TRUE(Checked(dialog, "model").empty());
  ASSERT_EQ(PressOk(dialog), QDialog::Accepted);
  EXPECT_EQ(dialog.values().modelIndex, -1);
}

TEST_F(DialogTest, BayesDialogFieldsAndGroups) {
  CBayesDlg::Values values;
  float* reals[] = {&values.sigma,     &values.k,      &values.rho,    &values.lagD,
                    &values.sill,      &values.a,      &values.c,      &values.c0,
                    &values.guessSill, &values.guessA, &values.guessC, &values.guessC0};
  const char* names[] = {"sigma", "k",  "rho",       "lagD",   "sill",   "a",
                         "c",     "c0", "guessSill", "guessA", "guessC", "guessC0"};
  for (int i = 0; i < 12; ++i) *reals[i] = static_cast<float>(i + 1);
  values.points = 8;
  values.modelIndex = 5;
  values.scaleIndex = 3;
  CBayesDlg dialog(values, prompts);
  EXPECT_EQ(dialog.windowTitle(), "Bayesian Estimates");
  for (int i = 0; i < 12; ++i) EXPECT_EQ(Field(dialog, names[i])->text(), QString::number(i + 1));
  EXPECT_EQ(Checked(dialog, "model"), std::vector<int>{5});
  EXPECT_EQ(Checked(dialog, "scale"), std::vector<int>{3});
  EXPECT_EQ(Radio(dialog, "scale_1")->text(), "Mean Window");

  for (int i = 0; i < 12; ++i) SetField(dialog, names[i], QString::number(100 + i));
  SetField(dialog, "rho", "102");
  EXPECT_NE(PressOk(dialog), QDialog::Accepted);  // rho is a correlation
  EXPECT_EQ(prompts.messages.back(), "kRho Rho must be > 0 and <= 1, not 102.");
  SetField(dialog, "rho", "0.25");
  Radio(dialog, "model_4")->setChecked(true);  // "de Wisjian"
  Radio(dialog, "scale_0")->setChecked(true);
  Radio(dialog, "runMode_1")->setChecked(true);
  ASSERT_EQ(PressOk(dialog), QDialog::Accepted);
  const CBayesDlg::Values& out = dialog.values();
  const float read[] = {out.sigma, out.k,  out.rho,       out.lagD,   out.sill,   out.a,
                        out.c,     out.c0, out.guessSill, out.guessA, out.guessC, out.guessC0};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(read[i], i == 2 ? 0.25f : static_cast<float>(100 + i)) << names[i];
  }
  EXPECT_EQ(out.modelIndex, 4);
  EXPECT_EQ(out.scaleIndex, 0);
  EXPECT_EQ(out.runMode, kInterpolationMode);
}

TEST_F(DialogTest, FitDialogNamesTheParametersByTheirMeaningInTheModel) {
  CFitDlg::Values values;
  values.modelIndex = 1;
  CFitDlg dialog(values, prompts);
  const auto label = [&](const char* name) {
    return dialog.findChild<QLabel*>(name)->text().toStdString();
  };
  EXPECT_EQ(label("labelB1"), "B1 (C = sill - C0):");
  EXPECT_EQ(label("labelB2"), "B2 (range a):");
  EXPECT_EQ(label("labelB3"), "B3 (C0, nugget):");
  Radio(dialog, "model_0")->setChecked(true);
  EXPECT_EQ(label("labelB2"), "B2 (power):");
  Radio(dialog, "model_5")->setChecked(true);
  EXPECT_EQ(label("labelB1"), "B1 (sigma):");
  EXPECT_EQ(label("labelB3"), "B3 (rho per lag):");
}

// A fit report as the fit writes it: the model on line 3, B1-B3 on lines 5-7,
// the classes from line 9.
std::string Report(const char* tag, double b1, double b2, double b3) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer,
                " Semi-Variogram: test\n     ICON=  0      CHI2=  1.0     ITERATION NO. =   3\n"
                " %s: SILL =1.0 RANGE=1.0 C0  =1.0\n        SOLUTIONS OF THE EQUATIONS      \n"
                "          B( 1)= %16.8g\n          B( 2)= %16.8g\n          B( 3)= %16.8g\n"
                " 2\n   250.000   100.000   101.000  -0.100000E+01\n"
                "   500.000   200.000   199.000   0.100000E+01\n",
                tag, b1, b2, b3);
  return buffer;
}

TEST_F(DialogTest, UseFittedModelFillsTheSemivariogramFromTheFitReport) {
  const testing::ScopedTempDir folder;
  CKrigingDlg::Values values;
  values.solFile = QString::fromStdString(folder.In("P.sol"));
  values.sill = 5.0f;
  CKrigingDlg kriging(values, prompts);
  const auto click = [](QDialog& dialog) {
    dialog.findChild<QPushButton*>("useFittedModel")->click();
  };
  EXPECT_TRUE(kriging.findChild<QLabel*>("fittedModelMapping")->text().contains("Sill = B1 + B3"));
  click(kriging);  // no report yet
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find("P.sol not found"), std::string::npos);

  folder.Write("P.sol", Report(" Sphe", 1107.0, 2000.0, 100.0));
  click(kriging);
  EXPECT_EQ(Checked(kriging, "model"), std::vector<int>{1});
  EXPECT_EQ(Field(kriging, "sill")->text(), "1207");
  EXPECT_EQ(Field(kriging, "c")->text(), "1107");
  EXPECT_EQ(Field(kriging, "a")->text(), "2000");
  EXPECT_EQ(Field(kriging, "c0")->text(), "100");

  folder.Write("P.sol", Report("Polyn", 0.5, 1.5, 3.0));
  click(kriging);
  EXPECT_EQ(Checked(kriging, "model"), std::vector<int>{0});
  EXPECT_EQ(Field(kriging, "sill")->text(), "1207");  // the cap is kept
  EXPECT_EQ(Field(kriging, "a")->text(), "1.5");

  folder.Write("P.sol", Report("  k_R", 2.0, 40.0, 0.8));
  click(kriging);
  EXPECT_NE(prompts.messages.back().find("cannot be used for kriging"), std::string::npos);
  EXPECT_EQ(Checked(kriging, "model"), std::vector<int>{0});

  CBayesDlg::Values bayesValues;
  bayesValues.solFile = QString::fromStdString(folder.In("P.sol"));
  CBayesDlg bayes(bayesValues, prompts);
  click(bayes);
  EXPECT_EQ(Checked(bayes, "model"), std::vector<int>{5});
  EXPECT_EQ(Field(bayes, "sigma")->text(), "2");
  EXPECT_EQ(Field(bayes, "k")->text(), "40");
  EXPECT_EQ(Field(bayes, "rho")->text(), "0.8");
  EXPECT_EQ(Field(bayes, "lagD")->text(), "250");  // the first class distance

  folder.Write("P.sol", "not a report\n");
  const std::size_t before = prompts.messages.size();
  click(bayes);
  ASSERT_EQ(prompts.messages.size(), before + 1);
  EXPECT_NE(prompts.messages.back().find("not a fit report"), std::string::npos);
  EXPECT_EQ(Field(bayes, "sigma")->text(), "2");  // nothing changed
}

}  // namespace
}  // namespace mornax::gui
