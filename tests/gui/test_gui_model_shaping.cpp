// Interactive variogram modelling: the shaped quantities and the fit's
// parameters, the fit's start around a shape, and the window driven as a
// user drives it (slider, fit from here, use this model).
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>

#include <cmath>
#include <fstream>

#include "gui/gui_test_support.h"
#include "gui/model_shape.h"
#include "gui/model_shaping_window.h"
#include "gui/mornax_doc.h"
#include "gui/program_records.h"
#include "support/temp_dir.h"

namespace mornax::gui {
namespace {

TEST(ModelShape, SillModelsShowTheTotalSillOthersTheirParameters) {
  const struct {
    int model;
    Triple shape, b;
  } cases[] = {
      {2, {55.0, 400.0, 5.0}, {50.0, 400.0, 5.0}},
      {4, {10.0, 30.0, 10.0}, {0.0, 30.0, 10.0}},  // a pure nugget
      {1, {2.0, 1.5, 1.0}, {2.0, 1.5, 1.0}},
      {6, {0.67, 43.6, 0.79}, {0.67, 43.6, 0.79}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShapeToB(c.model, c.shape), c.b) << c.model;
    EXPECT_EQ(BToShape(c.model, c.b), c.shape) << c.model;
  }
  EXPECT_EQ(ShapeLabels(2)[0], "Sill");
  EXPECT_EQ(ShapeLabels(6)[2], "RHO");  // the fit's own labels, from the engine
}

TEST(ModelShape, ProblemsNameTheValueAndTheFitStartsInsideItsBounds) {
  const struct {
    int model;
    Triple shape;
    const char* problem;  // "" none
  } cases[] = {
      {2, {55.0, 400.0, 5.0}, ""},      {2, {55.0, 0.0, 5.0}, "range"},
      {3, {5.0, 400.0, 6.0}, "exceed"}, {1, {2.0, 2.0, 0.0}, "power"},
      {6, {1.0, 2.0, 1.5}, "rho"},      {2, {NAN, 1.0, 0.0}, "finite"},
  };
  for (const auto& c : cases) {
    const std::string problem = ShapeProblem(c.model, c.shape);
    EXPECT_EQ(problem.empty(), *c.problem == '\0') << problem;
    EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    if (!problem.empty()) continue;
    const Triple b = ShapeToB(c.model, c.shape);
    const FitStart start = ShapedFitStart(c.model, b, 60.0, 7);
    EXPECT_EQ(start.initial, b);
    EXPECT_EQ(start.classCount, 7);
    for (std::size_t j = 0; j < 3; ++j) {
      EXPECT_LE(start.minimum[j], b[j]) << c.model << " B" << j + 1;
      EXPECT_GE(start.maximum[j], b[j]) << c.model << " B" << j + 1;
      EXPECT_LT(start.minimum[j], start.maximum[j]) << c.model << " B" << j + 1;  // none pinned
    }
  }
}

// The fit, as the library would run it: writes a report of a spherical model.
void FittingEngine(int task, int method, int mode, FILENAME* fileName, SVAR* svar, FVAR* fvar,
                   IPL* ipl) {
  testing::RecordingEngine(task, method, mode, fileName, svar, fvar, ipl);
  std::ofstream("P.sol") << " Semi-Variogram: test\n"
                            "     ICON=  0      CHI2=  1.0000000          ITERATION NO. =   3\n"
                            " Sphe: SILL =  48.000     RANGE=  350.00     C0  =  8.0000\n"
                            "        SOLUTIONS OF THE EQUATIONS      \n"
                            "          B( 1)=   40.000000\n"
                            "          B( 2)=   350.00000\n"
                            "          B( 3)=   8.0000000\n"
                            " 1\n"
                            "   100.000    10.000    12.000  -0.200000E+01\n";
}

class ShapingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(folder.path().string()));
    testing::EngineCalls().clear();
    document.OnNewDocument();
    ASSERT_TRUE(document.OnSaveDocument(QString::fromStdString(folder.In("P.mnx"))));
    // A semivariogram that rises to about 50 at 400, with a nugget near 5.
    std::string fit = " t\n    8\n";
    std::string var = " t\n\n   LAG    #points     DISTANCE          1/2 VARIO\n";
    for (int i = 1; i <= 8; ++i) {
      const double h = 100.0 * i;
      const double r = std::min(h / 400.0, 1.0);
      const double gamma = 5.0 + 45.0 * (1.5 * r - 0.5 * r * r * r);
      fit += QString::asprintf("  %10.4f  %10.4f\n", h, gamma).toStdString();
      var += QString::asprintf("  %4d  %6d  %12.2f  %14.4f\n", i, 10 * i, h, gamma).toStdString();
    }
    folder.Write("P.fit", fit);
    folder.Write("P.var", var);
  }

  QApplication& app = testing::GuiApp();
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  CMornaxDoc document{prompts, &FittingEngine, EngineRunner::Thread::kCaller};
};

TEST_F(ShapingTest, TheCurveFollowsTheSliderAndThePairsAreShown) {
  ModelShapingWindow window(document);
  ASSERT_TRUE(window.Reload());
  EXPECT_EQ(window.model(), 2);  // the new document's model, started from the engine's proposal
  EXPECT_GT(window.shape()[0], 30.0);
  EXPECT_EQ(window.plot().data().pairs, (std::vector<double>{10, 20, 30, 40, 50, 60, 70, 80}));
  EXPECT_NE(window.plot().data().curveLabel.find("Spherical"), std::string::npos);

  // The range slider at its far end: the largest class distance twice over.
  auto* slider = window.findChild<QSlider*>("shapeSlider1");
  slider->setValue(ModelShapingWindow::kSliderSteps);
  EXPECT_DOUBLE_EQ(window.shape()[1], 1600.0);
  EXPECT_DOUBLE_EQ(window.findChild<QDoubleSpinBox*>("shapeField1")->value(), 1600.0);
  // The model at the lags follows: at 800 the spherical model is still rising.
  const PlotData& data = window.plot().data();
  EXPECT_LT(data.model.back(), window.shape()[0]);

  window.findChild<QDoubleSpinBox*>("shapeField0")->setValue(70.0);
  EXPECT_EQ(window.shape()[0], 70.0);
  EXPECT_EQ(window.plot().data().fitted.b[0], 70.0 - window.shape()[2]);

  // Shown again over the same semivariogram, the shape stays; a new
  // semivariogram starts afresh.
  ASSERT_TRUE(window.Reload());
  EXPECT_EQ(window.shape()[0], 70.0);
  folder.Write("P.fit", " t\n    3\n 100 1\n 200 2\n 300 3\n");
  ASSERT_TRUE(window.Reload());
  EXPECT_NE(window.shape()[0], 70.0);
  EXPECT_EQ(window.plot().data().x.size(), 3u);
}

TEST_F(ShapingTest, TheFitStartsFromTheShapeAndTheModelGoesToKriging) {
  ModelShapingWindow window(document);
  ASSERT_TRUE(window.Reload());
  window.SetModel(3);
  window.SetShape({60.0, 300.0, 4.0});
  window.findChild<QSpinBox*>("shapeClasses")->setValue(6);
  window.findChild<QPushButton*>("fitFromHere")->click();
  ASSERT_EQ(testing::EngineCalls().size(), 1u);
  const FVAR& fvar = testing::EngineCalls()[0].fvar;
  EXPECT_EQ(testing::EngineCalls()[0].task, MNX_TASK_FIT);
  EXPECT_EQ(fvar.model, 3);
  EXPECT_EQ(fvar.initial[0], 56.0f);
  EXPECT_EQ(fvar.initial[1], 300.0f);
  EXPECT_EQ(fvar.minimum[1], 30.0f);
  EXPECT_EQ(fvar.maximum[1], 3000.0f);
  EXPECT_EQ(testing::EngineCalls()[0].svar.lagCount, 6);
  // The report names another model than the one shaped: the shape stays.
  EXPECT_EQ(window.shape()[1], 300.0);
  EXPECT_NE(window.status().indexOf("no report of this model"), -1);

  window.SetModel(2);
  window.findChild<QPushButton*>("fitFromHere")->click();
  EXPECT_EQ(window.shape(), (Triple{48.0, 350.0, 8.0}));  // the fitted values

  window.SetShape({60.0, 500.0, 6.0});
  window.findChild<QPushButton*>("useThisModel")->click();
  const IPL& ipl = ProgramRecords().ipl;
  EXPECT_EQ(ipl.krigModel, 2);
  EXPECT_EQ(ipl.sill, 60.0f);
  EXPECT_EQ(ipl.c, 54.0f);
  EXPECT_EQ(ipl.a, 500.0f);
  EXPECT_EQ(ipl.c0, 6.0f);
  EXPECT_TRUE(document.isModified());

  window.SetModel(6);  // k_Rho: Bayesian estimation only, its lag the first class
  window.SetShape({0.5, 40.0, 0.8});
  window.findChild<QPushButton*>("useThisModel")->click();
  EXPECT_EQ(ProgramRecords().ipl.krigModel, 2);
  EXPECT_EQ(ProgramRecords().ipl.bayesModel, 6);
  EXPECT_EQ(ProgramRecords().ipl.rho, 0.8f);
  EXPECT_EQ(ProgramRecords().ipl.lagD, 100.0f);

  window.SetModel(2);
  window.SetShape({60.0, 500.0, 70.0});  // a nugget above the sill is refused
  window.findChild<QPushButton*>("useThisModel")->click();
  EXPECT_EQ(ProgramRecords().ipl.c0, 6.0f);
  EXPECT_NE(window.status().indexOf("exceed"), -1);
}

TEST_F(ShapingTest, WithoutASemivariogramTheWindowSaysWhatToDo) {
  std::filesystem::remove(folder.path() / "P.fit");
  ModelShapingWindow window(document);
  EXPECT_FALSE(window.Reload());
  EXPECT_NE(window.status().indexOf("Compute the semivariogram"), -1);
  EXPECT_FALSE(window.FitFromHere());
}

}  // namespace
}  // namespace mornax::gui
