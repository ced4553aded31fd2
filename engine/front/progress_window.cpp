#include "front/progress_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace mornax {
namespace {

constexpr const char* kTitle = "Progress Report";
constexpr const char* kMessageTitle = "mornax";
// How long a showing window waits for the window system to put it on screen.
constexpr int kExposeWaitMs = 500;
constexpr int kBarSteps = 1000;  // the bar's resolution: a tenth of a per cent

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Everything through which a user can act on a window.
bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

bool IsClientMouse(QEvent::Type type) {
  return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
         type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove;
}

// A fast second click arrives as a double click; it is a press all the same.
bool IsLeftPress(const QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick) return false;
  return static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
}

// True when `object` is `window` itself, one of its widgets, or its native window.
bool BelongsTo(const QObject* object, const QWidget* window) {
  if (object->isWidgetType()) return static_cast<const QWidget*>(object)->window() == window;
  if (object->isWindowType()) return object == window->windowHandle();
  return false;
}

// The program's main window, which the progress window is kept above.
QWidget* MainWindowOf(const QWidget* besides) {
  QWidget* active = QApplication::activeWindow();
  if (active != nullptr && active != besides && qobject_cast<QMainWindow*>(active) != nullptr) {
    return active;
  }
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget != besides && widget->isVisible() && qobject_cast<QMainWindow*>(widget) != nullptr) {
      return widget;
    }
  }
  return nullptr;
}

// Runs `call` on the interface thread; with `wait` the calling thread blocks
// until it has run there.
template <typename Call>
void OnInterfaceThread(Call call, bool wait) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return;
  QMetaObject::invokeMethod(app, std::move(call),
                            wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

}  // namespace

bool RunInputGate::Admits(QObject* watched, QEvent* event) const {
  if (!IsUserInput(event->type())) return true;
  if (const QMessageBox* box = window_.messageBox()) return BelongsTo(watched, box);
  if (!IsClientMouse(event->type())) return false;
  // Mouse input reaches the progress window's native window, which routes it
  // on to the widget under the pointer; only the Cancel button gets it there
  // (its presses are counted before this).
  return watched == window_.cancelButton() || watched == window_.windowHandle();
}

bool RunInputGate::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_.cancelButton() && window_.messageBox() == nullptr && IsLeftPress(event)) {
    // Kept for the next poll rather than handed to the button, so that no
    // half-finished click is left behind when the run ends.
    ++pendingCancels_;
    event->accept();
    return true;
  }
  if (Admits(watched, event)) return false;
  switch (event->type()) {
    case QEvent::Close:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      // The sender must see the request refused, not merely unanswered.
      event->ignore();
      break;
    case QEvent::ShortcutOverride:
      // Claimed by nobody in particular: the key is then no shortcut, and its
      // key press is swallowed in turn.
      event->accept();
      break;
    default:
      break;
  }
  return true;
}

bool RunInputGate::ConsumeCancel() {
  if (pendingCancels_ == 0) return false;
  --pendingCancels_;
  return true;
}

bool QuitWatcher::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Quit && watched == QCoreApplication::instance() && !quitting_) {
    quitting_ = true;
    // The windows are closed while the Quit event is delivered; should one of
    // them refuse, the application lives on and the window is the user's again.
    QTimer::singleShot(0, this, [this] { quitting_ = false; });
  }
  return false;
}

ProgressWindow::ProgressWindow() : QDialog(nullptr), gate_(*this) {
  setWindowTitle(QString::fromLatin1(kTitle));
  setModal(false);
  // The window must not keep the program alive once its main window closed.
  setAttribute(Qt::WA_QuitOnClose, false);

  listWidget_ = new QListWidget(this);
  listWidget_->setSortingEnabled(false);
  listWidget_->setUniformItemSizes(true);
  listWidget_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  okButton_ = new QPushButton(tr("OK"), this);
  okButton_->setDefault(true);
  cancelButton_ = new QPushButton(tr("Cancel"), this);
  cancelButton_->setAutoDefault(false);
  // OK hides the window; Cancel only counts as a request during a run.
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, [this] {
    if (relayCancels_) relayCancels_->fetch_add(1);
  });

  // Sizes in dialog units of the window's font: a quarter of the average
  // character width across, an eighth of the line height down.
  const QFontMetrics metrics(font());
  const double unitX = metrics.averageCharWidth() / 4.0;
  const double unitY = metrics.height() / 8.0;
  const auto across = [unitX](int units) { return qRound(units * unitX); };
  const auto down = [unitY](int units) { return qRound(units * unitY); };

  okButton_->setMinimumSize(across(50), down(14));
  cancelButton_->setMinimumSize(across(50), down(14));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(okButton_);
  buttons->addStretch(1);
  buttons->addWidget(cancelButton_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(across(7), down(7), across(7), down(7));
  layout->setSpacing(down(3));
  progressBar_ = new QProgressBar(this);
  progressBar_->setRange(0, kBarSteps);
  progressBar_->setTextVisible(true);
  progressBar_->hide();

  layout->addWidget(listWidget_, 1);
  layout->addWidget(progressBar_);
  layout->addLayout(buttons);

  resize(across(402), down(156));

  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(&quitWatcher_);
}

ProgressWindow::~ProgressWindow() = default;

ProgressWindow::RunScope::RunScope(ProgressWindow& window) : window_(window) {
  if (window_.runDepth_++ > 0) return;
  window_.gate_.ResetCancels();
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(&window_.gate_);
}

ProgressWindow::RunScope::~RunScope() {
  if (--window_.runDepth_ > 0) return;
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(&window_.gate_);
}

void ProgressWindow::MirrorList() {
  const auto& lines = list_.lines();
  const auto lineCount = static_cast<int>(lines.size());
  const int shown = listWidget_->count();
  // The list changes only at its end, or starts again from one line.
  if (lineCount > 0 && shown == lineCount) {
    listWidget_->item(shown - 1)->setText(ToQString(lines.back()));
  } else if (lineCount > 0 && shown + 1 == lineCount) {
    listWidget_->addItem(ToQString(lines.back()));
  } else {
    listWidget_->clear();
    for (const auto& line : lines) listWidget_->addItem(ToQString(line));
  }
}

void ProgressWindow::ScrollToTopLine() {
  scrollPending_ = false;
  const auto top = static_cast<int>(list_.topIndex());
  if (top < listWidget_->count()) {
    listWidget_->scrollToItem(listWidget_->item(top), QAbstractItemView::PositionAtTop);
  }
}

void ProgressWindow::Count(std::int64_t done, std::int64_t total) {
  const std::optional<std::string> text = countText_.Take(done, total, CountThrottle::Clock::now());
  if (total <= 0 || !text) return;
  const double share = std::clamp(static_cast<double>(done) / static_cast<double>(total), 0.0, 1.0);
  progressBar_->setValue(static_cast<int>(share * kBarSteps));
  progressBar_->setFormat(QString::fromStdString(*text));
  progressBar_->show();
}

void ProgressWindow::AddLine(int mode, std::string_view text) {
  if (std::abs(mode) == kListRestart) progressBar_->hide();
  const ProgressList::Effect effect = list_.AddLine(mode, text);
  if (effect.showMessage) ShowMessage(text);
  if (!effect.listChanged) return;
  MirrorList();
  if (effect.scrollToLast) {
    // Scrolling lays the whole list out; a quiet line leaves that to the
    // event loop, so that many quiet lines in a row stay cheap.
    if (effect.repaint) {
      ScrollToTopLine();
    } else if (!scrollPending_) {
      scrollPending_ = true;
      QTimer::singleShot(0, this, [this] { ScrollToTopLine(); });
    }
  }
  // No event loop runs during a computation: paint now or not at all.
  if (effect.repaint) listWidget_->repaint();
}

void ProgressWindow::ShowMessage(std::string_view text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kMessageTitle), ToQString(text),
                  QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  // The run's input gate lets input through to this box while it is up.
  QMessageBox* const previous = messageBox_;
  messageBox_ = &box;
  box.exec();
  messageBox_ = previous;
}

bool ProgressWindow::PollCancel() {
  // A poll outside a run gates the events it processes all the same.
  const RunScope scope(*this);
  QCoreApplication::processEvents();
  return gate_.ConsumeCancel();
}

void ProgressWindow::WriteOutput(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void ProgressWindow::Show() {
  ShowPainted();
}

void ProgressWindow::ShowPainted() {
  // A transient window stays above its parent in every window manager.
  if (QWidget* owner = MainWindowOf(this)) {
    static_cast<void>(winId());
    static_cast<void>(owner->winId());
    if (windowHandle() != nullptr) windowHandle()->setTransientParent(owner->windowHandle());
    // First shown over the middle of the main window; later where the user left it.
    if (!placed_) move(owner->frameGeometry().center() - rect().center());
  }
  placed_ = true;
  show();
  raise();
  activateWindow();
  // A repaint before the window is on screen paints nothing; wait for it,
  // letting only the window system's own events through.
  QElapsedTimer clock;
  clock.start();
  while ((windowHandle() == nullptr || !windowHandle()->isExposed()) &&
         clock.elapsed() < kExposeWaitMs) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    QThread::msleep(2);
  }
  repaint();
}

void ProgressWindow::BeginRelayRun(std::shared_ptr<std::atomic<int>> cancels) {
  relayCancels_ = std::move(cancels);
  // The window stays up for the whole run.
  okButton_->setEnabled(false);
}

void ProgressWindow::EndRelayRun(const std::shared_ptr<std::atomic<int>>& cancels) {
  if (relayCancels_ != cancels) return;
  relayCancels_.reset();
  okButton_->setEnabled(true);
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  if (quitWatcher_.quitting()) {
    event->accept();
  } else {
    event->ignore();
  }
}

ProgressRelay::ProgressRelay(ProgressWindow* window, bool forRun)
    : window_(window), forRun_(forRun) {}

std::unique_ptr<ProgressRelay> ProgressRelay::Connect(
    const std::function<ProgressWindow*()>& windowOnInterfaceThread, int timeoutMs, bool forRun) {
  if (QCoreApplication::instance() == nullptr) return nullptr;
  // The answer outlives this call: should the interface thread answer after
  // the wait gave up, it still writes into live memory.
  struct Handshake {
    QSemaphore answered;
    QPointer<ProgressWindow> window;
  };
  const auto handshake = std::make_shared<Handshake>();
  OnInterfaceThread(
      [handshake, windowOnInterfaceThread] {
        handshake->window = windowOnInterfaceThread();
        handshake->answered.release();
      },
      false);
  if (!handshake->answered.tryAcquire(1, timeoutMs) || handshake->window.isNull()) return nullptr;

  std::unique_ptr<ProgressRelay> relay(new ProgressRelay(handshake->window.data(), forRun));
  if (!forRun) return relay;
  OnInterfaceThread(
      [window = relay->window_, cancels = relay->cancels_] {
        if (window) window->BeginRelayRun(cancels);
      },
      true);
  return relay;
}

ProgressRelay::~ProgressRelay() {
  if (!forRun_) return;
  OnInterfaceThread(
      [window = window_, cancels = cancels_] {
        if (window) window->EndRelayRun(cancels);
      },
      false);
}

void ProgressRelay::AddLine(int mode, std::string_view text) {
  if (mode == kListMessageBox || mode == -kListMessageBox) {
    ShowMessage(text);
    return;
  }
  // The interface thread's event loop paints; an immediate repaint per line
  // would only cost it time.
  const int quiet = mode > 0 ? -mode : mode;
  OnInterfaceThread(
      [window = window_, quiet, line = std::string(text)] {
        if (window) window->AddLine(quiet, line);
      },
      false);
}

void ProgressRelay::Count(std::int64_t done, std::int64_t total) {
  OnInterfaceThread(
      [window = window_, done, total] {
        if (window) window->Count(done, total);
      },
      false);
}

void ProgressRelay::ShowMessage(std::string_view text) {
  OnInterfaceThread(
      [window = window_, line = std::string(text)] {
        if (window) window->ShowMessage(line);
      },
      true);
}

bool ProgressRelay::PollCancel() {
  int pending = cancels_->load();
  while (pending > 0) {
    if (cancels_->compare_exchange_weak(pending, pending - 1)) return true;
  }
  return false;
}

void ProgressRelay::WriteOutput(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void ProgressRelay::Show() {
  OnInterfaceThread(
      [window = window_] {
        if (window) window->ShowPainted();
      },
      true);
}

}  // namespace mornax
