// Work on numbered items in three stages: a read in item order, a computation
// on any thread, and a finish in item order. The calling thread reads and
// finishes, and computes too when the helpers fall behind; helper threads
// only compute. At most `ring` items are read and not yet finished, so the
// work done beyond a stop and the memory in use stay bounded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace mornax {

struct PipelineStages {
  // Calling thread, items in order: prepares item `item` in ring slot `slot`.
  // False when the item cannot be had: it is not computed, and no later item
  // is read.
  std::function<bool(std::int64_t item, std::size_t slot)> read;
  // Any thread: computes the item in `slot`; `worker` (0 .. threads - 1)
  // tells which of the threads runs it, for its own scratch storage.
  std::function<void(std::size_t slot, int worker)> compute;
  // Calling thread, items in order: everything after the computation.
  // `readOk` is false for an item whose read failed (it was not computed).
  // False ends the run: no later item is finished.
  std::function<bool(std::int64_t item, std::size_t slot, bool readOk)> finish;
  // Optional. Calling thread: called every few milliseconds while it waits for
  // an item that a helper computes, so that it can answer the user meanwhile.
  // False ends the run as a finish that returned false does.
  std::function<bool()> idle;
};

// Runs items 0 .. total - 1 through the stages with `threads` threads in all
// (the calling thread among them) and `ring` slots (slot = item % ring). With
// one thread every item is read, computed and finished before the next is
// read. Returns when an item's finish returned false, after a failed read has
// been finished, or when every item is finished; every helper thread has
// ended by then.
// A computation that throws stops the run; the exception reaches the caller
// once every helper has ended.
void RunPipeline(int threads, std::int64_t total, std::size_t ring, const PipelineStages& stages);

}  // namespace mornax
