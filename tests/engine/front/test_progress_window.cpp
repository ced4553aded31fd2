// The progress window: list rules as the user sees them, message boxes, and
// the Cancel poll with the input gate of a run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "core/messages.h"
#include "front/progress_window.h"

namespace mornax {
namespace {

// Hands an event to the queue, which takes ownership.
void Post(QObject* target, std::unique_ptr<QEvent> event) {
  QCoreApplication::postEvent(target, event.release());
}

void PostMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button) {
  const QPointF local(target->width() / 2.0, target->height() / 2.0);
  const QPointF global = target->mapToGlobal(local);
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  Post(target, std::make_unique<QMouseEvent>(type, local, global, button, held, Qt::NoModifier));
}

// A press and release, as the window system would queue them.
void PostClick(QWidget* target, Qt::MouseButton button = Qt::LeftButton) {
  PostMouse(target, QEvent::MouseButtonPress, button);
  PostMouse(target, QEvent::MouseButtonRelease, button);
}

void PostKey(QWidget* target, int key) {
  Post(target, std::make_unique<QKeyEvent>(QEvent::KeyPress, key, Qt::NoModifier));
  Post(target, std::make_unique<QKeyEvent>(QEvent::KeyRelease, key, Qt::NoModifier));
}

std::vector<std::string> Shown(const QListWidget& list) {
  std::vector<std::string> texts;
  for (int row = 0; row < list.count(); ++row)
    texts.push_back(list.item(row)->text().toStdString());
  return texts;
}

int TopRow(const QListWidget& list) {
  return list.indexAt(QPoint(1, 1)).row();
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

// Answers every message box that comes up by clicking its OK button with
// queued mouse events, the way a user would, and records the box's title and
// text. A box that ignores the click is hidden by force after a while so that
// a failing test ends; `forced` then says so.
class BoxAnswerer : public QObject {
 public:
  BoxAnswerer() {
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
    timer_.start(5);
  }

  std::vector<std::string> texts;
  std::vector<std::string> titles;
  bool forced = false;

 private:
  void Tick() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    if (box != current_) {
      current_ = box;
      attempts_ = 0;
      texts.push_back(box->text().toStdString());
      titles.push_back(box->windowTitle().toStdString());
      EXPECT_EQ(box->textFormat(), Qt::PlainText);
    }
    if (attempts_++ % 10 == 0) PostClick(box->button(QMessageBox::Ok));
    if (attempts_ > 100) {
      forced = true;
      box->hide();  // ends the box's event loop whatever the input gate does
    }
  }

  QTimer timer_;
  QPointer<QMessageBox> current_;
  int attempts_ = 0;
};

class ProgressWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.Show();
    QCoreApplication::processEvents();
  }

  QListWidget& list() { return *window_.listWidget(); }

  ProgressWindow window_;
};

TEST_F(ProgressWindowTest, ListFollowsTheLineRules) {
  window_.AddLine(kListRestart, "MORNAX: Start Computation");
  window_.AddLine(kListAppend, "first run");
  window_.AddLine(kListAppend, "MORNAX: Computation Complete");

  // A second run starts from an empty list; mode 1 replaces its last line.
  window_.AddLine(kListRestart, "MORNAX: Start Computation");
  window_.AddLine(kListAppend, "Point     1");
  window_.AddLine(kListReplaceLast, "Point     2");
  window_.AddLine(4, "no such mode");
  window_.AddLine(kListAppend, "MORNAX: Computation Complete");
  EXPECT_EQ(Shown(list()), (std::vector<std::string>{"MORNAX: Start Computation", "Point     2",
                                                     "MORNAX: Computation Complete"}));
}

TEST_F(ProgressWindowTest, CountsShowABarWithTheShareUntilTheListStartsAgain) {
  QProgressBar* bar = window_.progressBar();
  EXPECT_TRUE(bar->isHidden());
  window_.AddLine(kListRestart, "MORNAX: Start Computation");
  window_.Count(250, 1000);
  EXPECT_FALSE(bar->isHidden());
  EXPECT_EQ(bar->value() * 4, bar->maximum());
  EXPECT_TRUE(bar->format().startsWith("250 of 1,000 (25.0 %)")) << bar->format().toStdString();
  window_.Count(5, -1);  // no total: the bar stays as it was
  EXPECT_EQ(bar->value() * 4, bar->maximum());
  window_.AddLine(kListRestart, "MORNAX: Start Computation");
  EXPECT_TRUE(bar->isHidden());
}

TEST_F(ProgressWindowTest, ModeOneOnAnEmptyListBecomesItsOnlyLine) {
  window_.AddLine(kListReplaceLast, "alone");
  EXPECT_EQ(Shown(list()), std::vector<std::string>{"alone"});
  window_.AddLine(-kListReplaceLast, "still alone");
  EXPECT_EQ(Shown(list()), std::vector<std::string>{"still alone"});
}

TEST_F(ProgressWindowTest, SeventeenthLineScrollsTheNewestLineToTheTop) {
  window_.AddLine(kListRestart, "line 0");
  for (int index = 1; index <= 15; ++index)
    window_.AddLine(kListAppend, "line " + std::to_string(index));
  ASSERT_EQ(list().count(), 16);
  // Sixteen lines overflow the list but do not move it.
  EXPECT_EQ(TopRow(list()), 0);

  window_.AddLine(kListAppend, "line 16");
  EXPECT_GT(TopRow(list()), 0);
  const QRect last = list().visualItemRect(list().item(16));
  EXPECT_TRUE(list().viewport()->rect().contains(last)) << "the newest line is in view";

  window_.AddLine(kListRestart, "next run");
  EXPECT_EQ(TopRow(list()), 0);

  // Quiet lines scroll too, once the window gets to paint again.
  for (int index = 1; index <= 16; ++index)
    window_.AddLine(-kListAppend, "quiet " + std::to_string(index));
  QCoreApplication::processEvents();
  EXPECT_GT(TopRow(list()), 0);
  EXPECT_TRUE(list().viewport()->rect().contains(list().visualItemRect(list().item(16))));
}

TEST_F(ProgressWindowTest, NegativeModesChangeTheListWithoutRepainting) {
  window_.AddLine(kListRestart, "start");
  PaintCounter counter(list().viewport());

  window_.AddLine(-kListAppend, "quiet append");
  window_.AddLine(-kListReplaceLast, "quiet replace");
  EXPECT_EQ(counter.paints, 0);
  EXPECT_EQ(Shown(list()), (std::vector<std::string>{"start", "quiet replace"}));

  window_.AddLine(kListAppend, "loud append");
  EXPECT_EQ(counter.paints, 1) << "mode 2 repaints at once, without an event loop";
  window_.AddLine(kListReplaceLast, "loud replace");
  EXPECT_EQ(counter.paints, 2);
  EXPECT_EQ(Shown(list()), (std::vector<std::string>{"start", "quiet replace", "loud replace"}));
}

TEST_F(ProgressWindowTest, FullListRestartsWithTheNewestLine) {
  window_.AddLine(kListRestart, "line 0");
  const auto capacity = static_cast<int>(ProgressList::kDefaultCapacity);
  for (int index = 1; index < capacity; ++index) window_.AddLine(-kListAppend, "line");
  ASSERT_EQ(list().count(), capacity);

  window_.AddLine(kListAppend, "newest");
  EXPECT_EQ(Shown(list()), std::vector<std::string>{"newest"});
  window_.AddLine(kListAppend, "after");
  EXPECT_EQ(Shown(list()), (std::vector<std::string>{"newest", "after"}));
}

TEST_F(ProgressWindowTest, MessageBoxesShowTheExactText) {
  BoxAnswerer answerer;
  window_.AddLine(kListRestart, "start");
  ErrorMessage(window_, 5, "Hello world", 0, 5);
  ErrorMessage(window_, 20, "SITE1.dfl           ", -1, 5);
  ErrorMessage(window_, 3, "SITE1.dfl           ", 7, 5);
  window_.ShowMessage(" Allocation Error, not enough memory");
  window_.AddLine(kListMessageBox, "<b>not bold</b>");
  window_.AddLine(-kListMessageBox, "quiet box");

  EXPECT_FALSE(answerer.forced);
  EXPECT_EQ(answerer.texts,
            (std::vector<std::string>{"Hello", "End of File reached in input file : SITE1.dfl",
                                      "Data format error in input file : SITE1.dfl",
                                      " Allocation Error, not enough memory", "<b>not bold</b>",
                                      "quiet box"}));
  EXPECT_EQ(answerer.titles.front(), "mornax");
  EXPECT_EQ(Shown(list()), std::vector<std::string>{"start"}) << "boxes leave the list alone";
}

TEST_F(ProgressWindowTest, MessageBoxDuringARunReceivesTheUsersClick) {
  BoxAnswerer answerer;
  const ProgressWindow::RunScope run(window_);
  window_.ShowMessage("No Parameters specified");
  EXPECT_FALSE(answerer.forced) << "the run's input gate swallowed the click on the box";
  EXPECT_EQ(answerer.texts, std::vector<std::string>{"No Parameters specified"});
}

TEST_F(ProgressWindowTest, OkHidesTheWindowAndNothingElseCloses) {
  PostClick(window_.cancelButton());
  PostKey(&window_, Qt::Key_Escape);
  QCoreApplication::processEvents();
  EXPECT_TRUE(window_.isVisible());
  EXPECT_FALSE(window_.close());
  EXPECT_TRUE(window_.isVisible());

  PostClick(window_.okButton());
  QCoreApplication::processEvents();
  EXPECT_FALSE(window_.isVisible());

  window_.Show();
  EXPECT_TRUE(window_.isVisible());
}

TEST_F(ProgressWindowTest, WriteOutputGoesToStandardOutput) {
  ::testing::internal::CaptureStdout();
  window_.WriteOutput("zero divisor");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "zero divisor\n");
}

class CancelPollTest : public ProgressWindowTest {
 protected:
  QPushButton& cancel() { return *window_.cancelButton(); }
};

TEST_F(CancelPollTest, EachPressIsConsumedByOnePoll) {
  const ProgressWindow::RunScope run(window_);
  EXPECT_FALSE(window_.PollCancel());

  PostClick(&cancel());
  EXPECT_TRUE(window_.PollCancel());
  EXPECT_FALSE(window_.PollCancel());

  PostClick(&cancel());
  PostClick(&cancel());
  EXPECT_TRUE(window_.PollCancel());
  EXPECT_TRUE(window_.PollCancel());
  EXPECT_FALSE(window_.PollCancel());

  // A quick second click arrives as a double click; it is a press too.
  PostMouse(&cancel(), QEvent::MouseButtonPress, Qt::LeftButton);
  PostMouse(&cancel(), QEvent::MouseButtonRelease, Qt::LeftButton);
  PostMouse(&cancel(), QEvent::MouseButtonDblClick, Qt::LeftButton);
  PostMouse(&cancel(), QEvent::MouseButtonRelease, Qt::LeftButton);
  EXPECT_EQ(CheckCancel(window_), 1);
  EXPECT_EQ(CheckCancel(window_), 1);
  EXPECT_EQ(CheckCancel(window_), 0);
}

TEST_F(CancelPollTest, OnlyALeftPressOnCancelCounts) {
  const ProgressWindow::RunScope run(window_);
  PostClick(&cancel(), Qt::RightButton);
  PostClick(window_.okButton());
  PostKey(&cancel(), Qt::Key_Space);
  EXPECT_FALSE(window_.PollCancel());
  EXPECT_TRUE(window_.isVisible()) << "OK is no action during a run";
}

TEST_F(CancelPollTest, InputElsewhereHasNoEffectDuringARun) {
  QPushButton other("Start another run");
  int clicks = 0;
  QObject::connect(&other, &QPushButton::clicked, [&clicks] { ++clicks; });
  other.show();
  QCoreApplication::processEvents();

  {
    const ProgressWindow::RunScope run(window_);
    PostClick(&other);
    PostKey(&other, Qt::Key_Space);
    PostKey(&window_, Qt::Key_Return);  // would press the default button OK
    PostKey(&window_, Qt::Key_Escape);
    // A close request of a top-level window is refused.
    QTimer::singleShot(0, &other, [&other] { other.close(); });
    EXPECT_FALSE(window_.PollCancel());
    EXPECT_FALSE(window_.PollCancel());
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(other.isVisible());
    EXPECT_TRUE(window_.isVisible());
  }

  // After the run the same input acts again.
  PostClick(&other);
  QCoreApplication::processEvents();
  EXPECT_EQ(clicks, 1);
}

TEST_F(CancelPollTest, PressesLeftOverFromOneRunDoNotStopTheNext) {
  {
    const ProgressWindow::RunScope run(window_);
    PostClick(&cancel());
    QCoreApplication::processEvents();
  }
  const ProgressWindow::RunScope next(window_);
  EXPECT_FALSE(window_.PollCancel());
}

TEST_F(CancelPollTest, PressWhileAMessageBoxIsUpIsNoCancel) {
  const ProgressWindow::RunScope run(window_);
  // The box answers itself; meanwhile a press is queued for Cancel.
  QTimer::singleShot(0, &window_, [this] {
    PostClick(&cancel());
    QTimer::singleShot(20, [] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->hide();
    });
  });
  window_.ShowMessage("wait");
  EXPECT_FALSE(window_.PollCancel());
}

}  // namespace
}  // namespace mornax

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // The windows need no screen; without one a platform would not even load.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
