// The engine's hooks for a call made from Python: the engine runs with the
// interpreter's lock released; its calling thread takes the lock back at most
// ten times a second to look for Ctrl-C (and other signals), to ask a cancel
// event whether it is set and to report progress. A Python exception raised
// there stops the call and is raised again when the call returns.
#pragma once

#include <pybind11/pybind11.h>

#include <chrono>
#include <optional>

#include "api/mornax_arrays.h"

namespace mornax::python {

namespace py = pybind11;

class CallHooks {
 public:
  // `progress`: None or a callable (done, total); `cancel`: None or an object
  // with is_set() (threading.Event); `threads`: 0 for the engine's default.
  CallHooks(py::object progress, py::object cancel, int threads);
  CallHooks(const CallHooks&) = delete;
  CallHooks& operator=(const CallHooks&) = delete;

  // Valid while this object lives; to be used with the lock released.
  const api::Hooks& hooks() const { return hooks_; }

  // With the lock held, after the call: raises the exception a hook caught.
  void RaisePending();
  bool cancelled() const { return cancelled_; }

 private:
  bool Stop();
  void Progress(std::int64_t done, std::int64_t total);

  py::object progress_, cancel_;
  api::Hooks hooks_;
  std::optional<py::error_already_set> pending_;
  std::chrono::steady_clock::time_point lastPoll_;
  bool cancelled_ = false;
};

}  // namespace mornax::python
