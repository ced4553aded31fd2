#include "gui/gis_task.h"

#include <memory>
#include <optional>

#include <QEventLoop>
#include <QProgressDialog>
#include <QStringList>
#include <QThread>

#include "project/project_lock.h"
#include "project/temporary_sweep.h"

namespace mornax::gui {
namespace {

constexpr int kBusyDialogDelayMs = 300;

GisOutcome Locked(const std::filesystem::path& document, const std::function<GisOutcome()>& work,
                  std::chrono::milliseconds wait) {
  std::optional<project::ProjectLock> lock;
  long holder = 0;
  if (project::ProjectLock::Acquire(document, wait, lock, holder) ==
      project::ProjectLock::Outcome::kBusy) {
    GisOutcome busy;
    busy.error = project::BusyMessage(document, holder);
    return busy;
  }
  std::vector<std::string> removed =
      project::SweepStaleTemporaries(std::filesystem::absolute(document).parent_path());
  GisOutcome outcome = work();
  for (const std::string& name : removed) {
    outcome.warnings.push_back("removed " + name + ", left behind by a process that ended");
  }
  return outcome;
}

}  // namespace

QString GisOutcome::Text() const {
  QStringList text;
  for (const std::string& line : lines) text << QString::fromStdString(line);
  for (const std::string& warning : warnings) text << QString::fromStdString(warning);
  if (!error.empty()) text << QString::fromStdString(error);
  return text.join('\n');
}

GisOutcome RunGisTask(QWidget* parent, const QString& title, const std::filesystem::path& document,
                      const std::function<GisOutcome()>& work, std::chrono::milliseconds wait) {
  GisOutcome outcome;
  const std::unique_ptr<QThread> thread(
      QThread::create([&] { outcome = Locked(document, work, wait); }));
  QProgressDialog busy(title, QString(), 0, 0, parent);
  busy.setObjectName("gisBusy");
  busy.setWindowModality(Qt::WindowModal);
  busy.setMinimumDuration(kBusyDialogDelayMs);
  busy.setCancelButton(nullptr);
  QEventLoop loop;
  QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
  thread->start();
  loop.exec();
  thread->wait();
  return outcome;
}

}  // namespace mornax::gui
