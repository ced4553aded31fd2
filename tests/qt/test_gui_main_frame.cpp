// The main window: the menus and toolbar, File commands through their
// actions, the recent-file list, dropped files and the save question.
#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include "gui/command_line.h"
#include "gui/main_frame.h"
#include "gui/mornax_doc.h"
#include "gui/program_records.h"
#include "qt/gui_test_support.h"
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
  CMornaxDoc document{prompts, &testing::RecordingEngine};
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, MenusToolbarAndTitle) {
  EXPECT_EQ(Texts(frame->menuBar()->actions()),
            (QStringList{"&File", "&Edit", "&View", "Semi_variogram", "Interpolation", "&Help"}));
  EXPECT_EQ(Texts(Menu("&File")->actions()),
            (QStringList{"Create New", "&New\tCtrl+N", "&Open...\tCtrl+O", "&Save\tCtrl+S",
                         "&Print...\tCtrl+P", "Print Pre&view", "P&rint Setup...", "Recent File",
                         "E&xit"}));
  EXPECT_EQ(Texts(Menu("Semi_variogram")->actions()), (QStringList{"Computaion", "Fitting"}));
  EXPECT_EQ(Texts(Menu("Interpolation")->actions()),
            (QStringList{"Distance_Weighting", "Kriging", "Bayes_Estimation"}));
  EXPECT_EQ(Texts(Menu("&View")->actions()),
            (QStringList{"&Toolbar", "&Status Bar", "Mornax FiIes"}));
  QMenu* files = frame->findChild<QMenu*>("menuMornaxFiles");
  ASSERT_NE(files, nullptr);
  EXPECT_EQ(Texts(files->actions()).size(), 8);
  EXPECT_EQ(Texts(files->actions()).last(), "Another FIles");
  for (QAction* edit : Menu("&Edit")->actions())
    EXPECT_FALSE(edit->isEnabled() && !edit->isSeparator());
  EXPECT_EQ(frame->findChild<QToolBar*>("toolBar")->actions().size(), 11);  // with separators
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
