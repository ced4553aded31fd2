#include "core/parallel_pipeline.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace mornax {
namespace {

// Items read before the helpers are told: small, so that they start early.
constexpr std::int64_t kPublishBurst = 32;

// A thread that finds nothing to do checks again this many times (a few tens
// of microseconds) before it sleeps: waking a sleeping thread costs far more
// than most items take to compute. Every kYieldEvery checks it yields, so
// that on a busy machine the thread it waits for gets the core.
constexpr int kSpins = 4000;
constexpr int kYieldEvery = 64;

// How often a waiting calling thread calls PipelineStages::idle.
constexpr auto kIdleInterval = std::chrono::milliseconds(5);

void Relax() {
#if defined(__x86_64__) || defined(__i386__)
  _mm_pause();
#else
  std::this_thread::yield();
#endif
}

// Checks `ready()` for a while before a thread goes to sleep; true when it
// came meanwhile.
template <typename Ready>
bool Spin(const Ready& ready) {
  for (int spin = 0; spin < kSpins; ++spin) {
    if (ready()) return true;
    if (spin % kYieldEvery == kYieldEvery - 1) {
      std::this_thread::yield();
    } else {
      Relax();
    }
  }
  return false;
}

// Waits until `ready()` holds: spins a while, then sleeps on `wake` (whose
// notifier must take `mutex` before notifying while `sleepers` > 0).
template <typename Ready>
void WaitUntil(const Ready& ready, std::mutex& mutex, std::condition_variable& wake,
               std::atomic<int>& sleepers) {
  if (Spin(ready)) return;
  std::unique_lock lock(mutex);
  sleepers.fetch_add(1);
  wake.wait(lock, ready);
  sleepers.fetch_sub(1);
}

// Like WaitUntil, but gives up after about `limit`; returns `ready()`.
template <typename Ready, typename Duration>
bool WaitAtMost(const Ready& ready, std::mutex& mutex, std::condition_variable& wake,
                std::atomic<int>& sleepers, Duration limit) {
  if (Spin(ready)) return true;
  std::unique_lock lock(mutex);
  sleepers.fetch_add(1);
  const bool result = wake.wait_for(lock, limit, ready);
  sleepers.fetch_sub(1);
  return result;
}

void Wake(std::mutex& mutex, std::condition_variable& wake, const std::atomic<int>& sleepers) {
  if (sleepers.load() == 0) return;
  { const std::lock_guard lock(mutex); }
  wake.notify_all();
}

void RunSequentially(std::int64_t total, std::size_t ring, const PipelineStages& stages) {
  for (std::int64_t item = 0; item < total; ++item) {
    const auto slot = static_cast<std::size_t>(item) % ring;
    if (!stages.read(item, slot)) {
      stages.finish(item, slot, false);
      return;
    }
    stages.compute(slot, 0);
    if (!stages.finish(item, slot, true)) return;
  }
}

class Pipeline {
 public:
  Pipeline(std::int64_t total, std::size_t ring, const PipelineStages& stages)
      : stages_(stages), total_(total), ring_(ring), done_(std::make_unique<PaddedItem[]>(ring)) {
    for (std::size_t slot = 0; slot < ring; ++slot) done_[slot].item.store(-1);
  }

  void Run(int threads) {
    helperBacklog_ = 2 * static_cast<std::int64_t>(threads - 1);
    std::vector<std::thread> helpers;
    helpers.reserve(static_cast<std::size_t>(threads - 1));
    try {
      for (int worker = 1; worker < threads; ++worker) {
        helpers.emplace_back([this, worker] { Help(worker); });
      }
      Drive();
    } catch (...) {
      Stop(helpers);
      throw;
    }
    Stop(helpers);
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  // The item last computed in a slot, alone on its cache line: the threads
  // that compute and the thread that finishes do not disturb each other.
  struct alignas(64) PaddedItem {
    std::atomic<std::int64_t> item;
  };

  std::size_t Slot(std::int64_t item) const { return static_cast<std::size_t>(item) % ring_; }
  bool Done(std::int64_t item) const { return done_[Slot(item)].item.load() == item; }

  void Stop(std::vector<std::thread>& helpers) {
    stop_.store(true);
    Wake(mutex_, workReady_, helpersAsleep_);
    for (std::thread& helper : helpers) helper.join();
  }

  // Claims the next item that has been read; -1 when there is none.
  std::int64_t Claim() {
    std::int64_t item = claimed_.load();
    while (item < available_.load()) {
      if (claimed_.compare_exchange_weak(item, item + 1)) return item;
    }
    return -1;
  }

  // Computes one claimed item and marks it done; a failure stops the run.
  void Compute(std::int64_t item, int worker) {
    try {
      stages_.compute(Slot(item), worker);
    } catch (...) {
      const std::lock_guard lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
      failed_.store(true);
      stop_.store(true);
    }
    done_[Slot(item)].item.store(item);
    Wake(mutex_, itemDone_, callerAsleep_);
  }

  void Help(int worker) {
    while (!stop_.load()) {
      const std::int64_t item = Claim();
      if (item >= 0) {
        Compute(item, worker);
        continue;
      }
      WaitUntil([this] { return stop_.load() || claimed_.load() < available_.load(); }, mutex_,
                workReady_, helpersAsleep_);
    }
  }

  // Reads ahead as far as the ring allows once half of it is free, telling
  // the helpers in bursts.
  void ReadAhead(std::int64_t next) {
    const auto ring = static_cast<std::int64_t>(ring_);
    if (readFailed_ || readCount_ - next > ring / 2) return;
    const std::int64_t limit = std::min(total_, next + ring);
    std::int64_t told = readCount_;
    while (readCount_ < limit) {
      if (!stages_.read(readCount_, Slot(readCount_))) {
        readFailed_ = true;
        break;
      }
      ++readCount_;
      if (readCount_ - told >= kPublishBurst) {
        Publish();
        told = readCount_;
      }
    }
    if (readCount_ > told) Publish();
  }

  void Publish() {
    available_.store(readCount_);
    Wake(mutex_, workReady_, helpersAsleep_);
  }

  void Drive() {
    std::int64_t next = 0;
    while (next < total_) {
      ReadAhead(next);
      if (readFailed_ && next == readCount_) {
        stages_.finish(next, Slot(next), false);
        return;
      }
      if (Done(next)) {
        // A failed computation is marked done after the failure is set.
        if (failed_.load()) return;
        if (!stages_.finish(next, Slot(next), true)) return;
        ++next;
        continue;
      }
      // Rather than wait, compute the next unclaimed item here.
      if (failed_.load()) return;
      // Rather than wait, compute an item here: `next` itself when no helper
      // has taken it, or another one when the helpers fall behind. While they
      // keep up, finishing in order is the calling thread's share of the work.
      const std::int64_t claimed = claimed_.load();
      if (claimed <= next || available_.load() - claimed > helperBacklog_) {
        const std::int64_t item = Claim();
        if (item >= 0) {
          Compute(item, 0);
          continue;
        }
      }
      // `next` is being computed by a helper.
      const auto ready = [this, next] { return Done(next) || failed_.load(); };
      if (!stages_.idle) {
        WaitUntil(ready, mutex_, itemDone_, callerAsleep_);
      } else if (!WaitAtMost(ready, mutex_, itemDone_, callerAsleep_, kIdleInterval) &&
                 !stages_.idle()) {
        return;
      }
    }
  }

  const PipelineStages& stages_;
  const std::int64_t total_;
  const std::size_t ring_;

  // Calling thread only.
  std::int64_t helperBacklog_ = 0;  // unclaimed items beyond which it computes too
  std::int64_t readCount_ = 0;      // items read successfully
  bool readFailed_ = false;         // item readCount_ could not be read

  // Shared.
  std::atomic<std::int64_t> available_{0};  // items that may be claimed: [0, available_)
  std::atomic<std::int64_t> claimed_{0};    // the next item to claim
  std::unique_ptr<PaddedItem[]> done_;      // per slot: the last item computed in it
  std::atomic<bool> stop_{false};
  std::atomic<bool> failed_{false};
  std::mutex mutex_;                   // for sleeping and the failure
  std::condition_variable workReady_;  // helpers sleep here for items or the stop
  std::condition_variable itemDone_;   // the calling thread sleeps here for its next item
  std::atomic<int> helpersAsleep_{0};
  std::atomic<int> callerAsleep_{0};
  std::exception_ptr failure_;  // under the mutex; read after the helpers ended
};

}  // namespace

void RunPipeline(int threads, std::int64_t total, std::size_t ring, const PipelineStages& stages) {
  if (total <= 0) return;
  ring = std::max<std::size_t>(ring, 1);
  if (threads <= 1) {
    RunSequentially(total, ring, stages);
    return;
  }
  Pipeline pipeline(total, ring, stages);
  pipeline.Run(threads);
}

}  // namespace mornax
