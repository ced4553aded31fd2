// The model terms in the program: a model with an anisotropy or further
// structures run from the program writes the batch tool's result files on the
// same document (and the terms do reach the run); the dialogs check the terms
// as the document does; the directions window writes its files, fits the
// directions jointly, and the kriging dialog takes that fit.
#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

#include "gui/dialogs/kriging_dialog.h"
#include "gui/direction_files_reader.h"
#include "gui/directions_plots.h"
#include "gui/directions_window.h"
#include "gui/gui_test_support.h"
#include "gui/mornax_doc.h"
#include "gui/program_records.h"
#include "project/fitted_model.h"
#include "support/batch_run.h"
#include "support/gaussian_field.h"
#include "support/temp_dir.h"

namespace mornax::gui {
namespace {

// Closes the run's message boxes and keeps their texts.
class BoxCloser {
 public:
  BoxCloser() {
    timer_.callOnTimeout([this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts.push_back(box->text().toStdString());
        box->done(QMessageBox::Ok);
      }
    });
    timer_.start(10);
  }
  std::vector<std::string> texts;

 private:
  QTimer timer_;
};

// A field stretched along 30 degrees and a small network; Bayesian
// estimation reads a guess after every point and node.
void WriteData(const std::filesystem::path& file, bool guesses) {
  std::ofstream out(file);
  out << "Stretched field\n120\n";
  std::uint32_t state = 777;
  const auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / double(1u << 24);
  };
  for (int i = 0; i < 120; ++i) {
    const double x = 1000.0 * next(), y = 1000.0 * next();
    out << x << ' ' << y << ' ' << 20.0 + 0.02 * (0.87 * y - 0.5 * x) + next();
    if (guesses) out << ' ' << 20.0 + 0.01 * y;
    out << '\n';
  }
  out << "36\n";
  for (int i = 0; i < 6; ++i) {
    for (int j = 0; j < 6; ++j) {
      out << 100.0 + 160.0 * i << ' ' << 100.0 + 160.0 * j;
      if (guesses) out << ' ' << 20.0 + 1.6 * j;
      out << '\n';
    }
  }
}

struct TermsCase {
  const char* name;
  int method;
  int mode;
  const char* batchArgs;
  const char* resultFile;
};

class TermsRunTest : public ::testing::TestWithParam<TermsCase> {
 protected:
  void SetUp() override {
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(folder.path().string()));
    document.OnNewDocument();
  }

  QApplication& app = testing::GuiApp();
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  CMornaxDoc document{prompts};  // the library and the program's own runs, on a worker thread
};

TEST_P(TermsRunTest, TheProgramWritesWhatTheBatchToolWrites) {
  const TermsCase& c = GetParam();
  WriteData(folder.path() / "ANISO.dfl", c.method == MNX_METHOD_BAYES);
  auto& records = ProgramRecords();
  records.ipl.krigPoints = 10;
  records.ipl.bayesPoints = 10;
  records.ipl.bayesModel = 2;
  records.ipl.sill = records.ipl.c = 4.0f;
  records.ipl.a = 600.0f;
  records.ipl.c0 = 0.2f;
  records.ipl.guessSill = records.ipl.guessC = 4.0f;
  records.ipl.guessA = 600.0f;
  records.ipl.guessC0 = 0.2f;
  const QString path = QString::fromStdString((folder.path() / "ANISO.mnx").string());
  ASSERT_TRUE(document.OnSaveDocument(path));

  // The isotropic model through the library, for the comparison below.
  BoxCloser boxes;
  ASSERT_TRUE(document.RunEngine(MNX_TASK_INTERPOLATION, c.method, c.mode));
  document.WaitForRun();
  const std::string isotropic = folder.Read(c.resultFile);
  ASSERT_FALSE(isotropic.empty()) << (boxes.texts.empty() ? "" : boxes.texts.front());

  records.terms.angle = 30.0f;
  records.terms.ratio = 0.4f;
  records.terms.structures[0] = {
      .model = 2, .c = 1.5f, .a = 250.0f, .angle = 120.0f, .ratio = 0.7f};
  ASSERT_TRUE(document.OnSaveDocument(path));
  ASSERT_TRUE(document.RunEngine(MNX_TASK_INTERPOLATION, c.method, c.mode));
  document.WaitForRun();
  const std::string program = folder.Read(c.resultFile);
  EXPECT_TRUE(boxes.texts.empty()) << boxes.texts.front();
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_NE(program, isotropic);

  const testing::BatchResult batch =
      testing::RunBatch(folder, std::string("run ANISO.mnx ") + c.batchArgs);
  ASSERT_EQ(batch.status, 0) << batch.err;
  EXPECT_EQ(folder.Read(c.resultFile), program);

  // The progress window closes the run as the library's does.
  QListWidget* list = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->windowTitle() == "Progress Report" && widget->isVisible()) {
      list = widget->findChild<QListWidget*>();
    }
  }
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->item(list->count() - 1)->text(), "MORNAX: Computation Complete");
}

INSTANTIATE_TEST_SUITE_P(
    Methods, TermsRunTest,
    ::testing::Values(TermsCase{"KrigingNetwork", MNX_METHOD_KRIGING, MNX_MODE_INTERPOLATION,
                                "kriging --interpolate", "ANISO.dat"},
                      TermsCase{"KrigingErrors", MNX_METHOD_KRIGING, MNX_MODE_ERROR_ANALYSIS,
                                "kriging --error-analysis", "ANISO.lst"},
                      TermsCase{"BayesNetwork", MNX_METHOD_BAYES, MNX_MODE_INTERPOLATION,
                                "bayes --interpolate", "ANISO.dat"}),
    [](const ::testing::TestParamInfo<TermsCase>& info) { return std::string(info.param.name); });

struct TermsField {
  const char* field;
  const char* text;
  const char* message;  // the start of the refusal; nullptr: accepted
};

TEST(TermsDialogTest, TheDialogChecksTheTermsAsTheDocumentDoes) {
  testing::GuiApp();
  const TermsField cases[] = {
      {"ratio", "0", "Ratio must be"},
      {"ratio", "1.5", "Ratio must be"},
      {"structure2Model", "6", "Structure 2 model must be"},
      {"structure3Ratio", "-0.5", "Structure 3 ratio must be"},
      {"angle", "x", "Angle must be a number"},
      {"angle", "-30", nullptr},
      {"structure3A", "800", nullptr},
  };
  for (const TermsField& c : cases) {
    SCOPED_TRACE(std::string(c.field) + "=" + c.text);
    testing::ScriptedPrompts prompts;
    CKrigingDlg::Values values;
    values.sill = values.c = 2.0f;
    values.a = 100.0f;
    values.points = 4;
    values.terms.ratio = 0.5f;
    CKrigingDlg dialog(values, prompts);
    EXPECT_EQ(testing::Field(dialog, "ratio")->text(), "0.5");
    testing::SetField(dialog, c.field, c.text);
    const int result = testing::PressOk(dialog);
    if (c.message == nullptr) {
      EXPECT_EQ(result, QDialog::Accepted);
      EXPECT_TRUE(prompts.messages.empty());
      EXPECT_EQ(dialog.values().terms.ratio, 0.5f);
    } else {
      EXPECT_NE(result, QDialog::Accepted);
      ASSERT_FALSE(prompts.messages.empty());
      EXPECT_EQ(prompts.messages.front().rfind(c.message, 0), 0u) << prompts.messages.front();
    }
  }
}

TEST(DirectionsWindowTest, WritesTheFilesAndTheKrigingDialogTakesTheJointFit) {
  testing::GuiApp();
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  CMornaxDoc document(prompts);
  document.OnNewDocument();
  // A field whose range along 60 degrees is 2.5 times the range across.
  folder.Write("DIRS.dfl",
               testing::DataFileText(testing::SimulateField(
                   {.model = 3, .c = 1.0, .a = 60.0, .c0 = 0.05, .angle = 60.0, .ratio = 0.4}, 900,
                   0.0, 0.0, 500.0, 7)));
  ProgramRecords().svar.lagCount = 10;
  ProgramRecords().svar.lagDistance = 20.0f;
  ASSERT_TRUE(
      document.OnSaveDocument(QString::fromStdString((folder.path() / "DIRS.mnx").string())));
  DirectionsWindow window(document);
  window.findChild<QLineEdit*>("tolerance")->setText("x");
  EXPECT_FALSE(window.Compute());
  ASSERT_EQ(prompts.messages.size(), 1u);
  window.findChild<QLineEdit*>("tolerance")->setText("30");
  window.findChild<QComboBox*>("jointFit")->setCurrentIndex(2);  // Exponential
  ASSERT_TRUE(window.Compute()) << prompts.messages.back();
  EXPECT_FALSE(folder.Read("DIRS.vdr").empty());
  EXPECT_FALSE(folder.Read("DIRS.vmp").empty());
  project::JointFittedModel fit;
  ASSERT_EQ(project::ReadJointFittedModel(folder.path() / "DIRS.jfr", fit),
            project::FitReportStatus::kOk);
  EXPECT_NEAR(fit.angle, 60.0, 15.0);  // the stretch the field was made with
  EXPECT_LT(fit.ratio, 0.7);

  // The files read back as the window shows them when it opens again.
  api::DirectionalParameters run;
  api::DirectionalResult read;
  ASSERT_TRUE(ReadDirectionReport(folder.path() / "DIRS.vdr", run, read));
  EXPECT_EQ(run.directions, (std::vector<double>{0.0, 45.0, 90.0, 135.0}));
  EXPECT_EQ(run.tolerance, 30.0);
  EXPECT_EQ(run.lagDistance, 20.0);
  ASSERT_TRUE(ReadVariogramMap(folder.path() / "DIRS.vmp", read.map));
  EXPECT_EQ(read.map.cells, 20);
  EXPECT_EQ(read.map.pairs[20 * 41 + 21], read.map.pairs[20 * 41 + 19]);  // symmetric about 0
  EXPECT_GT(read.map.pairs[20 * 41 + 21], 0);

  // Both drawings show something beyond their "nothing yet" text.
  for (QWidget* plot : {static_cast<QWidget*>(&window.directionalPlot()),
                        static_cast<QWidget*>(&window.mapPlot())}) {
    plot->resize(500, 400);
    const QImage image = plot->grab().toImage();
    int coloured = 0;
    for (int y = 0; y < image.height(); y += 2) {
      for (int x = 0; x < image.width(); x += 2) {
        coloured += image.pixelColor(x, y).saturation() > 100 ? 1 : 0;
      }
    }
    EXPECT_GT(coloured, 200) << plot->objectName().toStdString();
  }

  // The model drawn is the document's: with the joint fit's, the ellipse
  // follows the stretch of the map. MORNAX_SCREENSHOT_DIR keeps the pictures.
  project::ApplyJointFill(fit, ProgramRecords());
  window.Reload();
  const QString shots = qEnvironmentVariable("MORNAX_SCREENSHOT_DIR");
  if (!shots.isEmpty()) {
    window.resize(1360, 640);
    window.show();
    QCoreApplication::processEvents();
    window.mapPlot().grab().save(shots + "/variogram-map-ellipse.png");
    window.directionalPlot().grab().save(shots + "/directional-semivariograms-model.png");
  }

  CKrigingDlg::Values values;
  values.points = 4;
  values.jfrFile = QString::fromStdString((folder.path() / "DIRS.jfr").string());
  values.terms.structures[0] = {.model = 3, .c = 1.0f, .a = 50.0f, .angle = 0.0f, .ratio = 1.0f};
  CKrigingDlg dialog(values, prompts);
  dialog.findChild<QPushButton*>("useJointFit")->click();
  if (!shots.isEmpty()) {
    dialog.show();
    QCoreApplication::processEvents();
    dialog.grab().save(shots + "/kriging-dialog-anisotropy.png");
  }
  ASSERT_EQ(testing::PressOk(dialog), QDialog::Accepted) << prompts.messages.back();
  EXPECT_NEAR(dialog.values().terms.angle, fit.angle, 1e-3);
  EXPECT_NEAR(dialog.values().terms.ratio, fit.ratio, 1e-4);
  EXPECT_EQ(dialog.values().modelIndex, 2);
  EXPECT_EQ(dialog.values().terms.structures[0].model, 3);  // further structures stay
}

}  // namespace
}  // namespace mornax::gui
