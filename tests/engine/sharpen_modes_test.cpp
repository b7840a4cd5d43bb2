// runEngine on documents that are not RGB: grayscale, CMYK and Lab tiles go through the RGB
// working plane and come back in their own mode, only the tile's core is written, and a host
// that cannot convert colours gets its tile back unchanged.
#include <gtest/gtest.h>

#include <vector>

#include "../image/fake_color_host.h"
#include "camera_print.h"
#include "engine/sharpen.h"
#include "tests/engine/engine_run.h"
#include "host/filter_parameters.h"
#include "image/color_conversion.h"
#include "image/image_plane.h"

namespace {

constexpr int32 kWidth = 12;
constexpr int32 kHeight = 9;
constexpr int32 kBorder = 2;
constexpr uint8 kUnwritten = 0xEE;

// A vertical edge with a little texture, so that every channel has detail to sharpen.
uint8 sample(int32 column, int32 row, int32 channel) {
  int32 base = column < kWidth / 2 ? 60 : 190;
  return uint8(base + (row * 5 + column * 3 + channel * 17) % 23);
}

// A locked tile at document origin with a core inset by kBorder; channels filled by `fill`.
template <typename Fill>
ImagePlane* makeTile(FakeColorHost& host, int16 mode, int32 channels, Fill fill) {
  ImagePlane* plane =
      createPlane(handleMemory(&host.globals), kWidth, kHeight, channels, kBorder, 1, mode, 0);
  EXPECT_NE(plane, nullptr);
  EXPECT_TRUE(lockPlane(handleMemory(&host.globals), plane));
  for (int32 row = 0; row < kHeight; ++row)
    for (int32 column = 0; column < kWidth; ++column)
      for (int32 channel = 0; channel < channels; ++channel)
        (*plane->pixelAddress)[(row * kWidth + column) * channels + channel] =
            fill(column, row, channel);
  return plane;
}

std::vector<uint8> bytesOf(const ImagePlane& plane) {
  return std::vector<uint8>(*plane.pixelAddress,
                            *plane.pixelAddress + kWidth * kHeight * plane.channels);
}

bool inCore(int32 column, int32 row) {
  return column >= kBorder && column < kWidth - kBorder && row >= kBorder &&
         row < kHeight - kBorder;
}

// A document of the host's mode with the tile as input and a separate output buffer holding
// kUnwritten; runs the engine and hands back the output bytes.
struct EngineRun {
  FilterParameters parameters{};
  ImagePlane* input = nullptr;
  ImagePlane* output = nullptr;
  FakeColorHost& host;

  template <typename Fill>
  EngineRun(FakeColorHost& host, int32 channels, Fill fill) : host(host) {
    host.record.imageSize = Point{2000, 3000};
    parameters.settings = cameraPrint();
    createColorCaches(pixelServices(&host.globals), host.record.imageMode);
    int16 mode = host.record.imageMode;
    input = makeTile(host, mode, channels, fill);
    output = makeTile(host, mode, channels, [](int32, int32, int32) { return kUnwritten; });
    parameters.inputPlane = *input;
    parameters.outputPlane = *output;
  }
  ~EngineRun() {
    destroyPlane(handleMemory(&host.globals), input);
    destroyPlane(handleMemory(&host.globals), output);
    destroyColorCaches(host.globals.colors);
  }
  int16 run() { return runEngine(&host.globals, &parameters); }
};

// The output of an RGB document whose tile is `fill`.
template <typename Fill>
std::vector<uint8> sharpenedRgb(Fill fill) {
  FakeColorHost host(plugInModeRGBColor);
  EngineRun run(host, 3, fill);
  EXPECT_EQ(run.run(), 0);
  return bytesOf(*run.output);
}

// Grayscale and accelerated CMYK are plain channel copies to and from RGB, so their result must
// be the RGB result of the same channels; yellow, extra planes and everything outside the core
// stay as they were.
TEST(SharpenModes, ChannelCopyModesMatchTheRgbResult) {
  const struct {
    const char* name;
    int16 mode;
    int32 channels;
    std::vector<int32> rgbFrom;  // the document channel that becomes R, G and B and back
  } cases[] = {{"gray", plugInModeGrayScale, 1, {0, 0, 0}},
               {"grayWithTransparency", plugInModeGrayScale, 2, {0, 0, 0}},
               {"cmykAccelerated", plugInModeCMYKColor, 4, {0, 1, 3}},
               {"cmykAcceleratedWithTransparency", plugInModeCMYKColor, 5, {0, 1, 3}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8> rgb = sharpenedRgb([&](int32 column, int32 row, int32 channel) {
      return sample(column, row, c.rgbFrom[size_t(channel)]);
    });
    FakeColorHost host(c.mode);
    host.globals.colors.acceleration = 1;
    EngineRun run(host, c.channels, sample);
    ASSERT_EQ(run.run(), 0);
    std::vector<uint8> got = bytesOf(*run.output);
    for (int32 row = 0; row < kHeight; ++row)
      for (int32 column = 0; column < kWidth; ++column)
        for (int32 channel = 0; channel < c.channels; ++channel) {
          uint8 expected = inCore(column, row) ? sample(column, row, channel) : kUnwritten;
          // Gray is written back from red alone.
          int32 written = c.mode == plugInModeGrayScale ? 1 : 3;
          for (int32 i = 0; i < written; ++i)
            if (inCore(column, row) && c.rgbFrom[size_t(i)] == channel)
              expected = rgb[size_t((row * kWidth + column) * 3 + i)];
          EXPECT_EQ(got[size_t((row * kWidth + column) * c.channels + channel)], expected)
              << column << "," << row << " channel " << channel;
        }
    EXPECT_EQ(*run.parameters.outputPlane.mode, c.mode);
  }
}

// Colours converted by the host: the core is the RGB result of the host's RGB picture, converted
// back into the document's space; the rest of the output is not written.
TEST(SharpenModes, HostConvertedModesComeBackInTheirOwnSpace) {
  for (int16 mode : {plugInModeLabColor, plugInModeCMYKColor}) {
    SCOPED_TRACE(mode);
    FakeColorHost host(mode);
    int32 channels = host.globals.colors.channelsOfMode[mode];
    int32 space = host.globals.colors.colorSpaceOfMode[mode];
    EngineRun run(host, channels, sample);
    ASSERT_EQ(run.run(), 0);
    std::vector<uint8> got = bytesOf(*run.output);
    std::vector<uint8> rgb = sharpenedRgb([&](int32 column, int32 row, int32 channel) {
      uint8 pixel[4];
      for (int32 i = 0; i < channels; ++i) pixel[i] = sample(column, row, i);
      return FakeColorHost::converted(pixel, channels, channel, plugIncolorServicesRGBSpace);
    });
    for (int32 row = 0; row < kHeight; ++row)
      for (int32 column = 0; column < kWidth; ++column)
        for (int32 channel = 0; channel < channels; ++channel) {
          const uint8* sharpened = &rgb[size_t((row * kWidth + column) * 3)];
          uint8 expected = inCore(column, row)
                               ? FakeColorHost::converted(sharpened, 3, channel, space)
                               : kUnwritten;
          EXPECT_EQ(got[size_t((row * kWidth + column) * channels + channel)], expected)
              << column << "," << row << " channel " << channel;
        }
  }
}

TEST(SharpenModes, HostWithoutColourServicesGetsItsCoreBackUnchanged) {
  for (int16 mode : {plugInModeLabColor, plugInModeCMYKColor}) {
    FakeColorHost host(mode, false);
    int32 channels = host.globals.colors.channelsOfMode[mode];
    EngineRun run(host, channels, sample);
    ASSERT_EQ(run.run(), 0);
    std::vector<uint8> got = bytesOf(*run.output);
    for (int32 row = 0; row < kHeight; ++row)
      for (int32 column = 0; column < kWidth; ++column)
        for (int32 channel = 0; channel < channels; ++channel)
          EXPECT_EQ(got[size_t((row * kWidth + column) * channels + channel)],
                    inCore(column, row) ? sample(column, row, channel) : kUnwritten);
  }
}

// The working plane, its sharpened copy, the write-back copy and the blurred copy: wherever
// memory runs out, the output is left alone.
TEST(SharpenModes, OutOfMemoryWritesNothing) {
  for (int allowed = 0; allowed < 4; ++allowed) {
    FakeColorHost host(plugInModeGrayScale);
    EngineRun run(host, 1, sample);
    host.allocationsLeft = allowed;
    EXPECT_EQ(run.run(), kEngineOutOfMemory) << allowed;
    std::vector<uint8> got = bytesOf(*run.output);
    EXPECT_EQ(got, std::vector<uint8>(got.size(), kUnwritten)) << allowed;
    host.allocationsLeft = -1;
  }
}

}  // namespace
