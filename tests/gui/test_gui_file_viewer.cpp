// The file viewer: lines as listed, read-only files, long lines, missing
// files, the View button, search, copy and a file of a million lines.
#include <QClipboard>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <fstream>

#include "gui/file_viewer.h"
#include "gui/gui_test_support.h"
#include "support/temp_dir.h"

namespace mornax::gui {
namespace {

class FileViewerTest : public ::testing::Test {
 protected:
  QApplication& app = testing::GuiApp();
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  CViewFilesDlg viewer{prompts};

  // A file of the test's folder as the user would name it with its path.
  QString In(const char* name) const {
    return QString::fromStdString((folder.path() / name).string());
  }
};

TEST_F(FileViewerTest, LineEndsBecomeBlanksAndALastLineWithoutOneIsKeptWhole) {
  folder.Write("A.dat", "first\n  2.50 3.75\r\nlast");
  viewer.LoadFile(In("A.dat"));
  EXPECT_EQ(viewer.Lines(), (QStringList{"first ", "  2.50 3.75 ", "last"}));
  EXPECT_EQ(viewer.FileName(), In("A.dat"));
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(FileViewerTest, ReadOnlyFilesAreListed) {
  folder.Write("R.lst", "one\ntwo\n");
  std::filesystem::permissions(folder.path() / "R.lst", std::filesystem::perms::owner_read);
  viewer.LoadFile(In("R.lst"));
  EXPECT_EQ(viewer.Lines(), (QStringList{"one ", "two "}));
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(FileViewerTest, LongLinesArriveInPiecesOfNinetyNineCharacters) {
  const std::string line(150, 'a');
  folder.Write("L.var", line + "\n");
  viewer.LoadFile(In("L.var"));
  EXPECT_EQ(viewer.Lines(), (QStringList{QString(99, 'a'), QString(51, 'a') + " "}));
}

TEST_F(FileViewerTest, MissingFilesAndEmptyNames) {
  folder.Write("A.dat", "x\n");
  viewer.LoadFile(In("A.dat"));
  viewer.LoadFile(In("NOPE.dat"));
  EXPECT_EQ(prompts.messages, std::vector<std::string>{" File Not Found!"});
  EXPECT_TRUE(viewer.Lines().isEmpty());  // the list was emptied first
  EXPECT_EQ(viewer.FileName(), In("NOPE.dat"));

  viewer.LoadFile(In("A.dat"));
  viewer.LoadFile("");
  EXPECT_TRUE(viewer.Lines().isEmpty());
  EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(FileViewerTest, ViewButtonListsTheTypedName) {
  folder.Write("ANY.txt", "typed\n");
  viewer.findChild<QLineEdit*>("fileName")->setText(In("ANY.txt"));
  viewer.findChild<QPushButton*>("view")->click();
  EXPECT_EQ(viewer.Lines(), QStringList{"typed "});
  EXPECT_EQ(viewer.windowTitle(), "View Files");
}

TEST_F(FileViewerTest, SearchFindsTheNextLineAndCopyTakesTheSelectedLines) {
  folder.Write("S.lst", "  x  y  Z\n  1  2  3.5\n  4  5  6.5\n  7  8  3.5\n");
  viewer.LoadFile(In("S.lst"));
  auto* list = viewer.findChild<QListView*>("lines");
  EXPECT_TRUE(QFontInfo(list->font()).fixedPitch());
  viewer.findChild<QLineEdit*>("find")->setText("3.5");
  viewer.FindNext();
  EXPECT_EQ(list->currentIndex().row(), 1);
  viewer.FindNext();
  EXPECT_EQ(list->currentIndex().row(), 3);
  viewer.FindNext();  // round to the top
  EXPECT_EQ(list->currentIndex().row(), 1);
  viewer.findChild<QLineEdit*>("find")->setText("Z");  // case does not matter
  viewer.FindNext();
  EXPECT_EQ(list->currentIndex().row(), 0);
  viewer.findChild<QLineEdit*>("find")->setText("9.9");
  viewer.FindNext();
  EXPECT_EQ(prompts.messages, std::vector<std::string>{" \"9.9\" not found"});

  list->selectionModel()->select(list->model()->index(2, 0), QItemSelectionModel::Select);
  list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::Select);
  viewer.findChild<QPushButton*>("copy")->click();
  EXPECT_EQ(QApplication::clipboard()->text(), "  x  y  Z \n  4  5  6.5 \n");
}

TEST_F(FileViewerTest, EnterInTheSearchFieldFindsTheNextMatchAndReloadsNothing) {
  folder.Write("S.lst", "a 1\nb 2\na 3\nb 4\na 5\n");
  viewer.LoadFile(In("S.lst"));
  viewer.show();
  auto* list = viewer.findChild<QListView*>("lines");
  auto* find = viewer.findChild<QLineEdit*>("find");
  find->setText("a");
  find->setFocus();
  // The file is renamed away: a reload would empty the list.
  std::filesystem::rename(folder.path() / "S.lst", folder.path() / "T.lst");
  for (const int row : {0, 2, 4, 0}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(find, &press);
    EXPECT_EQ(list->currentIndex().row(), row);
  }
  EXPECT_EQ(viewer.lineCount(), 5);
  EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front();
}

TEST_F(FileViewerTest, AMillionLinesOpenWithoutHoldingUpTheProgram) {
  constexpr int kLines = 1000000;
  {
    std::FILE* out = std::fopen((folder.path() / "BIG.dat").c_str(), "w");
    ASSERT_NE(out, nullptr);
    for (int i = 1; i <= kLines; ++i) {
      std::fprintf(out, "%15.5f%15.5f%15.5f%5d\n", i * 0.5, i * 0.25, i * 0.125, i % 100000);
    }
    std::fclose(out);
  }
  QElapsedTimer clock;
  clock.start();
  viewer.LoadFile(In("BIG.dat"));
  const qint64 opened = clock.elapsed();
  EXPECT_LT(opened, 250);
  EXPECT_GT(viewer.lineCount(), 0);  // the first lines are there at once
  ASSERT_TRUE(viewer.loading());

  // The rest is indexed while a 50 ms timer goes on firing.
  qint64 last = clock.elapsed(), longestGap = 0;
  QTimer ticker;
  ticker.callOnTimeout([&] {
    longestGap = std::max(longestGap, clock.elapsed() - last);
    last = clock.elapsed();
  });
  ticker.start(50);
  while (viewer.loading()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_LT(longestGap, 200);
  EXPECT_EQ(viewer.lineCount(), kLines);
  EXPECT_TRUE(prompts.messages.empty());

  viewer.findChild<QLineEdit*>("find")->setText("499999.50000");
  viewer.FindNext();
  EXPECT_EQ(viewer.findChild<QListView*>("lines")->currentIndex().row(), 999998);
}

}  // namespace
}  // namespace mornax::gui
