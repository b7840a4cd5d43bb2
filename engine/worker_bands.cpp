// Work split across threads.
#include "engine/worker_bands.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

int32 machineThreads() {
  const unsigned cores = std::thread::hardware_concurrency();
  return std::clamp<int32>(cores == 0 ? 1 : int32(std::min(cores, 1024u)), 1, kMostEngineThreads);
}

// 0: not chosen, the machine's cores.
std::atomic<int32> chosenThreads{0};

}  // namespace

int32 engineThreads() {
  const int32 chosen = chosenThreads.load(std::memory_order_relaxed);
  return chosen > 0 ? chosen : machineThreads();
}

void setEngineThreads(int32 count) {
  chosenThreads.store(count <= 0 ? 0 : std::min(count, kMostEngineThreads),
                      std::memory_order_relaxed);
}

int32 bandWorkers(int32 threads, int32 count) {
  return std::max(1, std::min(std::clamp(threads, 1, kMostEngineThreads), count));
}

Band bandOf(int32 worker, int32 workers, int32 count) {
  return Band{int32(int64_t(count) * worker / workers),
              int32(int64_t(count) * (worker + 1) / workers)};
}

void runWorkers(int32 workers, void (*run)(void* context, int32 worker), void* context) {
  std::vector<std::thread> threads;
  std::vector<int32> leftOver;
  try {
    threads.reserve(size_t(std::max(workers - 1, 0)));
    leftOver.reserve(size_t(std::max(workers - 1, 0)));
  } catch (...) {
    // Without room for the bookkeeping every band runs here.
    for (int32 worker = 0; worker < workers; ++worker) run(context, worker);
    return;
  }
  for (int32 worker = 1; worker < workers; ++worker) {
    try {
      threads.emplace_back(run, context, worker);
    } catch (...) {
      // No thread to be had: the band is worked here instead.
      leftOver.push_back(worker);
    }
  }
  run(context, 0);
  for (int32 worker : leftOver) run(context, worker);
  for (std::thread& thread : threads) thread.join();
}
