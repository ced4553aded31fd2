// The program end to end: projects opened and saved through the window's
// commands, the semivariogram and the fit computed by the library with the
// dialogs accepted as a user would, the result files and the plot.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#include <fstream>
#include <sstream>

#include "gui/dialogs/fit_dialog.h"
#include "gui/dialogs/semivariogram_dialog.h"
#include "gui/gui_test_support.h"
#include "gui/main_frame.h"
#include "gui/mornax_doc.h"
#include "gui/mornax_view.h"
#include "support/temp_dir.h"

namespace mornax::gui {
namespace {

using testing::AcceptWith;
using testing::SetField;

// The library's message boxes run their own event loop; close each one and
// keep its text.
class MessageBoxCloser {
 public:
  MessageBoxCloser() {
    timer_.callOnTimeout([this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts.push_back(box->text().toStdString());
        box->done(QMessageBox::Ok);
      }
    });
    timer_.start(20);
  }
  std::vector<std::string> texts;

 private:
  QTimer timer_;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(folder.path().string()));
    document.OnNewDocument();
  }

  QString Path(const std::string& name) const {
    return QString::fromStdString((folder.path() / name).string());
  }
  // Triggers the command and waits for the computation it may start.
  void Trigger(const char* name) {
    frame.findChild<QAction*>(name)->trigger();
    document.WaitForRun();
  }
  // Paints the view as the screen would and lets a report come up.
  void Repaint() {
    frame.view().grab();
    QCoreApplication::processEvents();
  }
  void Screenshot(const char* name) {
    const QString dir = qEnvironmentVariable("MORNAX_SCREENSHOT_DIR");
    if (!dir.isEmpty()) frame.grab().save(dir + "/" + name);
  }

  QApplication& app = testing::GuiApp();
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  CMornaxDoc document{prompts};  // the computation library itself
  CMainFrame frame{document};
  MessageBoxCloser closer;
};

// Three points (0,0,1), (3,0,3), (0,4,5): pair distances 3, 4 and 5 with
// semivariances 2, 8 and 2; with lag 1 they fall into classes 3, 4 and 5.
TEST_F(EndToEndTest, SemivariogramAndFitOfAHandMadeProject) {
  folder.Write("WELLS.dfl", "Three wells\n3\n0 0 1\n3 0 3\n0 4 5\n0\n");
  prompts.saveName = Path("WELLS.mnx");
  Trigger("actionCreateNew");
  ASSERT_EQ(document.displayMode(), 3);
  frame.resize(800, 600);
  Repaint();
  EXPECT_TRUE(prompts.messages.empty());

  prompts.onDialog = AcceptWith<CSemiVariogramDlg>([](CSemiVariogramDlg& d) {
    EXPECT_EQ(testing::Field(d, "dataFile")->text(), "WELLS.dfl");
    SetField(d, "lagDistance", "1");
    SetField(d, "lagCount", "5");
    SetField(d, "tolerance", "360");
    SetField(d, "direction", "0");
  });
  Trigger("actionComputation");
  EXPECT_EQ(document.displayMode(), 1);
  // The library itself wrote the semivariogram's files.
  ASSERT_TRUE(folder.Exists("WELLS.fit"));
  ASSERT_TRUE(folder.Exists("WELLS.var"));
  EXPECT_TRUE(closer.texts.empty()) << closer.texts.front();
  Repaint();
  EXPECT_TRUE(prompts.messages.empty());

  prompts.onDialog = AcceptWith<CFitDlg>([](CFitDlg& d) {
    testing::Radio(d, "model_1")->setChecked(true);
    d.findChild<QPushButton*>("initialize")->click();
    EXPECT_EQ(testing::Field(d, "lagCount")->text(), "3");
    EXPECT_EQ(testing::Field(d, "initialB1")->text(), "8.000000");
    EXPECT_EQ(testing::Field(d, "initialB2")->text(), "5.000000");
    d.findChild<QCheckBox*>("bestFit")->setChecked(false);
  });
  Trigger("actionFitting");
  EXPECT_EQ(document.displayMode(), 2);
  EXPECT_TRUE(closer.texts.empty()) << closer.texts.front();

  const std::string title = " Semi-Variogram: Three wells";
  const std::string heading = " " + title + std::string(72 - title.size(), ' ');
  EXPECT_EQ(folder.Read("WELLS.fit"), heading + "\n" +
                                          "     5\n"
                                          "         0.0000         0.0000\n"
                                          "         0.0000         0.0000\n"
                                          "         3.0000         2.0000\n"
                                          "         4.0000         8.0000\n"
                                          "         5.0000         2.0000\n");
  EXPECT_EQ(folder.Read("WELLS.var"), heading + "\n" +
                                          "     AVERAGE =    3.00000\n"
                                          "     VARIANCE = 0.26667E+01\n"
                                          "     NUMBER OF DATA POINTS =     3\n"
                                          "\n"
                                          "     DIRECTION TOLERANCE =    360.0 degrees\n"
                                          "     STEP SIZE =      1.0 meters\n"
                                          "     DIRECTION =       0. degrees\n"
                                          "\n"
                                          "   LAG    #points     DISTANCE          1/2 VARIO\n"
                                          "     1       0            0.00             0.0000\n"
                                          "     2       0            0.00             0.0000\n"
                                          "     3       1            3.00             2.0000\n"
                                          "     4       1            4.00             8.0000\n"
                                          "     5       1            5.00             2.0000\n");

  ASSERT_TRUE(folder.Exists("WELLS.sol"));
  const auto sol = Lines(folder.Read("WELLS.sol"));
  ASSERT_EQ(sol.size(), 11u);
  // distance and observed semivariance of the three classes fitted
  EXPECT_EQ(sol[8].substr(0, 20), "     3.000     2.000");
  EXPECT_EQ(sol[9].substr(0, 20), "     4.000     8.000");
  EXPECT_EQ(sol[10].substr(0, 20), "     5.000     2.000");
  Repaint();
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(EndToEndTest, TheExampleProject) {
  const std::filesystem::path example =
      std::filesystem::path(MORNAX_SOURCE_DIR) / "examples" / "site1";
  ASSERT_TRUE(std::filesystem::exists(example / "SITE1.mnx")) << example;
  for (const char* name : {"SITE1.mnx", "SITE1.dfl"}) {
    std::filesystem::copy_file(example / name, folder.path() / name);
  }
  frame.resize(900, 650);
  prompts.openName = Path("SITE1.mnx");
  Trigger("actionOpen");
  ASSERT_EQ(document.displayMode(), 3);
  Repaint();
  EXPECT_TRUE(prompts.messages.empty());  // the data map is drawn
  Screenshot("main-window-map.png");

  prompts.onDialog = AcceptWith<CSemiVariogramDlg>();
  Trigger("actionComputation");
  EXPECT_EQ(document.displayMode(), 1);
  prompts.onDialog = AcceptWith<CFitDlg>();
  Trigger("actionFitting");
  EXPECT_EQ(document.displayMode(), 2);
  ASSERT_TRUE(folder.Exists("SITE1.var"));
  ASSERT_TRUE(folder.Exists("SITE1.fit"));
  ASSERT_TRUE(folder.Exists("SITE1.sol"));
  Repaint();
  EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front();
  EXPECT_TRUE(closer.texts.empty()) << closer.texts.front();
  Screenshot("main-window-fit.png");
}

}  // namespace
}  // namespace mornax::gui
