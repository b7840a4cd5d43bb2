// Work split across threads.
#include "engine/worker_bands.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <pthread.h>
#endif

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

int32 threadsForPixels(int32 threads, int64_t pixels) {
  const int64_t worth = std::max<int64_t>(1, pixels / kLeastPixelsPerThread);
  return int32(std::min<int64_t>(std::clamp(threads, 1, kMostEngineThreads), worth));
}

Band bandOf(int32 worker, int32 workers, int32 count) {
  return Band{int32(int64_t(count) * worker / workers),
              int32(int64_t(count) * (worker + 1) / workers)};
}

namespace {

// The engine's threads and the pass they are woken for. A pass hands out its workers one at a
// time to whoever asks first: the caller after its own worker, or a thread once it wakes.
class EngineThreads {
 public:
  EngineThreads() {
#ifndef _WIN32
    // A process forked while the threads wait has none of them; the child must not wait for
    // them, nor find a lock that one of them held.
    forking_ = this;
    pthread_atfork(&beforeFork, &afterForkInParent, &afterForkInChild);
#endif
  }
  ~EngineThreads() {
#ifdef _WIN32
    // A library is unloaded under the system's loader lock, which a thread needs to end:
    // joining here would hang. Threads are still there only when a host unloads the module in
    // the middle of a run; they wait on and are never woken.
    for (std::unique_ptr<std::thread>& thread : threads_) thread->detach();
#else
    stop();
#endif
  }

  void run(int32 workers, void (*work)(void* context, int32 worker), void* context) {
    if (workers <= 1) {
      work(context, 0);
      return;
    }
    std::unique_lock<std::mutex> pass(passes_, std::defer_lock);
    if (inPass_ || !pass.try_lock()) {
      // Another pass has the threads, or this is work inside one: it is all worked here.
      for (int32 worker = 0; worker < workers; ++worker) work(context, worker);
      return;
    }
    inPass_ = true;
    const bool woken = start(workers - 1);
    std::unique_lock<std::mutex> lock(mutex_);
    work_ = work;
    context_ = context;
    workers_ = workers;
    next_ = 1;
    ++generation_;
    lock.unlock();
    if (woken) wake_.notify_all();
    work(context, 0);
    lock.lock();
    while (next_ < workers_) {
      const int32 worker = next_++;
      lock.unlock();
      work(context, worker);
      lock.lock();
    }
    // A thread that wakes from now on finds nothing to take.
    workers_ = 0;
    finished_.wait(lock, [&] { return busy_ == 0; });
    inPass_ = false;
  }

  void stop() {
    std::lock_guard<std::mutex> pass(passes_);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (threads_.empty()) return;
      ending_ = true;
    }
    wake_.notify_all();
    for (std::unique_ptr<std::thread>& thread : threads_) {
      try {
        thread->join();
      } catch (...) {
        thread->detach();
      }
    }
    threads_.clear();
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = false;
  }

  int32 running() {
    std::lock_guard<std::mutex> pass(passes_);
    return int32(threads_.size());
  }

  void limitStarts(int32 most) { startLimit_.store(most, std::memory_order_relaxed); }

 private:
  // Makes sure of up to `count` threads; whether there is any. Called with passes_ held.
  bool start(int32 count) {
    const int32 limit = startLimit_.load(std::memory_order_relaxed);
    if (limit >= 0) count = std::min(count, limit);
    while (int32(threads_.size()) < count) {
      try {
        // A thread started now takes part in the pass about to be handed out.
        threads_.push_back(
            std::make_unique<std::thread>(&EngineThreads::serve, this, generationNow()));
      } catch (...) {
        // No thread to be had: the caller works its share.
        break;
      }
    }
    return !threads_.empty();
  }

  uint64_t generationNow() {
    std::lock_guard<std::mutex> lock(mutex_);
    return generation_;
  }

  void serve(uint64_t seen) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return ending_ || generation_ != seen; });
      if (ending_) return;
      seen = generation_;
      while (next_ < workers_) {
        const int32 worker = next_++;
        void (*work)(void*, int32) = work_;
        void* context = context_;
        ++busy_;
        lock.unlock();
        inPass_ = true;
        work(context, worker);
        inPass_ = false;
        lock.lock();
        if (--busy_ == 0) finished_.notify_all();
      }
    }
  }

  // Whether this thread is working a pass's worker, or handing one out.
  static thread_local bool inPass_;

#ifndef _WIN32
  static EngineThreads* forking_;
  // A fork from inside a pass (work that forks) holds the pass's lock already, and leaves the
  // locks alone.
  static thread_local bool forkLocked_;
  static void beforeFork() {
    forkLocked_ = !inPass_;
    if (!forkLocked_) return;
    forking_->passes_.lock();
    forking_->mutex_.lock();
  }
  static void afterForkInParent() {
    if (!forkLocked_) return;
    forking_->mutex_.unlock();
    forking_->passes_.unlock();
  }
  // The child's threads are records of the parent's: forgotten, never joined. The conditions
  // still count the parent's threads as waiting, and waking them would wait for those threads
  // forever: the child gets fresh ones.
  static void afterForkInChild() {
    for (std::unique_ptr<std::thread>& thread : forking_->threads_) thread.release();
    forking_->threads_.clear();
    new (&forking_->wake_) std::condition_variable();
    new (&forking_->finished_) std::condition_variable();
    afterForkInParent();
  }
#endif

  std::mutex passes_;  // one pass at a time; held while threads_ changes
  std::vector<std::unique_ptr<std::thread>> threads_;
  std::atomic<int32> startLimit_{-1};

  std::mutex mutex_;                  // everything below
  std::condition_variable wake_;      // a new pass, or the end
  std::condition_variable finished_;  // a thread's worker is done
  uint64_t generation_ = 0;           // passes handed out so far
  void (*work_)(void*, int32) = nullptr;
  void* context_ = nullptr;
  int32 workers_ = 0;  // of the pass under way; 0 between passes
  int32 next_ = 0;     // the first worker not yet taken
  int32 busy_ = 0;     // workers the threads have taken and not finished
  bool ending_ = false;
};

thread_local bool EngineThreads::inPass_ = false;
#ifndef _WIN32
EngineThreads* EngineThreads::forking_ = nullptr;
thread_local bool EngineThreads::forkLocked_ = false;
#endif

EngineThreads& engineThreadPool() {
  static EngineThreads pool;
  return pool;
}

}  // namespace

void runWorkers(int32 workers, void (*run)(void* context, int32 worker), void* context) {
  engineThreadPool().run(workers, run, context);
}

void stopEngineThreads() { engineThreadPool().stop(); }

int32 runningEngineThreads() { return engineThreadPool().running(); }

void limitEngineThreadStarts(int32 most) { engineThreadPool().limitStarts(most); }
