// Work split across threads: `count` items (rows, blocks of rows, strips of lanes) are cut into
// contiguous bands, and each band runs exactly the code one thread would run on it, so the
// result does not depend on how many workers there are or which one takes a band. The calling
// thread is one of the workers, and the call returns only when every band is done. Work must
// not throw. A thread the system refuses is no failure: the calling thread does its share.
//
// The threads are the engine's own, started when a call first needs them and woken for every
// call after, rather than started and joined for each of a tile's two or three passes. They
// wait between calls until stopEngineThreads() ends them; a call that finds them busy with
// another caller's pass, or asleep when it has done its own share, does the rest itself instead
// of waiting for them.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>

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
// at least one (at most kMostEngineThreads).
int32 bandWorkers(int32 threads, int32 count);

// Below this many pixels for each, another thread costs more than it saves: waking it and
// waiting for its band take longer than the band's work. The dialog's preview, a few hundred
// pixels on a side, stays on one thread; a tile of a run is split.
constexpr int64_t kLeastPixelsPerThread = int64_t(1) << 17;

// The threads worth giving a picture of `pixels`: at most `threads`, at least one.
int32 threadsForPixels(int32 threads, int64_t pixels);

// The items [first, last) of band `worker` out of `workers` for `count` items.
struct Band {
  int32 first;
  int32 last;
};
Band bandOf(int32 worker, int32 workers, int32 count);

// Runs run(context, worker) for worker = 0..workers-1, each once, worker 0 on the calling
// thread, the others on whichever thread takes them first.
void runWorkers(int32 workers, void (*run)(void* context, int32 worker), void* context);

// Ends the engine's threads, waiting for a pass under way to finish; the next call that needs
// threads starts them again. The host's entry calls it whenever a run has no tile left to ask
// for, so no thread outlives the run that started it.
void stopEngineThreads();
// How many of the engine's threads are running now.
int32 runningEngineThreads();
// For tests: the engine starts no more than `most` threads of its own, as if the system refused
// the rest; a negative count lifts the limit.
void limitEngineThreadStarts(int32 most);

// Runs work(worker, band) over `count` items cut into bands, on `workers` workers. With more
// than one worker the items are cut into piecesPerWorker bands per worker, which the workers take
// in turn as they finish the last, so a worker the system leaves waiting for a core holds up
// only its current band. Every band runs the same code whoever takes it.
template <typename Work>
void inBands(int32 workers, int32 count, int32 piecesPerWorker, const Work& work) {
  struct Context {
    const Work* work;
    int32 bands;
    int32 count;
    std::atomic<int32> next;
  } context{
      &work, workers > 1 ? std::max(1, std::min(workers * piecesPerWorker, count)) : 1, count, {0}};
  runWorkers(
      workers,
      [](void* raw, int32 worker) {
        auto* c = static_cast<Context*>(raw);
        for (int32 band = c->next++; band < c->bands; band = c->next++) {
          (*c->work)(worker, bandOf(band, c->bands, c->count));
        }
      },
      &context);
}
