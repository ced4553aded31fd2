// The main window: the menus and toolbar, File commands through their
// actions, the recent-file list, dropped files and the save question.
#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinterInfo>
#include <QSettings>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include "gui/command_line.h"
#include "gui/gui_test_support.h"
#include "gui/main_frame.h"
#include "gui/mornax_doc.h"
#include "gui/new_from_data.h"
#include "gui/program_records.h"
#include "support/temp_dir.h"

namespace mornax::gui {
namespace {

QStringList Texts(const QList<QAction*>& actions) {
  QStringList texts;
  for (const QAction* action : actions) {
    if (!action->isSeparator() && action->isVisible()) texts << action->text();
  }
  return texts;
}

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Keep the recent-file list of the tests away from the user's settings.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(folder.path().string()));
    QSettings().clear();
    document.OnNewDocument();
    frame = std::make_unique<CMainFrame>(document);
  }

  QString Path(const std::string& name) const {
    return QString::fromStdString((folder.path() / name).string());
  }
  void Trigger(const char* action) {
    QAction* found = frame->findChild<QAction*>(action);
    ASSERT_NE(found, nullptr) << action;
    found->trigger();
  }
  QMenu* Menu(const QString& title) {
    for (QAction* action : frame->menuBar()->actions()) {
      if (action->text() == title) return action->menu();
    }
    ADD_FAILURE() << title.toStdString();
    return nullptr;
  }

  QApplication& app = testing::GuiApp();
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  CMornaxDoc document{prompts, &testing::RecordingEngine, EngineRunner::Thread::kCaller};
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, MenusToolbarAndTitle) {
  EXPECT_EQ(Texts(frame->menuBar()->actions()),
            (QStringList{"&File", "&Edit", "&View", "Semi_variogram", "Interpolation", "&Help"}));
  EXPECT_EQ(Texts(Menu("&File")->actions()),
            (QStringList{"Create New", "&New\tCtrl+N", "New from &Data File...", "&Open...\tCtrl+O",
                         "&Save\tCtrl+S", "Export &Picture...", "&Import Points...", "&Grid...",
                         "Coordinate S&ystem...", "&Print...\tCtrl+P", "Print Pre&view",
                         "P&rint Setup...", "Recent File", "E&xit"}));
  EXPECT_EQ(
      Texts(Menu("Semi_variogram")->actions()),
      (QStringList{"Computaion", "Fitting", "Shape Model...", "Directions and Variogram Map..."}));
  EXPECT_EQ(Texts(Menu("Interpolation")->actions()),
            (QStringList{"Distance_Weighting", "Kriging", "Bayes_Estimation"}));
  EXPECT_EQ(Texts(Menu("&View")->actions()),
            (QStringList{"&Toolbar", "&Status Bar", "Mornax FiIes", "Result &Map"}));
  QMenu* files = frame->findChild<QMenu*>("menuMornaxFiles");
  ASSERT_NE(files, nullptr);
  EXPECT_EQ(Texts(files->actions()).size(), 8);
  EXPECT_EQ(Texts(files->actions()).last(), "Another FIles");
  // Only Copy (the plot as a picture) has a handler.
  for (QAction* edit : Menu("&Edit")->actions()) {
    const bool copy = edit->objectName() == "actionCopy";
    EXPECT_EQ(edit->isEnabled() && !edit->isSeparator(), copy) << edit->text().toStdString();
  }
  EXPECT_EQ(frame->findChild<QToolBar*>("toolBar")->actions().size(), 13);  // with separators
  EXPECT_EQ(frame->windowTitle(), "Mornax[*] - mornax");
}

TEST_F(MainFrameTest, CreateNewSavesUnderTheChosenNameAndOpenReadsItBack) {
  ProgramRecords().ipl.krigPoints = 13;
  prompts.saveName = Path("SITE1.mnx");
  Trigger("actionCreateNew");
  EXPECT_TRUE(folder.Exists("SITE1.mnx"));
  EXPECT_EQ(document.displayMode(), 3);
  EXPECT_EQ(frame->windowTitle(), "SITE1.mnx[*] - mornax");

  Trigger("actionNew");
  EXPECT_EQ(ProgramRecords().ipl.krigPoints, 6);
  EXPECT_EQ(document.displayMode(), 0);

  QDir::setCurrent("/");
  prompts.openName = Path("SITE1.mnx");
  Trigger("actionOpen");
  EXPECT_EQ(ProgramRecords().ipl.krigPoints, 13);
  EXPECT_EQ(ProgramRecords().fileName.nameLength, 5);
  EXPECT_EQ(QDir::current().canonicalPath(),
            QDir(QString::fromStdString(folder.path().string())).canonicalPath());
  EXPECT_EQ(frame->recentFiles().front(), QFileInfo(Path("SITE1.mnx")).absoluteFilePath());
}

TEST_F(MainFrameTest, SaveAsksForANameOnlyOnce) {
  prompts.saveName = Path("A.mnx");
  Trigger("actionSave");
  ASSERT_TRUE(folder.Exists("A.mnx"));
  prompts.saveName = Path("B.mnx");
  ProgramRecords().svar.lagCount = 3;
  Trigger("actionSave");  // saves under its own name
  EXPECT_FALSE(folder.Exists("B.mnx"));
  EXPECT_EQ(folder.Read("A.mnx").substr(8, 1), std::string(1, '\x03'));
}

TEST_F(MainFrameTest, AModifiedDocumentAsksBeforeItIsReplaced) {
  prompts.saveName = Path("M.mnx");
  Trigger("actionCreateNew");
  document.SetModified(true);
  prompts.saveAnswer = UserPrompts::SaveAnswer::kCancel;
  Trigger("actionNew");
  EXPECT_EQ(prompts.saveQuestions, 1);
  EXPECT_EQ(ProgramRecords().fileName.nameLength, 1);  // still M.mnx

  prompts.saveAnswer = UserPrompts::SaveAnswer::kDiscard;
  Trigger("actionNew");
  EXPECT_EQ(ProgramRecords().fileName.nameLength, 0);
  EXPECT_FALSE(document.isModified());
}

TEST_F(MainFrameTest, RecentFilesKeepTheLastFour) {
  for (const char* name : {"A.mnx", "B.mnx", "C.mnx", "D.mnx", "E.mnx"}) {
    prompts.saveName = Path(name);
    Trigger("actionCreateNew");
  }
  const QStringList recent = frame->recentFiles();
  ASSERT_EQ(recent.size(), 4);
  EXPECT_TRUE(recent[0].endsWith("E.mnx"));
  EXPECT_TRUE(recent[3].endsWith("B.mnx"));
  EXPECT_FALSE(frame->findChild<QAction*>("actionRecentFile")->isVisible());
  QAction* second = frame->findChild<QAction*>("actionRecent2");
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(second->text().startsWith("&2 "));
  second->trigger();
  EXPECT_STREQ(ProgramRecords().fileName.name, "D.mnx");
  EXPECT_TRUE(frame->recentFiles()[0].endsWith("D.mnx"));
}

TEST_F(MainFrameTest, DocumentsThatAreGoneLeaveTheRecentList) {
  for (const char* name : {"A.mnx", "B.mnx", "C.mnx"}) {
    prompts.saveName = Path(name);
    Trigger("actionCreateNew");
  }
  std::filesystem::remove(folder.path() / "B.mnx");
  emit Menu("&File")->aboutToShow();
  const QStringList recent = frame->recentFiles();
  ASSERT_EQ(recent.size(), 2);
  EXPECT_TRUE(recent[0].endsWith("C.mnx"));
  EXPECT_TRUE(recent[1].endsWith("A.mnx"));
  EXPECT_FALSE(frame->findChild<QAction*>("actionRecent3")->isVisible());
  // Gone while the menu was open: opening fails with a message and the entry goes.
  std::filesystem::remove(folder.path() / "A.mnx");
  frame->findChild<QAction*>("actionRecent2")->trigger();
  EXPECT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(frame->recentFiles().size(), 1);
}

TEST_F(MainFrameTest, NewFromDataFileCopiesAnyDataFileBesideTheNewDocument) {
  std::filesystem::create_directories(folder.path() / "raw data");
  std::filesystem::create_directories(folder.path() / "projects");
  folder.Write("raw data/Well levels 2019.txt", "Wells\n1\n0 0 1\n0\n");
  prompts.dataName = Path("raw data/Well levels 2019.txt");
  prompts.textAnswers = {"much too long a name", "WELLS"};
  prompts.saveName = Path("projects/WELLS.mnx");
  Trigger("actionNewFromData");
  ASSERT_EQ(prompts.offered.size(), 2u);
  EXPECT_EQ(prompts.offered[0], "Welllevels20");  // 12 characters from the file name
  EXPECT_EQ(prompts.messages.size(), 1u);         // the long name was refused
  EXPECT_EQ(folder.Read("projects/WELLS.dfl"), "Wells\n1\n0 0 1\n0\n");
  EXPECT_TRUE(folder.Exists("projects/WELLS.mnx"));
  EXPECT_STREQ(ProgramRecords().fileName.name, "WELLS.mnx");
  EXPECT_EQ(document.displayMode(), 3);
  EXPECT_TRUE(frame->recentFiles().front().endsWith("projects/WELLS.mnx"));

  // An existing data file of that name is replaced only when the user agrees.
  folder.Write("projects/WELLS.dfl", "older data\n");
  prompts.textAnswers = {"WELLS"};
  prompts.yesAnswer = false;
  Trigger("actionNewFromData");
  EXPECT_EQ(prompts.questions.size(), 1u);
  EXPECT_EQ(folder.Read("projects/WELLS.dfl"), "older data\n");
  prompts.textAnswers = {"WELLS"};
  prompts.yesAnswer = true;
  Trigger("actionNewFromData");
  EXPECT_EQ(folder.Read("projects/WELLS.dfl"), "Wells\n1\n0 0 1\n0\n");

  EXPECT_EQ(OfferedProjectName("/x/-.dfl"), "-");
  EXPECT_EQ(OfferedProjectName("/x/%%%.txt"), "PROJECT");
  EXPECT_FALSE(ProjectNameProblem("A b").isEmpty());
  EXPECT_TRUE(ProjectNameProblem("SITE_1-b").isEmpty());
}

TEST_F(MainFrameTest, PrintingWithoutThePrinterReportsItAndFails) {
  if (!QPrinterInfo::availablePrinterNames().isEmpty()) GTEST_SKIP() << "a printer is installed";
  EXPECT_FALSE(frame->PrintDirect());
  EXPECT_FALSE(frame->PrintDirect("Office"));
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[0], "No printer is installed: Mornax was not printed.");
  EXPECT_EQ(prompts.messages[1], "There is no printer Office: Mornax was not printed.");
}

TEST_F(MainFrameTest, ADroppedFileIsOpened) {
  prompts.saveName = Path("DROP.mnx");
  Trigger("actionCreateNew");
  Trigger("actionNew");
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(Path("DROP.mnx"))});
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(frame.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QCoreApplication::sendEvent(frame.get(), &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_STREQ(ProgramRecords().fileName.name, "DROP.mnx");
}

TEST_F(MainFrameTest, HelpTopicsShowTheGuide) {
  Trigger("actionHelpTopics");
  auto* guide = frame->findChild<QTextBrowser*>("guide");
  ASSERT_NE(guide, nullptr);
  EXPECT_TRUE(guide->isVisible());
  EXPECT_TRUE(guide->toPlainText().contains("Semi_variogram > Computaion"));
}

TEST_F(MainFrameTest, AboutBox) {
  QString title;
  prompts.onDialog = [&title](QDialog& dialog) {
    title = dialog.windowTitle();
    return static_cast<int>(QDialog::Accepted);
  };
  Trigger("actionAbout");
  EXPECT_EQ(title, "About mornax");
}

TEST(CommandLineTest, DocumentsAndPrintVerbs) {
  using Action = CommandLine::Action;
  EXPECT_EQ(ParseCommandLine({"mornax"}).action, Action::kNew);
  const CommandLine open = ParseCommandLine({"mornax", "/home/x/SITE1.mnx"});
  EXPECT_EQ(open.action, Action::kOpen);
  EXPECT_EQ(open.fileName, "/home/x/SITE1.mnx");
  const CommandLine print = ParseCommandLine({"mornax", "/p", "SITE1.mnx"});
  EXPECT_EQ(print.action, Action::kPrint);
  EXPECT_EQ(print.fileName, "SITE1.mnx");
  EXPECT_TRUE(print.printerName.isEmpty());
  const CommandLine printTo =
      ParseCommandLine({"mornax", "-PT", "SITE1.mnx", "Office", "driver", "port"});
  EXPECT_EQ(printTo.action, Action::kPrintTo);
  EXPECT_EQ(printTo.printerName, "Office");
  EXPECT_EQ(ParseCommandLine({"mornax", "/dde"}).action, Action::kNew);
  EXPECT_EQ(ParseCommandLine({"mornax", "/p"}).action, Action::kNew);  // nothing to print
}

}  // namespace
}  // namespace mornax::gui
