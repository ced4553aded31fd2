// mornaxDLL in a widget application: one progress window for the process,
// reused by every call, and no second run inside a running one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <vector>

#include "api/mornax.h"

namespace {

QWidget* FindProgressWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->windowTitle() == "Progress Report") return widget;
  }
  return nullptr;
}

std::vector<std::string> ListedLines(const QWidget& window) {
  std::vector<std::string> lines;
  const auto* list = window.findChild<QListWidget*>();
  if (list == nullptr) return lines;
  for (int row = 0; row < list->count(); ++row)
    lines.push_back(list->item(row)->text().toStdString());
  return lines;
}

// Dismisses every message box that comes up and records its text. It waits a
// little, so that zero-delay timers queued before a box run while it is up.
class BoxAnswerer {
 public:
  BoxAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      if (box == last_) {
        box->hide();  // the click did not close it; end its loop anyway
        return;
      }
      last_ = box;
      texts.push_back(box->text().toStdString());
      box->button(QMessageBox::Ok)->click();
    });
    timer_.start(50);
  }
  std::vector<std::string> texts;

 private:
  QTimer timer_;
  QPointer<QMessageBox> last_;
};

TEST(MnxdllWindow, OneWindowForAllCallsAndNoRunInsideARun) {
  int argc = 1;
  char name[] = "test_mnxdll_window";
  char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  QPointer<QWidget> firstWindow;
  std::vector<std::string> firstLines;
  std::vector<std::string> secondLines;
  std::vector<std::string> boxes;
  bool secondIsSameWindow = false;

  QTimer::singleShot(0, &app, [&] {
    BoxAnswerer answerer;
    // Null records make the entry show a message box; while it is up, the
    // event loop runs and a timer tries to start a second computation.
    QTimer::singleShot(0, [] {
      mornaxDLL(MNX_TASK_INTERPOLATION, MNX_METHOD_KRIGING, MNX_MODE_INTERPOLATION, nullptr,
                nullptr, nullptr, nullptr);
    });
    mornaxDLL(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE, nullptr, nullptr, nullptr,
              nullptr);
    firstWindow = FindProgressWindow();
    if (firstWindow) firstLines = ListedLines(*firstWindow);

    FILENAME fileName{0, ""};
    SVAR svar{};
    FVAR fvar{};
    IPL ipl{};
    mornaxDLL(MNX_TASK_FIT, MNX_METHOD_NONE, MNX_MODE_NONE, &fileName, &svar, &fvar, &ipl);
    secondIsSameWindow = firstWindow && FindProgressWindow() == firstWindow;
    if (firstWindow) secondLines = ListedLines(*firstWindow);
    boxes = answerer.texts;
    QCoreApplication::quit();
  });
  app.exec();

  EXPECT_EQ(boxes,
            (std::vector<std::string>{"A computation is already running", "No Parameters specified",
                                      "Project name must have 1 to 12 characters"}));
  ASSERT_FALSE(firstLines.empty()) << "no progress window";
  EXPECT_EQ(firstLines, (std::vector<std::string>{"MORNAX: Start Computation",
                                                  "MORNAX: Computation Complete"}));
  EXPECT_TRUE(secondIsSameWindow);
  EXPECT_EQ(secondLines, (std::vector<std::string>{"MORNAX: Start Computation",
                                                   "MORNAX: Computation Complete"}));
  EXPECT_TRUE(firstWindow.isNull()) << "the window goes when the application quits";
}

}  // namespace
