// Progress as counts for Messages::Count, thinned out in time: a loop tells it
// every item it finishes, and the messages hear of it at most about ten times
// a second, and always of the last item.
#pragma once

#include <chrono>
#include <cstdint>

#include "core/messages.h"

namespace mornax {

class ProgressCounter {
 public:
  // `total` items, -1 when unknown.
  ProgressCounter(Messages& messages, std::int64_t total) : messages_(messages), total_(total) {}

  // `done` items are finished.
  void Advance(std::int64_t done) {
    if (++sinceCheck_ < kCheckEvery && done != total_) return;
    sinceCheck_ = 0;
    const auto now = std::chrono::steady_clock::now();
    if (told_ && done != total_ && now - last_ < kInterval) return;
    Tell(done, now);
  }

  // The last count, whatever the time since the one before.
  void Finish(std::int64_t done) {
    if (told_ && done == lastDone_) return;
    Tell(done, std::chrono::steady_clock::now());
  }

 private:
  // The clock is read once every so many items: far more often than ten
  // times a second for any estimate, far less than once per item.
  static constexpr int kCheckEvery = 16;
  static constexpr auto kInterval = std::chrono::milliseconds(100);

  void Tell(std::int64_t done, std::chrono::steady_clock::time_point now) {
    messages_.Count(done, total_);
    told_ = true;
    last_ = now;
    lastDone_ = done;
  }

  Messages& messages_;
  std::int64_t total_;
  int sinceCheck_ = 0;
  bool told_ = false;
  std::int64_t lastDone_ = 0;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace mornax
