// Sharpening of one 704 x 704 RGB tile with a 640 x 640 core (32 pixels of context on every
// side), as the filter run hands it to the engine: blur a copy, then combine the detail into a
// separate output, on 1 and on 2 threads (the benchmark's first argument), with the engine's
// 128-bit loops (avx2:0) and, where the processor has them, its 256-bit loops (avx2:1).
// Reported as megapixels of core per second of wall time ("core_MPps").
// Run: build/native/bench/engine_bench
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "engine/blur.h"
#include "engine/sharpen.h"
#include "engine/vector_path.h"
#include "host/plugin_globals.h"
#include "hostapi/constants.h"
#include "image/image_plane.h"

namespace {

constexpr int32 kTile = 704;
constexpr int32 kContext = 32;
constexpr int32 kCore = kTile - 2 * kContext;

ImagePlane* noisyTile(PluginGlobals* globals) {
  ImagePlane* plane =
      createPlane(handleMemory(globals), kTile, kTile, 3, kContext, 1, plugInModeRGBColor, 0);
  lockPlane(handleMemory(globals), plane);
  uint32 seed = 1;
  uint8* bytes = *plane->pixelAddress;
  for (int32 i = 0; i < kTile * kTile * 3; ++i) {
    seed = seed * 1664525u + 1013904223u;
    // A smooth ramp with noise on top, closer to a photograph than pure noise.
    bytes[i] = uint8(((i / 3) % kTile) / 3 + (seed >> 28));
  }
  return plane;
}

void sharpenTile(benchmark::State& state, double radius) {
  const int32 threads = int32(state.range(0));
  const VectorPath path = state.range(1) != 0 ? VectorPath::kAvx2 : VectorPath::kSse2;
  if (!setVectorPath(path)) {
    state.SkipWithError("the processor has no AVX2");
    return;
  }
  PluginGlobals globals{};
  ImagePlane* input = noisyTile(&globals);
  ImagePlane* output = copyPlane(handleMemory(&globals), *input);
  lockPlane(handleMemory(&globals), output);
  for (auto _ : state) {
    ImagePlane* blurred = copyPlane(handleMemory(&globals), *input);
    lockPlane(handleMemory(&globals), blurred);
    BlurRadius record{radius, int32(radius), int32(radius)};
    blurPlane(&record, *input, blurred, handleMemory(&globals), threads);
    combineDetail(*input, *blurred, output, 175, 2, threads);
    destroyPlane(handleMemory(&globals), blurred);
    benchmark::DoNotOptimize(*output->pixelAddress);
  }
  state.counters["core_MPps"] = benchmark::Counter(
      double(kCore) * kCore * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
  destroyPlane(handleMemory(&globals), input);
  destroyPlane(handleMemory(&globals), output);
}

// Each radius on one and on two threads and on both vector paths, timed by the wall clock (CPU
// time would count only the calling thread).
void onOneAndTwoThreads(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgNames({"threads", "avx2"})
      ->ArgsProduct({{1, 2}, {0, 1}})
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK_CAPTURE(sharpenTile, r0_2, 0.2)->Apply(onOneAndTwoThreads);
BENCHMARK_CAPTURE(sharpenTile, r1_43, 1.43)->Apply(onOneAndTwoThreads);
BENCHMARK_CAPTURE(sharpenTile, r2_4, 2.4)->Apply(onOneAndTwoThreads);
BENCHMARK_CAPTURE(sharpenTile, r2_5, 2.5)->Apply(onOneAndTwoThreads);
BENCHMARK_CAPTURE(sharpenTile, r5_5, 5.5)->Apply(onOneAndTwoThreads);
BENCHMARK_CAPTURE(sharpenTile, r10, 10.0)->Apply(onOneAndTwoThreads);

BENCHMARK_MAIN();
