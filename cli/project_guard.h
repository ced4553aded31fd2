// The lock a command holds on its project while it changes (or, for map,
// reads) the project's files, taken in one place for every such command, and
// the sweep of temporaries that ended processes left in the folder.
#pragma once

#include <optional>

#include "arguments.h"
#include "project/project_lock.h"

namespace mornax::batch {

class ProjectGuard {
 public:
  // Takes the lock of the invocation's project when its command needs one
  // (new, set, use-fit, run, grid, import, crs, export, map), waiting up to
  // MORNAX_LOCK_WAIT seconds (10 without it), then removes stale temporaries
  // beside the document. Returns 0, or the exit status of a refusal whose
  // message it has shown.
  int Enter(const Invocation& invocation);

 private:
  std::optional<project::ProjectLock> lock_;
};

}  // namespace mornax::batch
