#include "call_hooks.h"

#include <utility>

namespace mornax::python {
namespace {

// How often the calling thread takes the lock to look for signals.
constexpr std::chrono::milliseconds kPollInterval{100};

}  // namespace

CallHooks::CallHooks(py::object progress, py::object cancel, int threads)
    : progress_(std::move(progress)),
      cancel_(std::move(cancel)),
      lastPoll_(std::chrono::steady_clock::now()) {
  hooks_.threads = threads;
  hooks_.stop = [this] { return Stop(); };
  if (!progress_.is_none()) {
    hooks_.progress = [this](std::int64_t done, std::int64_t total) { Progress(done, total); };
  }
}

bool CallHooks::Stop() {
  if (pending_ || cancelled_) return true;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastPoll_ < kPollInterval) return false;
  lastPoll_ = now;
  py::gil_scoped_acquire lock;
  if (PyErr_CheckSignals() != 0) {
    pending_.emplace();  // takes the exception the signal handler raised
    return true;
  }
  if (!cancel_.is_none()) {
    try {
      cancelled_ = cancel_.attr("is_set")().cast<bool>();
    } catch (py::error_already_set& error) {
      pending_.emplace(std::move(error));
      return true;
    }
  }
  return cancelled_;
}

void CallHooks::Progress(std::int64_t done, std::int64_t total) {
  if (pending_) return;
  py::gil_scoped_acquire lock;
  try {
    progress_(done, total);
  } catch (py::error_already_set& error) {
    pending_.emplace(std::move(error));
  }
}

void CallHooks::RaisePending() {
  if (!pending_) return;
  py::error_already_set error = std::move(*pending_);
  pending_.reset();
  throw error;
}

}  // namespace mornax::python
