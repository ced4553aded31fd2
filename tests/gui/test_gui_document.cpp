// The document: the computation commands and their dialogs, the library call,
// loading and saving the 39 values, the project folder and the file viewer.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <cstring>

#include "gui/dialogs/bayes_dialog.h"
#include "gui/dialogs/distance_weighting_dialog.h"
#include "gui/dialogs/fit_dialog.h"
#include "gui/dialogs/kriging_dialog.h"
#include "gui/dialogs/semivariogram_dialog.h"
#include "gui/file_viewer.h"
#include "gui/gui_test_support.h"
#include "gui/mornax_doc.h"
#include "gui/program_records.h"
#include "support/temp_dir.h"

namespace mornax::gui {
namespace {

using testing::AcceptWith;
using testing::Checked;
using testing::EngineCalls;
using testing::Field;
using testing::Radio;
using testing::SetField;

constexpr char kNoName[] = "New Document, Filename empty!";

QString InFolder(const testing::ScopedTempDir& folder, const std::string& name) {
  return QString::fromStdString((folder.path() / name).string());
}

std::string Canonical(const QString& path) {
  return QFileInfo(path).canonicalFilePath().toStdString();
}

// The document file as its layout describes it, built value by value.
QByteArray ExpectedDocument(const project::Records& r) {
  QByteArray bytes;
  auto put = [&bytes](auto value) {
    static_assert(sizeof(value) == 4);
    char raw[4];
    std::memcpy(raw, &value, 4);  // the test host is little-endian
    bytes.append(raw, 4);
  };
  put(r.svar.subtract);
  put(r.svar.logTransform);
  put(r.svar.lagCount);
  put(r.svar.lagDistance);
  put(r.svar.tolerance);
  put(r.svar.direction);
  put(r.fvar.fitPointCount);
  put(r.fvar.bestFit);
  put(r.fvar.model);
  for (int j = 0; j < 3; ++j) {
    put(r.fvar.initial[j]);
    put(r.fvar.minimum[j]);
    put(r.fvar.maximum[j]);
  }
  const IPL& p = r.ipl;
  for (std::int32_t v : {p.dwPoints, p.krigPoints, p.bayesPoints, p.dwScheme, p.krigModel,
                         p.bayesModel, p.krigOrder, p.trendDegree, p.scaleGuess}) {
    put(v);
  }
  for (float v : {p.sill, p.a, p.c, p.c0, p.guessSill, p.guessA, p.guessC, p.guessC0, p.sigma, p.k,
                  p.rho, p.lagD}) {
    put(v);
  }
  return bytes;
}

// Distinct values in every field, so that a value stored in the wrong place
// shows.
void FillDistinct(project::Records& r) {
  r.svar = {1, 1, 17, 250.5f, 90.0f, 45.0f};
  r.fvar = {9, 0, 4, {1.5f, 2.5f, 3.5f}, {0.5f, 0.25f, 0.125f}, {15.0f, 25.0f, 35.0f}};
  r.ipl = {5,      7,      9,     3,     4,     5,     1,    3,     2,     100.0f, 200.0f,
           300.0f, 400.0f, 10.0f, 20.0f, 30.0f, 40.0f, 0.5f, 33.0f, 0.75f, 150.0f};
}

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The remembered run modes stay in the test's folder.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(folder.path().string()));
    EngineCalls().clear();
    document.OnNewDocument();
  }

  void SaveAs(const std::string& name) {
    ASSERT_TRUE(document.OnSaveDocument(InFolder(folder, name))) << name;
  }

  QApplication& app = testing::GuiApp();
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  CMornaxDoc document{prompts, &testing::RecordingEngine, EngineRunner::Thread::kCaller};
};

TEST_F(DocumentTest, NewDocumentStoresAcceptedValuesThenRefusesToRun) {
  prompts.onDialog = AcceptWith<CSemiVariogramDlg>([](CSemiVariogramDlg& d) {
    SetField(d, "lagDistance", "125");
    d.findChild<QCheckBox*>("logTransform")->setChecked(true);
  });
  document.OnComputation();
  EXPECT_EQ(ProgramRecords().svar.lagDistance, 125.0f);
  EXPECT_EQ(ProgramRecords().svar.logTransform, 1);

  prompts.onDialog = AcceptWith<CKrigingDlg>([](CKrigingDlg& d) { SetField(d, "c0", "7"); });
  document.OnKriging();
  EXPECT_EQ(ProgramRecords().ipl.c0, 7.0f);

  prompts.onDialog = AcceptWith<CBayesDlg>([](CBayesDlg& d) { SetField(d, "guessA", "8"); });
  document.OnBayesEstimation();
  EXPECT_EQ(ProgramRecords().ipl.guessA, 8.0f);

  prompts.onDialog = AcceptWith<CDistanceWeightingDlg>(
      [](CDistanceWeightingDlg& d) { Radio(d, "scheme_0")->setChecked(true); });
  document.OnDistanceWeighting();
  EXPECT_EQ(ProgramRecords().ipl.dwScheme, 1);

  prompts.onDialog = AcceptWith<CFitDlg>([](CFitDlg& d) { SetField(d, "initialB2", "900"); });
  document.OnFitting();
  EXPECT_EQ(ProgramRecords().fvar.initial[1], 900.0f);

  EXPECT_EQ(prompts.messages, std::vector<std::string>(5, kNoName));
  EXPECT_TRUE(EngineCalls().empty());
  EXPECT_EQ(document.displayMode(), 0);  // nothing was computed, nothing to plot
  EXPECT_TRUE(document.isModified());
}

TEST_F(DocumentTest, DialogsOpenWithRecordValuesAndTheirFixedStates) {
  SaveAs("SITE1.mnx");
  auto& r = ProgramRecords();
  r.svar.logTransform = 1;
  r.svar.subtract = 1;
  r.fvar.bestFit = 0;
  r.fvar.model = 3;
  r.ipl.krigModel = 5;
  r.ipl.bayesModel = 6;
  r.ipl.scaleGuess = 1;
  r.ipl.dwScheme = 2;
  const project::Records before = r;

  std::vector<std::string> seen;
  prompts.onDialog = [&](QDialog& dialog) {
    seen.push_back(dialog.windowTitle().toStdString());
    // The log transform is the project's; "Subtract Values" always opens clear.
    if (auto* check = dialog.findChild<QCheckBox*>("logTransform")) {
      EXPECT_TRUE(check->isChecked());
    }
    if (auto* check = dialog.findChild<QCheckBox*>("subtract")) {
      EXPECT_FALSE(check->isChecked());
    }
    if (auto* best = dialog.findChild<QCheckBox*>("bestFit")) {
      EXPECT_TRUE(best->isChecked());
    }
    if (dialog.findChild<QRadioButton*>("runMode_0") != nullptr) {
      EXPECT_EQ(Checked(dialog, "runMode"), std::vector<int>{0});
      EXPECT_EQ(Field(dialog, "lstFile")->text(), "SITE1.lst");
      EXPECT_EQ(Field(dialog, "levFile")->text(), "SITE1.lev");
    }
    if (auto* fit = dynamic_cast<CFitDlg*>(&dialog)) {
      EXPECT_EQ(Checked(*fit, "model"), std::vector<int>{2});
      EXPECT_EQ(Field(*fit, "solFile")->text(), "SITE1.sol");
    }
    if (dynamic_cast<CKrigingDlg*>(&dialog)) {
      EXPECT_EQ(Checked(dialog, "model"), std::vector<int>{4});
    }
    if (dynamic_cast<CBayesDlg*>(&dialog)) {
      EXPECT_EQ(Checked(dialog, "model"), std::vector<int>{5});
      EXPECT_EQ(Checked(dialog, "scale"), std::vector<int>{1});
    }
    if (dynamic_cast<CDistanceWeightingDlg*>(&dialog)) {
      EXPECT_EQ(Checked(dialog, "scheme"), std::vector<int>{1});
    }
    return static_cast<int>(QDialog::Rejected);
  };
  document.OnComputation();
  document.OnFitting();
  document.OnDistanceWeighting();
  document.OnKriging();
  document.OnBayesEstimation();
  EXPECT_EQ(seen, (std::vector<std::string>{"Semi Variogram", "Fit Semi Variogram",
                                            "Distance Weighting Interpolation", "Kriging",
                                            "Bayesian Estimates"}));
  // Cancel changes nothing and calls nothing.
  EXPECT_EQ(std::memcmp(&before, &r, sizeof r), 0);
  EXPECT_TRUE(EngineCalls().empty());
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(DocumentTest, CommandsCallTheLibraryWithTheirTaskMethodAndMode) {
  SaveAs("SITE1.mnx");
  prompts.onDialog = AcceptWith<CSemiVariogramDlg>();
  document.OnComputation();
  prompts.onDialog = AcceptWith<CFitDlg>();
  document.OnFitting();
  // The recorder writes no result: the plot stays on the data map.
  EXPECT_EQ(document.displayMode(), 3);
  prompts.onDialog = AcceptWith<CDistanceWeightingDlg>();
  document.OnDistanceWeighting();
  prompts.onDialog =
      AcceptWith<CKrigingDlg>([](CKrigingDlg& d) { Radio(d, "runMode_1")->setChecked(true); });
  document.OnKriging();
  prompts.onDialog = AcceptWith<CBayesDlg>([](CBayesDlg& d) {
    Radio(d, "model_4")->setChecked(true);
    SetField(d, "points", "11");
  });
  document.OnBayesEstimation();
  EXPECT_EQ(document.displayMode(), 3);  // interpolation leaves the plot alone

  const auto& calls = EngineCalls();
  ASSERT_EQ(calls.size(), 5u);
  // The run mode chosen for kriging is the project's until changed again.
  const int expected[5][3] = {{1, 0, 0}, {2, 0, 0}, {3, 1, 1}, {3, 2, 2}, {3, 3, 2}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(calls[i].task, expected[i][0]) << i;
    EXPECT_EQ(calls[i].method, expected[i][1]) << i;
    EXPECT_EQ(calls[i].mode, expected[i][2]) << i;
    EXPECT_EQ(calls[i].fileName.nameLength, 5);
    EXPECT_STREQ(calls[i].fileName.name, "SITE1.mnx");
  }
  EXPECT_EQ(calls[1].fvar.bestFit, 1);  // the fit dialog always opens checked
  EXPECT_EQ(calls[4].ipl.bayesModel, 5);
  EXPECT_EQ(calls[4].ipl.bayesPoints, 11);
  EXPECT_EQ(calls[3].ipl.krigModel, 2);  // the defaults went through unchanged
  EXPECT_EQ(calls[3].ipl.sill, 1107.0f);
}

TEST_F(DocumentTest, SaveAndOpenRoundTripTheThirtyNineValues) {
  FillDistinct(ProgramRecords());
  const project::Records saved = ProgramRecords();
  std::filesystem::create_directory(folder.path() / "site");
  ASSERT_TRUE(document.OnSaveDocument(InFolder(folder, "site/SITE1.mnx")));

  QFile file(InFolder(folder, "site/SITE1.mnx"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), ExpectedDocument(saved));
  EXPECT_EQ(document.displayMode(), 3);
  EXPECT_FALSE(document.isModified());

  document.OnNewDocument();
  EXPECT_EQ(ProgramRecords().fileName.nameLength, 0);
  EXPECT_EQ(ProgramRecords().ipl.krigPoints, 6);
  EXPECT_EQ(document.displayMode(), 0);  // after File > New nothing is plotted

  QDir::setCurrent(QString::fromStdString(folder.path().string()));
  ASSERT_TRUE(document.OnOpenDocument("site/SITE1.mnx"));
  const project::Records& loaded = ProgramRecords();
  EXPECT_EQ(std::memcmp(&loaded.svar, &saved.svar, sizeof saved.svar), 0);
  EXPECT_EQ(std::memcmp(&loaded.fvar, &saved.fvar, sizeof saved.fvar), 0);
  EXPECT_EQ(std::memcmp(&loaded.ipl, &saved.ipl, sizeof saved.ipl), 0);
  EXPECT_EQ(loaded.fileName.nameLength, 5);
  EXPECT_STREQ(loaded.fileName.name, "SITE1.mnx");
  EXPECT_EQ(ProgramFiles()[project::kDfl], "SITE1.dfl");
  EXPECT_EQ(ProgramFiles()[project::kWl], "SITE1.wl");
  EXPECT_EQ(document.displayMode(), 3);
  EXPECT_EQ(document.title(), "SITE1.mnx");
  // The document's folder is the current directory: the project files are
  // found there without a folder in their names.
  EXPECT_EQ(Canonical(QDir::currentPath()), Canonical(InFolder(folder, "site")));
}

TEST_F(DocumentTest, SavingMakesTheDocumentFolderCurrent) {
  std::filesystem::create_directory(folder.path() / "elsewhere");
  ASSERT_TRUE(document.OnSaveDocument(InFolder(folder, "elsewhere/A.mnx")));
  EXPECT_EQ(Canonical(QDir::currentPath()), Canonical(InFolder(folder, "elsewhere")));
  prompts.onDialog = AcceptWith<CSemiVariogramDlg>();
  document.OnComputation();
  ASSERT_EQ(EngineCalls().size(), 1u);
  EXPECT_EQ(EngineCalls()[0].fileName.nameLength, 1);
}

TEST_F(DocumentTest, ADocumentFileOfTheWrongSizeIsRefusedWhole) {
  SaveAs("GOOD.mnx");
  FillDistinct(ProgramRecords());
  const project::Records before = ProgramRecords();
  const unsigned generation = document.plotGeneration();
  for (int size : {0, 155, 157}) {
    const std::string name = "BAD" + std::to_string(size) + ".mnx";
    folder.Write(name, std::string(static_cast<std::size_t>(size), '\x01'));
    EXPECT_FALSE(document.OnOpenDocument(InFolder(folder, name)));
  }
  EXPECT_EQ(prompts.messages.size(), 3u);
  EXPECT_NE(prompts.messages[1].find("155"), std::string::npos);
  EXPECT_EQ(std::memcmp(&before, &ProgramRecords(), sizeof before), 0);
  EXPECT_EQ(ProgramFiles()[project::kDfl], "GOOD.dfl");
  EXPECT_EQ(document.plotGeneration(), generation);
  EXPECT_FALSE(document.OnOpenDocument(InFolder(folder, "MISSING.mnx")));
  EXPECT_EQ(prompts.messages.size(), 4u);
}

TEST_F(DocumentTest, NamesTooLongForTheRecordsAreRefusedBeforeAnythingIsWritten) {
  SaveAs("SHORT.mnx");
  prompts.messages.clear();
  EXPECT_FALSE(document.OnSaveDocument(InFolder(folder, "ABCDEFGHIJKLM.mnx")));  // base 13
  EXPECT_FALSE(document.OnSaveDocument(InFolder(folder, "ABCDEFGHIJKL.mnxx")));  // 20 characters
  EXPECT_EQ(prompts.messages.size(), 2u);
  EXPECT_FALSE(folder.Exists("ABCDEFGHIJKLM.mnx"));
  EXPECT_EQ(ProgramRecords().fileName.nameLength, 5);
  EXPECT_STREQ(ProgramRecords().fileName.name, "SHORT.mnx");
  SaveAs("ABCDEFGHIJKL.mnx");  // twelve characters fit
  EXPECT_EQ(ProgramRecords().fileName.nameLength, 12);
}

TEST_F(DocumentTest, FileViewerShowsProjectFiles) {
  document.OnShowFile(1);
  EXPECT_TRUE(document.fileViewer().isVisible());
  EXPECT_EQ(prompts.messages, std::vector<std::string>{kNoName});

  SaveAs("SITE1.mnx");
  folder.Write("SITE1.dfl", "title\n1\n0 0 1\n");
  folder.Write("SITE1.lev", "1.5\n");
  document.OnShowFile(1);
  EXPECT_EQ(document.fileViewer().FileName(), "SITE1.dfl");
  EXPECT_EQ(document.fileViewer().Lines(), (QStringList{"title ", "1 ", "0 0 1 "}));
  document.OnShowFile(7);
  EXPECT_EQ(document.fileViewer().Lines(), QStringList{"1.5 "});
  document.OnShowFile(0);  // "Another FIles": the user types a name
  EXPECT_TRUE(document.fileViewer().Lines().isEmpty());
  EXPECT_TRUE(document.fileViewer().FileName().isEmpty());
  EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(DocumentTest, RunModeAndLogTransformAreRememberedPerProject) {
  SaveAs("A.mnx");
  prompts.onDialog = AcceptWith<CKrigingDlg>([](CKrigingDlg& d) {
    EXPECT_EQ(Checked(d, "runMode"), std::vector<int>{0});  // a new project: error analysis
    Radio(d, "runMode_1")->setChecked(true);
    d.findChild<QCheckBox*>("logTransform")->setChecked(true);
  });
  document.OnKriging();
  ASSERT_TRUE(document.OnSaveDocument(InFolder(folder, "A.mnx")));
  SaveAs("B.mnx");  // a copy of the project keeps the choice
  EXPECT_EQ(document.runMode(), kInterpolationMode);

  document.OnNewDocument();
  EXPECT_EQ(document.runMode(), kErrorAnalysisMode);
  ASSERT_TRUE(document.OnOpenDocument(InFolder(folder, "A.mnx")));
  std::vector<int> runModes, logs;
  prompts.onDialog = [&](QDialog& dialog) {
    runModes.push_back(Checked(dialog, "runMode").at(0));
    logs.push_back(dialog.findChild<QCheckBox*>("logTransform")->isChecked());
    return static_cast<int>(QDialog::Rejected);
  };
  document.OnBayesEstimation();
  document.OnKriging();
  EXPECT_EQ(runModes, (std::vector<int>{1, 1}));
  EXPECT_EQ(logs, (std::vector<int>{1, 1}));
}

// A second command while the library computes is ignored.
CMornaxDoc* gRunningDocument = nullptr;
int gNestedDialogs = 0;
bool gNestedRun = true;
void ReentrantEngine(int, int, int, FILENAME*, SVAR*, FVAR*, IPL*) {
  gRunningDocument->OnKriging();
  gNestedRun = gRunningDocument->RunEngine(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE);
}

TEST_F(DocumentTest, NoSecondRunWhileTheLibraryComputes) {
  CMornaxDoc busy(prompts, &ReentrantEngine, EngineRunner::Thread::kCaller);
  gRunningDocument = &busy;
  ASSERT_TRUE(busy.OnSaveDocument(InFolder(folder, "BUSY.mnx")));
  prompts.onDialog = [](QDialog& dialog) {
    ++gNestedDialogs;
    return testing::PressOk(dialog);
  };
  EXPECT_TRUE(busy.RunEngine(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE));
  EXPECT_FALSE(busy.isRunning());
  EXPECT_EQ(gNestedDialogs, 0);
  EXPECT_FALSE(gNestedRun);
}

}  // namespace
}  // namespace mornax::gui
