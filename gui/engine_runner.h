// Runs one library call off the interface thread, so that the program stays
// painted and answering while the library computes, and reports its end back
// on the interface thread.
#pragma once

#include <functional>

#include <QObject>

class QThread;

namespace mornax::gui {

class EngineRunner : public QObject {
  Q_OBJECT

 public:
  // kWorker runs the call on a thread of its own; kCaller runs it inside
  // Start (for callers that must not leave the interface thread).
  enum class Thread { kWorker, kCaller };

  explicit EngineRunner(Thread thread, QObject* parent = nullptr);
  // Waits for a call still running (it uses objects of its owner), answering
  // the interface-thread requests it makes meanwhile.
  ~EngineRunner() override;

  // Starts `call`; false (and nothing started) while another call runs.
  // `finished` comes when it has returned, on the interface thread.
  bool Start(std::function<void()> call);
  bool isRunning() const { return running_; }
  // Turns the event loop until the running call has finished.
  void WaitForFinished();

 signals:
  void finished();

 private:
  void Finish();

  Thread thread_;
  QThread* worker_ = nullptr;
  bool running_ = false;
};

}  // namespace mornax::gui
