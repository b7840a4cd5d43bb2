// The engine split across threads gives the bytes of one thread, and its AVX2 loops the bytes of
// its SSE2 loops: over document modes, both blur paths, tiles wider, narrower and shorter than the
// thread count, separate and shared input and output buffers, memory that runs out part way
// through the workers' scratch, and threads the system refuses. The engine's threads serve pass
// after pass, each worker once a pass, also when two callers or a worker itself ask for a pass at
// once, and in a forked child.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "../image/fake_color_host.h"
#include "engine/sharpen.h"
#include "engine/worker_bands.h"
#include "host/plugin_globals.h"
#include "hostapi/constants.h"
#include "image/color_conversion.h"
#include "image/image_plane.h"
#include "vector_path_choice.h"

namespace {

struct Mode {
  const char* name;
  int16 mode;
  int32 channels;
  bool acceleration;
};

// RGB with and without an extra plane, grey, CMYK through the host's colours and by copying
// channels.
const Mode kModes[] = {{"rgb", plugInModeRGBColor, 3, false},
                       {"rgbWithTransparency", plugInModeRGBColor, 4, false},
                       {"gray", plugInModeGrayScale, 1, false},
                       {"cmyk", plugInModeCMYKColor, 4, false},
                       {"cmykAccelerated", plugInModeCMYKColor, 4, true}};

struct Tile {
  const char* name;
  int32 width;
  int32 height;
  int32 border;
  int32 step;
};

// 200 x 150 has ten strips of lanes and nineteen blocks of rows; the others have fewer rows,
// strips or pixels than there are threads.
const Tile kTiles[] = {{"200x150", 200, 150, 32, 1}, {"130x5", 130, 5, 1, 1},
                       {"3x40", 3, 40, 1, 1},        {"5x3", 5, 3, 1, 1},
                       {"1x1", 1, 1, 0, 1},          {"60x44 step 2", 60, 44, 6, 2}};

// Gaussian below 2.5, box from there: two and three horizontal passes, and the widest window.
const double kRadii[] = {0.2, 1.43, 2.5, 5.5, 10.0};

// Strong edges and smooth ramps, different in every channel.
uint8 sample(int32 column, int32 row, int32 channel) {
  uint32 noise = uint32(column * 7919 + row * 104729 + channel * 15485863) * 2654435761u;
  int32 ramp = (column * 5 + row * 3) % 160;
  return uint8(((column / 7 + row / 5) % 2 ? 40 : 170) + ramp / 4 + int32(noise >> 28));
}

SharpenJob jobFor(double radius, int16 mode, int32 threads) {
  SharpenJob job{};
  job.model.operatorRadius = radius;
  job.model.operatorRadiusWhole = int32(radius);
  job.model.strength = 175;
  job.personalProfile = 1;
  job.imageMode = mode;
  job.threads = threads;
  return job;
}

// One tile of the host's document mode, sharpened into a separate output (or in place); the
// result is the output's bytes and the engine's answer.
struct Outcome {
  int16 result;
  std::vector<uint8> bytes;
  std::vector<uint8> before;  // the output as it was handed to the engine
};

Outcome sharpenTile(FakeColorHost& host, const Tile& tile, int32 channels, double radius,
                    int32 threads, bool inPlace) {
  const HandleMemory memory = handleMemory(&host.globals);
  const int16 mode = host.record.imageMode;
  OwnedPlane input = ownPlane(memory, createPlane(memory, tile.width, tile.height, channels,
                                                  tile.border, tile.step, mode, 0));
  EXPECT_TRUE(input != nullptr && lockPlane(memory, input.get()));
  if (input == nullptr) return {};
  const size_t bytes = size_t(planeRows(*input)) * size_t(*input->rowBytes);
  for (size_t i = 0; i < bytes; ++i) {
    size_t pixel = i / size_t(channels);
    int32 columns = planeColumns(*input);
    (*input->pixelAddress)[i] =
        sample(int32(pixel % size_t(columns)), int32(pixel / size_t(columns)), int32(i % channels));
  }
  OwnedPlane separate = ownPlane(memory, inPlace ? nullptr : copyPlane(memory, *input));
  if (separate != nullptr) lockPlane(memory, separate.get());
  ImagePlane* output = inPlace ? input.get() : separate.get();
  Outcome outcome;
  outcome.before.assign(*output->pixelAddress, *output->pixelAddress + bytes);
  outcome.result =
      sharpen(pixelServices(&host.globals), jobFor(radius, mode, threads), *input, output);
  outcome.bytes.assign(*output->pixelAddress, *output->pixelAddress + bytes);
  return outcome;
}

struct Document {
  FakeColorHost host;
  explicit Document(const Mode& m) : host(m.mode) {
    host.globals.colors.acceleration = m.acceleration ? 1 : 0;
    createColorCaches(pixelServices(&host.globals), m.mode);
  }
  ~Document() { destroyColorCaches(host.globals.colors); }
};

TEST(EngineThreads, EveryThreadCountGivesTheBytesOfOne) {
  for (const Mode& m : kModes) {
    for (const Tile& tile : kTiles) {
      for (double radius : kRadii) {
        for (bool inPlace : {false, true}) {
          SCOPED_TRACE(std::string(m.name) + " " + tile.name + " radius " + std::to_string(radius) +
                       (inPlace ? " in place" : ""));
          Document document(m);
          Outcome one = sharpenTile(document.host, tile, m.channels, radius, 1, inPlace);
          ASSERT_EQ(one.result, 0);
          for (int32 threads : {2, 8}) {
            Outcome many = sharpenTile(document.host, tile, m.channels, radius, threads, inPlace);
            ASSERT_EQ(many.result, 0) << threads << " threads";
            EXPECT_TRUE(many.bytes == one.bytes) << threads << " threads";
          }
        }
      }
    }
  }
}

// Every half-width of the Gaussian path, both box passes and a wide window, on one and two
// threads, in every document mode (grey's one channel, RGB's three, four with transparency or
// CMYK).
TEST(EngineVectorPaths, AvxGivesTheBytesOfSse2) {
  if (!avx2Available()) GTEST_SKIP() << "the processor has no AVX2";
  const double radii[] = {0.2, 0.4, 0.7, 1.0, 1.43, 2.0, 2.5, 3.7, 10.0, 25.0};
  for (const Mode& m : kModes) {
    for (const Tile& tile : kTiles) {
      for (double radius : radii) {
        for (int32 threads : {1, 2}) {
          SCOPED_TRACE(std::string(m.name) + " " + tile.name + " radius " + std::to_string(radius) +
                       " " + std::to_string(threads) + " threads");
          Document document(m);
          Outcome narrow, wide;
          {
            VectorPathChoice path(VectorPath::kSse2);
            narrow = sharpenTile(document.host, tile, m.channels, radius, threads, false);
          }
          {
            VectorPathChoice path(VectorPath::kAvx2);
            wide = sharpenTile(document.host, tile, m.channels, radius, threads, false);
          }
          ASSERT_EQ(narrow.result, 0);
          ASSERT_EQ(wide.result, 0);
          EXPECT_TRUE(wide.bytes == narrow.bytes);
        }
      }
    }
  }
}

// Each worker's scratch is had before any pixel is written; when memory runs out part way the
// call either works with the workers it could equip, with the same bytes, or fails as one
// thread does, with nothing written.
TEST(EngineThreads, MemoryRunningOutAmongTheWorkersChangesNoByte) {
  const Tile tile = kTiles[0];
  for (double radius : {1.43, 5.5}) {
    Document document(kModes[0]);
    FakeColorHost& host = document.host;
    const int handlesBefore = host.handlesLive;  // the colour caches
    Outcome one = sharpenTile(host, tile, 3, radius, 1, false);
    ASSERT_EQ(one.result, 0);
    bool failed = false;
    bool worked = false;
    for (int32 allowed = 2; allowed < 40; ++allowed) {
      SCOPED_TRACE("radius " + std::to_string(radius) + ", " + std::to_string(allowed) +
                   " allocations");
      // The input and the output take the first two allocations.
      host.allocationsLeft = allowed;
      Outcome many = sharpenTile(host, tile, 3, radius, 8, false);
      host.allocationsLeft = -1;
      if (many.result == 0) {
        worked = true;
        EXPECT_TRUE(many.bytes == one.bytes);
      } else {
        failed = true;
        EXPECT_EQ(many.result, kEngineOutOfMemory);
        EXPECT_TRUE(many.bytes == many.before) << "written though it failed";
      }
    }
    EXPECT_TRUE(failed && worked);
    EXPECT_EQ(host.handlesLive, handlesBefore) << "scratch left behind";
  }
}

// With all but one (or all) of its threads refused, a call on eight threads still gives the
// bytes of one.
TEST(EngineThreads, RefusedThreadsChangeNoByte) {
  const Tile& tile = kTiles[0];
  for (double radius : {1.43, 5.5}) {
    Document document(kModes[0]);
    Outcome one = sharpenTile(document.host, tile, 3, radius, 1, false);
    ASSERT_EQ(one.result, 0);
    for (int32 startable : {0, 1}) {
      SCOPED_TRACE("radius " + std::to_string(radius) + ", " + std::to_string(startable) +
                   " threads startable");
      stopEngineThreads();
      limitEngineThreadStarts(startable);
      Outcome many = sharpenTile(document.host, tile, 3, radius, 8, false);
      limitEngineThreadStarts(-1);
      ASSERT_EQ(many.result, 0);
      EXPECT_TRUE(many.bytes == one.bytes);
      EXPECT_LE(runningEngineThreads(), startable);
    }
  }
}

// Counts the runs of each worker of one pass.
struct WorkerCounts {
  std::vector<std::atomic<int32>> runs;
  explicit WorkerCounts(int32 workers) : runs(size_t(workers)) {}
  static void count(void* context, int32 worker) {
    static_cast<WorkerCounts*>(context)->runs[size_t(worker)]++;
  }
  bool eachOnce() const {
    for (const std::atomic<int32>& r : runs)
      if (r.load() != 1) return false;
    return true;
  }
};

TEST(EngineThreads, EveryWorkerRunsOncePerPassWhateverThreadsStart) {
  for (int32 startable : {-1, 0, 1}) {
    stopEngineThreads();
    limitEngineThreadStarts(startable);
    // Threads that wait from the passes before, then threads started anew after a stop.
    for (int32 round = 0; round < 2; ++round) {
      for (int32 pass = 0; pass < 50; ++pass) {
        for (int32 workers : {1, 2, 3, 8}) {
          WorkerCounts counts(workers);
          runWorkers(workers, &WorkerCounts::count, &counts);
          ASSERT_TRUE(counts.eachOnce()) << workers << " workers, " << startable << " startable";
        }
      }
      EXPECT_LE(runningEngineThreads(), startable < 0 ? 7 : startable);
      stopEngineThreads();
      EXPECT_EQ(runningEngineThreads(), 0);
    }
  }
  limitEngineThreadStarts(-1);
}

// A second caller while a pass has the threads, and a worker that asks for a pass of its own,
// work their passes themselves.
TEST(EngineThreads, PassesAskedForAtOnceEachRunEveryWorkerOnce) {
  struct Nested {
    std::vector<WorkerCounts> inner;
    std::atomic<int32> outer{0};
    Nested() {
      for (int32 i = 0; i < 4; ++i) inner.emplace_back(3);
    }
    static void run(void* context, int32 worker) {
      auto* self = static_cast<Nested*>(context);
      self->outer++;
      runWorkers(3, &WorkerCounts::count, &self->inner[size_t(worker)]);
    }
  };
  for (int32 round = 0; round < 20; ++round) {
    Nested nested;
    std::vector<WorkerCounts> other;
    for (int32 i = 0; i < 100; ++i) other.emplace_back(4);
    std::thread caller([&] {
      for (WorkerCounts& counts : other) runWorkers(4, &WorkerCounts::count, &counts);
    });
    runWorkers(4, &Nested::run, &nested);
    caller.join();
    EXPECT_EQ(nested.outer.load(), 4);
    for (const WorkerCounts& counts : nested.inner) EXPECT_TRUE(counts.eachOnce());
    for (const WorkerCounts& counts : other) EXPECT_TRUE(counts.eachOnce());
  }
  stopEngineThreads();
}

#ifndef _WIN32
// Forks a child while the threads wait; the child's exit status, or -1 when it hung and was
// ended.
int childStatusAfterFork() {
  // A pass whose workers wait for one another, so that every thread has started, and is back
  // waiting for the next pass, before the fork (a thread still starting may hold a lock of the
  // sanitizers' allocator, which no child could then take).
  std::atomic<int32> arrived{0};
  runWorkers(
      4,
      [](void* context, int32) {
        auto* count = static_cast<std::atomic<int32>*>(context);
        ++*count;
        for (int32 spin = 0; spin < 5000 && count->load() < 4; ++spin) usleep(1000);
      },
      &arrived);
  if (runningEngineThreads() < 3 || arrived.load() != 4) return -2;
  const pid_t child = fork();
  if (child < 0) return -3;
  if (child == 0) {
    bool ok = runningEngineThreads() == 0;
    for (int32 pass = 0; pass < 20; ++pass) {
      WorkerCounts counts(4);
      runWorkers(4, &WorkerCounts::count, &counts);
      ok = ok && counts.eachOnce();
    }
    ok = ok && runningEngineThreads() > 0;
    stopEngineThreads();
    _exit(ok ? 0 : 1);
  }
  // A child that hangs is ended after a while rather than holding up the suite.
  int status = 0;
  pid_t ended = 0;
  for (int32 wait = 0; wait < 400 && ended == 0; ++wait) {
    ended = waitpid(child, &status, WNOHANG);
    if (ended == 0) usleep(25000);
  }
  if (ended == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -4;
}

// A child forked while the threads wait has none of them: it works its passes on threads of its
// own, and ends them. Whether a child would find the parent's threads counted as waiting
// depends on where they are in their wait, so it is tried a few times.
TEST(EngineThreads, AForkedChildStartsThreadsOfItsOwn) {
  for (int32 child = 0; child < 10; ++child) {
    EXPECT_EQ(childStatusAfterFork(), 0) << "child " << child << " (-1: it hung)";
  }
  stopEngineThreads();
}
#endif

TEST(EngineThreads, BandsCoverEveryItemOnce) {
  for (int32 count : {1, 3, 7, 8, 64, 1001}) {
    for (int32 threads : {1, 2, 8, 64, 200}) {
      int32 workers = bandWorkers(threads, count);
      EXPECT_GE(workers, 1);
      EXPECT_LE(workers, std::min(count, kMostEngineThreads));
      std::vector<int32> seen(size_t(count), 0);
      inBands(workers, count, 4, [&](int32, Band band) {
        EXPECT_LT(band.first, band.last) << "an empty band";
        for (int32 i = band.first; i < band.last; ++i) ++seen[size_t(i)];
      });
      EXPECT_EQ(seen, std::vector<int32>(size_t(count), 1)) << count << " " << threads;
    }
  }
}

TEST(EngineThreads, TheChosenCountHoldsForLaterJobs) {
  setEngineThreads(3);
  EXPECT_EQ(engineThreads(), 3);
  setEngineThreads(1000);
  EXPECT_EQ(engineThreads(), kMostEngineThreads);
  setEngineThreads(0);
  EXPECT_GE(engineThreads(), 1);
  EXPECT_LE(engineThreads(), kMostEngineThreads);
}

// A picture too small to share gets fewer threads: the dialog's 252 x 218 view one, a tile of a
// run as many as it is worth, never more than asked for nor fewer than one.
TEST(EngineThreads, SmallPicturesAreNotWorthEveryThread) {
  const struct {
    int32 threads;
    int64_t pixels;
    int32 given;
  } cases[] = {{2, 252 * 218, 1},
               {2, kLeastPixelsPerThread * 2, 2},
               {8, kLeastPixelsPerThread * 3 + 5, 3},
               {2, int64_t(6000) * 350, 2},
               {1000, int64_t(1) << 40, kMostEngineThreads},
               {0, int64_t(1) << 40, 1},
               {4, 0, 1}};
  for (const auto& c : cases)
    EXPECT_EQ(threadsForPixels(c.threads, c.pixels), c.given) << c.threads << " " << c.pixels;
}

}  // namespace
