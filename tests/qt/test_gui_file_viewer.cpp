// The file viewer: lines as listed, read-only files, long lines, missing
// files and the View button.
#include <QLineEdit>
#include <QPushButton>

#include "gui/file_viewer.h"
#include "qt/gui_test_support.h"
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

}  // namespace
}  // namespace mornax::gui
