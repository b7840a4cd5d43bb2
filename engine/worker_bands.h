// Work split across threads: `count` items (rows, blocks of rows, strips of lanes) are cut into
// contiguous bands, one per worker, and each band runs exactly the code one thread would run
// on it, so the result does not depend on how many workers there are. The calling thread works
// the first band and the call returns only when every band is done: no thread outlives it.
// Work must not throw. A thread the system refuses is no failure: its band runs on the calling
// thread instead.
#pragma once

#include "hostapi/types.h"

// The most threads the engine splits one call across.
constexpr int32 kMostEngineThreads = 64;

// The thread count the process has chosen (setEngineThreads), or by default the machine's
// cores; always 1..kMostEngineThreads.
int32 engineThreads();
// Chooses the thread count for every later job: 0 for the machine's cores, otherwise clamped
// into 1..kMostEngineThreads.
void setEngineThreads(int32 count);

// The workers a call with this many threads gives `count` items: never more than the items,
// at least one.
int32 bandWorkers(int32 threads, int32 count);

// The items [first, last) of band `worker` out of `workers` for `count` items.
struct Band {
  int32 first;
  int32 last;
};
Band bandOf(int32 worker, int32 workers, int32 count);

// Runs run(context, worker) for worker = 0..workers-1, worker 0 on the calling thread.
void runWorkers(int32 workers, void (*run)(void* context, int32 worker), void* context);

// runWorkers for a callable taking (worker, Band) over `count` items.
template <typename Work>
void inBands(int32 workers, int32 count, const Work& work) {
  struct Context {
    const Work* work;
    int32 workers;
    int32 count;
  } context{&work, workers, count};
  runWorkers(
      workers,
      [](void* raw, int32 worker) {
        auto* c = static_cast<Context*>(raw);
        (*c->work)(worker, bandOf(worker, c->workers, c->count));
      },
      &context);
}
