// The detail combination's arithmetic on one-pixel planes, and runEngine on whole planes: in
// place versus separate buffers, and what happens when memory runs out part way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/sharpen.h"
#include "tests/engine/engine_run.h"
#include "host/filter_parameters.h"
#include "host/plugin_globals.h"
#include "hostapi/constants.h"
#include "hostapi/filter_record.h"
#include "hostapi/handle_procs.h"
#include "image/image_plane.h"

namespace {

// Host handle services on malloc that refuse every allocation from the n-th on.
int gAllocationsLeft = 1 << 30;

Handle HOSTAPI_CALL newBlock(int32 size) {
  if (gAllocationsLeft-- <= 0) return nullptr;
  Handle handle = static_cast<Handle>(std::malloc(sizeof(char*)));
  *handle = static_cast<char*>(std::calloc(size_t(size) + 1, 1));
  return handle;
}
void HOSTAPI_CALL disposeBlock(Handle handle) {
  if (handle == nullptr) return;
  std::free(*handle);
  std::free(handle);
}
int32 HOSTAPI_CALL blockSize(Handle) { return 0; }
OSErr HOSTAPI_CALL resizeBlock(Handle, int32) { return -108; }
Ptr HOSTAPI_CALL lockBlock(Handle handle, Boolean) { return *handle; }
void HOSTAPI_CALL unlockBlock(Handle) {}

struct Host {
  HandleProcs procs{1,           8,         newBlock,    disposeBlock, blockSize,
                    resizeBlock, lockBlock, unlockBlock, nullptr,      nullptr};
  FilterRecord record{};
  PluginGlobals globals{};
  Host(int32 width, int32 height) {
    record.handleProcs = &procs;
    record.imageMode = plugInModeRGBColor;
    record.imageSize = Point{int16(height), int16(width)};
    globals.filterRecord = &record;
  }
};

struct PixelCase {
  const char* name;
  uint8 source[4];
  uint8 blurred[4];
  int32 strength;
  int32 profile;
  uint8 expected[4];
};

TEST(CombineDetail, OnePixelCases) {
  const PixelCase cases[] = {
      {"flat area", {100, 100, 100, 9}, {100, 100, 100, 0}, 175, 2, {100, 100, 100, 9}},
      {"light side +20, profile 2",
       {120, 120, 120, 9},
       {100, 100, 100, 0},
       175,
       2,
       {155, 155, 155, 9}},
      {"dark side -20, profile 2", {100, 100, 100, 9}, {120, 120, 120, 0}, 175, 2, {57, 57, 57, 9}},
      {"dark side -20, profile 3", {100, 100, 100, 9}, {120, 120, 120, 0}, 288, 3, {43, 43, 43, 9}},
      {"dark side -20, profile 1", {100, 100, 100, 9}, {120, 120, 120, 0}, 122, 1, {64, 64, 64, 9}},
      {"unknown profile acts as 2",
       {100, 100, 100, 9},
       {120, 120, 120, 0},
       175,
       7,
       {57, 57, 57, 9}},
      {"pure red detail sharpens green and blue",
       {140, 100, 100, 9},
       {100, 100, 100, 0},
       175,
       2,
       {192, 117, 117, 9}},
      {"clamped above", {250, 250, 250, 9}, {200, 200, 200, 0}, 288, 3, {255, 255, 255, 9}},
      {"clamped below", {5, 5, 5, 9}, {60, 60, 60, 0}, 288, 3, {0, 0, 0, 9}},
  };
  for (const PixelCase& c : cases) {
    Host host(1, 1);
    ImagePlane* planes[3];
    for (ImagePlane*& plane : planes) {
      plane = createPlane(handleMemory(&host.globals), 1, 1, 4, 0, 1, plugInModeRGBColor, 0);
      ASSERT_TRUE(lockPlane(handleMemory(&host.globals), plane));
    }
    std::memcpy(*planes[0]->pixelAddress, c.source, 4);
    std::memcpy(*planes[1]->pixelAddress, c.blurred, 4);
    std::memcpy(*planes[2]->pixelAddress, c.source, 4);
    combineDetail(*planes[0], *planes[1], planes[2], c.strength, c.profile);
    EXPECT_EQ(std::vector<uint8>(*planes[2]->pixelAddress, *planes[2]->pixelAddress + 4),
              std::vector<uint8>(c.expected, c.expected + 4))
        << c.name;
    for (ImagePlane* plane : planes) destroyPlane(handleMemory(&host.globals), plane);
  }
}

// A document of 3000 x 2000 pixels at the default settings; the planes are a 60 x 50 piece of
// it with 12 pixels of context, filled with a noisy pattern.
class EngineRun : public ::testing::Test {
 protected:
  Host host{3000, 2000};
  FilterParameters parameters{};

  ImagePlane* makePlane() {
    ImagePlane* plane =
        createPlane(handleMemory(&host.globals), 60, 50, 3, 12, 1, plugInModeRGBColor, 0);
    EXPECT_TRUE(lockPlane(handleMemory(&host.globals), plane));
    uint32 seed = 99;
    uint8* bytes = *plane->pixelAddress;
    for (int32 i = 0; i < 60 * 50 * 3; ++i) {
      seed = seed * 1664525u + 1013904223u;
      bytes[i] = uint8(seed >> 24);
    }
    return plane;
  }
  std::vector<uint8> pixels(const ImagePlane* plane) {
    return std::vector<uint8>(*plane->pixelAddress, *plane->pixelAddress + 60 * 50 * 3);
  }
  void SetUp() override { parameters.settings = SharpenSettings{2, 1, 2, 4, 2, 1, 169, 254}; }
};

TEST_F(EngineRun, SameBufferGivesTheSameResultAsSeparateBuffers) {
  ImagePlane* input = makePlane();
  ImagePlane* output = makePlane();
  ImagePlane* shared = makePlane();
  std::vector<uint8> original = pixels(input);
  parameters.inputPlane = *input;
  parameters.outputPlane = *output;
  ASSERT_EQ(runEngine(&host.globals, &parameters), 0);
  parameters.inputPlane = *shared;
  parameters.outputPlane = *shared;
  ASSERT_EQ(runEngine(&host.globals, &parameters), 0);
  EXPECT_EQ(pixels(shared), pixels(output));
  EXPECT_NE(pixels(output), original);
  EXPECT_EQ(pixels(input), original);
  for (ImagePlane* plane : {input, output, shared})
    destroyPlane(handleMemory(&host.globals), plane);
}

TEST_F(EngineRun, OutOfMemoryWritesNothingAndReportsIt) {
  for (int allowed = 0; allowed < 3; ++allowed) {
    ImagePlane* input = makePlane();
    ImagePlane* output = makePlane();
    std::vector<uint8> before = pixels(output);
    parameters.inputPlane = *input;
    parameters.outputPlane = *output;
    gAllocationsLeft = allowed;
    EXPECT_EQ(runEngine(&host.globals, &parameters), -108) << allowed;
    gAllocationsLeft = 1 << 30;
    EXPECT_EQ(pixels(output), before) << allowed;
    destroyPlane(handleMemory(&host.globals), input);
    destroyPlane(handleMemory(&host.globals), output);
  }
}

TEST_F(EngineRun, OnlyTheInnerRectangleChanges) {
  ImagePlane* input = makePlane();
  ImagePlane* output = makePlane();
  std::vector<uint8> before = pixels(output);
  parameters.inputPlane = *input;
  parameters.outputPlane = *output;
  ASSERT_EQ(runEngine(&host.globals, &parameters), 0);
  std::vector<uint8> after = pixels(output);
  for (int32 y = 0; y < 50; ++y) {
    for (int32 x = 0; x < 60; ++x) {
      bool inside = x >= 12 && x < 48 && y >= 12 && y < 38;
      if (inside) continue;
      size_t at = size_t(y * 60 + x) * 3;
      ASSERT_EQ(std::memcmp(&after[at], &before[at], 3), 0) << x << "," << y;
    }
  }
  destroyPlane(handleMemory(&host.globals), input);
  destroyPlane(handleMemory(&host.globals), output);
}

}  // namespace
