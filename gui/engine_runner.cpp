#include "gui/engine_runner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

namespace mornax::gui {

EngineRunner::EngineRunner(Thread thread, QObject* parent) : QObject(parent), thread_(thread) {}

EngineRunner::~EngineRunner() {
  if (worker_ == nullptr) return;
  // The call may be waiting for the interface thread (a message box): keep
  // answering while it finishes.
  while (!worker_->wait(10)) QCoreApplication::processEvents();
  delete worker_;
}

bool EngineRunner::Start(std::function<void()> call) {
  if (running_) return false;
  running_ = true;
  if (thread_ == Thread::kCaller) {
    call();
    Finish();
    return true;
  }
  worker_ = QThread::create(std::move(call));
  worker_->setObjectName("mornax-engine");
  // Queued to this object's thread: the run's own queued lines and message
  // boxes, posted earlier, are handled before its end.
  connect(worker_, &QThread::finished, this, &EngineRunner::Finish, Qt::QueuedConnection);
  worker_->start();
  return true;
}

void EngineRunner::Finish() {
  if (worker_ != nullptr) {
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
  }
  running_ = false;
  emit finished();
}

void EngineRunner::WaitForFinished() {
  if (!running_) return;
  QEventLoop loop;
  connect(this, &EngineRunner::finished, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace mornax::gui
