// The host's preview services: advanceState sampling the document (and the selection mask) at
// the requested rate from rectangles in reduced coordinates, preview buffers never written
// back, displayPixels turning pixel maps into the device context's pixels, and the real main
// dialog showing the document through them.
#include <gtest/gtest.h>

#include <functional>

#include "host/entry_point.h"
#include "hostapi/constants.h"
#include "hostapp/display_services.h"
#include "hostapp/filter_run.h"
#include "hostapp/gradient_picture.h"
#include "platform/driver.h"

namespace drv = platform::driver;

namespace {

constexpr Fixed kOne = 1 << 16;

// 6 x 5 RGB with every sample distinct: red 10x + y, green 100 + 10x + y, blue 200 + x + y.
PixelDocument sixByFive() {
  PixelDocument document;
  document.description.width = 6;
  document.description.height = 5;
  document.description.mode = plugInModeRGBColor;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x)
      for (int sample : {10 * x + y, 100 + 10 * x + y, 200 + x + y})
        document.pixels.push_back(uint8(sample));
  return document;
}

// The selection mask of sixByFive: each pixel's own value, so a sampled mask shows where it
// was read.
std::vector<uint8> distinctMask() {
  std::vector<uint8> mask;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) mask.push_back(uint8(x * 16 + y));
  return mask;
}

// A stand-in module whose Start makes one preview request the way the dialog's pane does,
// keeps what advanceState delivered, scribbles over outData and asks for no tiles.
struct PreviewProbe {
  Rect rect{};
  Fixed inputRate = 0;
  Fixed maskRate = 0;
  int16 padding = 0;  // the pane's: samples outside the document are 0
  OSErr answer = 1;
  std::vector<uint8> input;
  std::vector<uint8> mask;
  int32 inRowBytes = 0;
  bool haveMask = false;

  static PreviewProbe*& current() {
    static PreviewProbe* probe = nullptr;
    return probe;
  }

  static void HOSTAPI_CALL entry(int16 selector, void* block, intptr_t*, int16* result) {
    *result = noErr;
    if (selector != filterSelectorStart) return;
    auto* record = static_cast<FilterRecord*>(block);
    PreviewProbe& probe = *current();
    record->inRect = record->outRect = record->maskRect = probe.rect;
    record->inputRate = probe.inputRate;
    record->maskRate = probe.maskRate;
    record->inLoPlane = record->outLoPlane = 0;
    record->inHiPlane = record->outHiPlane = int16(record->planes - 1);
    record->inputPadding = record->outputPadding = record->maskPadding = probe.padding;
    probe.answer = record->advanceState();
    probe.haveMask = record->haveMask != 0;
    probe.inRowBytes = record->inRowBytes;
    int32 rows = probe.rect.bottom - probe.rect.top;
    if (probe.answer != noErr) return;
    const auto* in = static_cast<const uint8*>(record->inData);
    probe.input.assign(in, in + size_t(rows) * size_t(record->inRowBytes));
    if (record->maskData) {
      const auto* m = static_cast<const uint8*>(record->maskData);
      probe.mask.assign(m, m + size_t(rows) * size_t(record->maskRowBytes));
    }
    std::fill_n(static_cast<uint8*>(record->outData), size_t(rows) * size_t(record->outRowBytes),
                uint8(0xEE));
    record->inRect = record->outRect = record->maskRect = Rect{0, 0, 0, 0};
  }
};

struct SampledPixel {
  int x, y;  // document pixel
};

std::vector<uint8> documentSamples(const PixelDocument& d, const std::vector<SampledPixel>& at) {
  std::vector<uint8> samples;
  for (const SampledPixel& p : at)
    for (int c = 0; c < 3; ++c)
      samples.push_back(d.pixels[(size_t(p.y) * 6 + size_t(p.x)) * 3 + size_t(c)]);
  return samples;
}

TEST(PreviewSampling, RequestsInReducedCoordinatesReadEveryRateThPixelAndAreNeverWrittenBack) {
  struct Case {
    const char* name;
    Rect rect;
    Fixed rate;
    std::vector<SampledPixel> pixels;  // row by row
  };
  const Case cases[] = {
      {"rate 2, whole scaled document",
       {0, 0, 2, 3},
       2 * kOne,
       {{0, 0}, {2, 0}, {4, 0}, {0, 2}, {2, 2}, {4, 2}}},
      {"rate 2, offset", {1, 1, 2, 3}, 2 * kOne, {{2, 2}, {4, 2}}},
      {"rate 3", {0, 0, 1, 2}, 3 * kOne, {{0, 0}, {3, 0}}},
      {"rate 3, second row", {1, 1, 2, 2}, 3 * kOne, {{3, 3}}},
      {"rate 0 reads as 1", {3, 4, 5, 6}, 0, {{4, 3}, {5, 3}, {4, 4}, {5, 4}}},
      {"rate 1", {0, 5, 1, 6}, kOne, {{5, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PixelDocument document = sixByFive();
    const PixelDocument before = document;
    HostServices services;
    services.selectionMask = distinctMask();
    PreviewProbe probe;
    probe.rect = c.rect;
    probe.inputRate = probe.maskRate = c.rate;
    PreviewProbe::current() = &probe;
    FilterHost host(&PreviewProbe::entry, &document, services);
    RunResult result = host.run(RunRequest{});
    ASSERT_EQ(probe.answer, noErr);
    EXPECT_EQ(result.result, noErr);
    EXPECT_EQ(host.continueCalls(), 0);
    EXPECT_EQ(probe.inRowBytes, (c.rect.right - c.rect.left) * 3);
    EXPECT_EQ(probe.input, documentSamples(before, c.pixels));
    EXPECT_TRUE(probe.haveMask);
    std::vector<uint8> expectedMask;
    for (const SampledPixel& p : c.pixels) expectedMask.push_back(uint8(p.x * 16 + p.y));
    EXPECT_EQ(probe.mask, expectedMask);
    EXPECT_EQ(document.pixels, before.pixels);
  }
}

TEST(PreviewSampling, AMaskIsOfferedOnlyWhenTheHostHasOneAndSamplesOutsideAreRefused) {
  PixelDocument document = sixByFive();
  PreviewProbe probe;
  probe.rect = Rect{0, 0, 3, 4};  // at rate 2 the last column would be 6 of 0..5
  probe.inputRate = probe.maskRate = 2 * kOne;
  probe.padding = plugInWantsErrorOnBoundsException;
  PreviewProbe::current() = &probe;
  FilterHost host(&PreviewProbe::entry, &document, HostServices());
  host.run(RunRequest{});
  EXPECT_FALSE(probe.haveMask);
  EXPECT_NE(probe.answer, noErr);
}

PSPixelMap rgbMap(const uint8* pixels, VRect bounds, int32 rowBytes) {
  PSPixelMap map{};
  map.version = 1;
  map.bounds = bounds;
  map.imageMode = plugInModeRGBColor;
  map.rowBytes = rowBytes;
  map.colBytes = 3;
  map.planeBytes = 1;
  map.baseAddr = const_cast<uint8*>(pixels);
  return map;
}

// The DIB as top-down rows of red, green, blue, without padding.
std::vector<uint8> rgbRows(const DisplayBitmap& bitmap) {
  std::vector<uint8> rows;
  size_t stride = (size_t(bitmap.width) * 3 + 3) & ~size_t(3);
  for (int32 y = bitmap.height - 1; y >= 0; --y)
    for (int32 x = 0; x < bitmap.width; ++x)
      for (int c = 2; c >= 0; --c)
        rows.push_back(bitmap.bits[size_t(y) * stride + size_t(x) * 3 + size_t(c)]);
  return rows;
}

TEST(DisplayPixels, PixelMapsBecomeBottomUpBgrRowsOfTheSourceRectangle) {
  // 3 x 2 RGB in rows of 12 bytes (3 bytes of padding), bounds starting at (10, 20).
  const uint8 pixels[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,
                          11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
  const uint8 planar[] = {1, 4, 7, 11, 14, 17, 2, 5, 8, 12, 15, 18, 3, 6, 9, 13, 16, 19};
  const uint8 gray[] = {50, 60, 70, 80, 90, 100};
  const uint8 mask[] = {255, 0, 255, 255, 51, 255};
  PSPixelMask simple{nullptr, const_cast<uint8*>(mask), 3, 1, kSimplePSMask};
  PSPixelMask inverted{nullptr, const_cast<uint8*>(mask), 3, 1, kInvertPSMask};
  const VRect bounds{10, 20, 12, 23};
  struct Case {
    const char* name;
    std::function<PSPixelMap()> map;
    VRect source;
    bool ok;
    int32 width, height;
    std::vector<uint8> rgb;
  };
  const Case cases[] = {
      {"interleaved, padded rows",
       [&] { return rgbMap(pixels, bounds, 12); },
       bounds,
       true,
       3,
       2,
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19}},
      {"part of it",
       [&] { return rgbMap(pixels, bounds, 12); },
       {11, 21, 12, 23},
       true,
       2,
       1,
       {14, 15, 16, 17, 18, 19}},
      {"clipped to the bounds",
       [&] { return rgbMap(pixels, bounds, 12); },
       {0, 22, 11, 99},
       true,
       1,
       1,
       {7, 8, 9}},
      {"outside the bounds",
       [&] { return rgbMap(pixels, bounds, 12); },
       {0, 0, 5, 5},
       true,
       0,
       0,
       {}},
      {"planar",
       [&] {
         PSPixelMap map = rgbMap(planar, bounds, 3);
         map.colBytes = 1;
         map.planeBytes = 6;
         return map;
       },
       bounds,
       true,
       3,
       2,
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19}},
      {"grayscale",
       [&] {
         PSPixelMap map = rgbMap(gray, bounds, 3);
         map.imageMode = plugInModeGrayScale;
         map.colBytes = 1;
         return map;
       },
       {10, 21, 11, 23},
       true,
       2,
       1,
       {60, 60, 60, 70, 70, 70}},
      {"mask against white",
       [&] {
         PSPixelMap map = rgbMap(pixels, bounds, 12);
         map.masks = &simple;
         return map;
       },
       {10, 20, 11, 22},
       true,
       2,
       1,
       {1, 2, 3, 255, 255, 255}},
      {"inverted mask",
       [&] {
         PSPixelMap map = rgbMap(pixels, bounds, 12);
         map.masks = &inverted;
         return map;
       },
       {11, 21, 12, 22},
       true,
       1,
       1,
       {62, 63, 64}},
      {"a version 0 map has no masks",
       [&] {
         PSPixelMap map = rgbMap(pixels, bounds, 12);
         map.version = 0;
         map.masks = &simple;
         return map;
       },
       {10, 21, 11, 22},
       true,
       1,
       1,
       {4, 5, 6}},
      {"indexed colour is not shown",
       [&] {
         PSPixelMap map = rgbMap(pixels, bounds, 12);
         map.imageMode = plugInModeIndexedColor;
         return map;
       },
       bounds,
       false,
       0,
       0,
       {}},
      {"no pixels", [&] { return rgbMap(nullptr, bounds, 12); }, bounds, false, 0, 0, {}},
      {"no row bytes", [&] { return rgbMap(pixels, bounds, 0); }, bounds, false, 0, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DisplayBitmap bitmap;
    EXPECT_EQ(convertPixelMap(c.map(), c.source, &bitmap), c.ok);
    EXPECT_EQ(bitmap.width, c.width);
    EXPECT_EQ(bitmap.height, c.height);
    EXPECT_EQ(rgbRows(bitmap), c.rgb);
  }
}

class DisplayPixelsInWindow : public ::testing::Test {
 protected:
  void SetUp() override { drv::reset(); }
  void TearDown() override { drv::reset(); }
};

TEST_F(DisplayPixelsInWindow, TheSourceRectangleLandsAtTheDestinationRowAndColumn) {
  const uint8 pixels[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,
                          11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
  PSPixelMap map = rgbMap(pixels, VRect{10, 20, 12, 23}, 12);
  HWND window = drv::createWindow(20, 20);
  HDC dc = GetDC(window);
  VRect source{10, 21, 12, 23};
  EXPECT_EQ(displayPixelMap(&map, &source, 5, 7, dc), noErr);
  EXPECT_EQ(drv::pixel(window, 7, 5), RGB(4, 5, 6));
  EXPECT_EQ(drv::pixel(window, 8, 5), RGB(7, 8, 9));
  EXPECT_EQ(drv::pixel(window, 7, 6), RGB(14, 15, 16));
  EXPECT_EQ(drv::pixel(window, 8, 6), RGB(17, 18, 19));
  EXPECT_NE(drv::pixel(window, 9, 5), RGB(1, 2, 3));
  EXPECT_NE(drv::pixel(window, 6, 5), RGB(1, 2, 3));
  EXPECT_EQ(displayPixelMap(&map, &source, 0, 0, nullptr), filterBadParameters);
  EXPECT_EQ(displayPixelMap(nullptr, &source, 0, 0, dc), filterBadParameters);
  EXPECT_EQ(displayPixelMap(&map, nullptr, 0, 0, dc), filterBadParameters);
  ReleaseDC(window, dc);
}

// The real dialog through the host: the pane shows the document through advanceState and
// displayPixels, and OK gives the same pixels as a run without the dialog, so nothing the
// preview fetched was written back.
TEST_F(DisplayPixelsInWindow, TheMainDialogShowsThePictureAndOkSharpensLikeARunWithout) {
  const struct {
    const char* name;
    int32 width, height;
    Rect selection;
  } cases[] = {
      {"whole document at 1:4", 1000, 700, {0, 0, 0, 0}},
      {"selection at 1:1", 300, 200, {20, 30, 180, 250}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    drv::reset();
    PixelDocument withDialog = gradientPicture(c.width, c.height);
    withDialog.description.filterRect = c.selection;
    PixelDocument without = withDialog;
    bool paneShowsPicture = false;
    drv::queueCall([&] {
      HWND dialog = drv::findWindow("MAINDIALOG");
      ASSERT_NE(dialog, nullptr);
      // The middle of the pane holds the picture, not the white of an empty pane.
      COLORREF centre = drv::pixel(dialog, 232 + 126, 71 + 109);
      paneShowsPicture = centre != RGB(255, 255, 255) && centre != CLR_INVALID;
      drv::savePng(dialog, "main_dialog_host_native.png");
    });
    drv::queueClick(465, 334, "MAINDIALOG");
    FilterHost dialogHost(ENTRYPOINT, &withDialog, HostServices());
    RunRequest request;
    request.withDialog = true;
    RunResult result = dialogHost.run(request);
    ASSERT_EQ(result.result, noErr);
    EXPECT_TRUE(paneShowsPicture);
    EXPECT_TRUE(drv::failures().empty());

    FilterHost plainHost(ENTRYPOINT, &without, HostServices());
    RunRequest replay;
    replay.replay = &result.action;
    ASSERT_EQ(plainHost.run(replay).result, noErr);
    EXPECT_EQ(withDialog.pixels, without.pixels);
  }
}

}  // namespace
