// The fit dialog's "Initialize" button: the guesses of the .fit file (tested
// with the proposals in tests/project) stored and shown; and the fit command
// on a new document, which starts from the semivariogram.
#include <QLineEdit>
#include <QPushButton>

#include "gui/dialogs/fit_dialog.h"
#include "gui/gui_test_support.h"
#include "gui/mornax_doc.h"
#include "gui/program_records.h"
#include "support/temp_dir.h"

namespace mornax::gui {
namespace {

// Five classes, two of them empty: distances 100, 200, 400 and
// semivariances 10, 30, 50 remain.
constexpr char kFitWithEmptyClasses[] =
    "  Semi-Variogram: test data                                             \n"
    "    5\n"
    "         0.0000         0.0000\n"
    "       100.0000        10.0000\n"
    "       200.0000        30.0000\n"
    "         0.0000         0.0000\n"
    "       400.0000        50.0000\n";

// The button in the dialog: the checked model is used, the records change at
// once (Cancel keeps them) and the fields show the new values.
TEST(FitDialogInitialize, StoresGuessesAtOnceAndShowsThem) {
  testing::GuiApp();
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  CMornaxDoc document(prompts, &testing::RecordingEngine, EngineRunner::Thread::kCaller);
  document.OnNewDocument();
  ASSERT_TRUE(document.OnSaveDocument(QString::fromStdString((folder.path() / "T.mnx").string())));
  folder.Write("T.fit", kFitWithEmptyClasses);

  QString shownInitial, shownLags;
  prompts.onDialog = [&](QDialog& dialog) {
    testing::Radio(dialog, "model_5")->setChecked(true);
    dialog.findChild<QPushButton*>("initialize")->click();
    shownInitial = testing::Field(dialog, "initialB3")->text();
    shownLags = testing::Field(dialog, "lagCount")->text();
    return static_cast<int>(QDialog::Rejected);
  };
  document.OnFitting();
  EXPECT_EQ(shownInitial, "0.950000");
  EXPECT_EQ(shownLags, "3");
  const auto& records = ProgramRecords();
  EXPECT_EQ(records.fvar.model, 6);
  EXPECT_EQ(records.fvar.initial[1], 20.0f);
  EXPECT_EQ(records.svar.lagCount, 3);
  EXPECT_TRUE(testing::EngineCalls().empty());

  std::filesystem::remove(folder.path() / "T.fit");
  prompts.onDialog = [&](QDialog& dialog) {
    testing::Radio(dialog, "model_0")->setChecked(true);
    dialog.findChild<QPushButton*>("initialize")->click();
    shownInitial = testing::Field(dialog, "initialB3")->text();
    return static_cast<int>(QDialog::Rejected);
  };
  document.OnFitting();
  EXPECT_EQ(prompts.messages, std::vector<std::string>{"FIT file not found!"});
  EXPECT_EQ(records.fvar.model, 1);     // the model is stored before reading
  EXPECT_EQ(shownInitial, "0.950000");  // fields refreshed from the records
}

// OK with the nine values of a new document: the library gets a start read
// off the semivariogram, which the records keep; values typed in go as typed.
TEST(FitCommand, ANewDocumentStartsFromTheSemivariogram) {
  testing::GuiApp();
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  CMornaxDoc document(prompts, &testing::RecordingEngine, EngineRunner::Thread::kCaller);
  document.OnNewDocument();
  ASSERT_TRUE(document.OnSaveDocument(QString::fromStdString((folder.path() / "T.mnx").string())));
  folder.Write("T.fit", "t\n 5\n 100 2\n 200 4\n 300 5\n 400 5.2\n 500 5.1\n");
  prompts.onDialog = [](QDialog&) { return static_cast<int>(QDialog::Accepted); };
  testing::EngineCalls().clear();
  document.OnFitting();
  ASSERT_EQ(testing::EngineCalls().size(), 1u);
  const FVAR& fvar = testing::EngineCalls()[0].fvar;
  EXPECT_GT(fvar.initial[0], 2.0f);  // the rise above the nugget
  EXPECT_GT(fvar.initial[1], 100.0f);
  EXPECT_LT(fvar.minimum[1], fvar.initial[1]);
  EXPECT_GT(fvar.maximum[1], fvar.initial[1]);
  EXPECT_EQ(ProgramRecords().fvar.initial[1], fvar.initial[1]);

  ProgramRecords().fvar.initial[0] = 7.0f;
  document.OnFitting();
  ASSERT_EQ(testing::EngineCalls().size(), 2u);
  EXPECT_EQ(testing::EngineCalls()[1].fvar.initial[0], 7.0f);
}

}  // namespace
}  // namespace mornax::gui
