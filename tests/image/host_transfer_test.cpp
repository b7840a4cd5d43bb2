#include "image/host_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fake_color_host.h"
#include "image/color_cache.h"
#include "image/color_conversion.h"
#include "image/image_plane.h"

namespace {

constexpr int32 kWidth = 6;
constexpr int32 kHeight = 5;
constexpr int32 kPadding = 3;  // bytes after each row that no transfer may touch

const Rect kArea = {10, 20, 10 + kHeight, 20 + kWidth};
const Rect kInner = {11, 21, 9 + kHeight, 19 + kWidth};

// A locked 6 x 5 plane at document position (20, 10) with padded rows, each byte distinct.
ImagePlane* makePlane(FakeColorHost& host, int16 mode, int32 channels, uint8 seed) {
  int32 rowBytes = kWidth * channels + kPadding;
  ImagePlane* plane =
      createPlane(handleMemory(&host.globals), kWidth, kHeight, channels, 0, 1, mode, rowBytes);
  EXPECT_NE(plane, nullptr);
  *plane->bounds = kArea;
  plane->area = kArea;
  plane->inner = kInner;
  EXPECT_TRUE(lockPlane(handleMemory(&host.globals), plane));
  for (int32 i = 0; i < kHeight * rowBytes; ++i) (*plane->pixelAddress)[i] = uint8(seed + i * 7);
  return plane;
}

// Every byte of a locked plane's rows, padding included.
std::vector<uint8> bytesOf(const ImagePlane& plane) {
  const uint8* start = *plane.pixelAddress;
  return std::vector<uint8>(start, start + size_t(planeRows(plane)) * size_t(*plane.rowBytes));
}

const uint8* pixelAt(const ImagePlane& plane, int32 column, int32 row) {
  return *plane.pixelAddress + row * *plane.rowBytes + column * plane.channels;
}

struct TransferCase {
  const char* name;
  int16 mode;
  int32 channels;  // the mode's channels plus any extra plane
  int32 acceleration;
};

// What the host's conversion gives for a pixel of `from` channels into a space.
std::vector<uint8> hostColor(const uint8* pixel, int from, int to, int space) {
  std::vector<uint8> color;
  for (int i = 0; i < to; ++i) color.push_back(FakeColorHost::converted(pixel, from, i, space));
  return color;
}

std::vector<uint8> expectedRgb(const TransferCase& c, const uint8* pixel) {
  if (c.mode == plugInModeGrayScale) return {pixel[0], pixel[0], pixel[0]};
  if (c.mode == plugInModeCMYKColor && c.acceleration != 0) return {pixel[0], pixel[1], pixel[3]};
  int from = c.mode == plugInModeCMYKColor ? 4 : 3;
  return hostColor(pixel, from, 3, plugIncolorServicesRGBSpace);
}

// The target pixel after writing back `rgb` over `original`: only the mode's channels change.
std::vector<uint8> expectedWritten(const TransferCase& c, const uint8* original, const uint8* rgb) {
  std::vector<uint8> pixel(original, original + c.channels);
  if (c.mode == plugInModeGrayScale) {
    pixel[0] = rgb[0];
  } else if (c.mode == plugInModeCMYKColor && c.acceleration != 0) {
    pixel[0] = rgb[0];
    pixel[1] = rgb[1];
    pixel[3] = rgb[2];
  } else {
    int to = c.mode == plugInModeCMYKColor ? 4 : 3;
    int space =
        c.mode == plugInModeCMYKColor ? plugIncolorServicesCMYKSpace : plugIncolorServicesLabSpace;
    std::vector<uint8> color = hostColor(rgb, 3, to, space);
    std::copy(color.begin(), color.end(), pixel.begin());
  }
  return pixel;
}

class HostTransfer : public ::testing::TestWithParam<TransferCase> {};

TEST_P(HostTransfer, ReadsAsRgbAndWritesBackInTheDocumentsMode) {
  const TransferCase& c = GetParam();
  FakeColorHost host(c.mode);
  host.globals.colors.acceleration = c.acceleration;
  createColorCaches(pixelServices(&host.globals), host.record.imageMode);
  ImagePlane* source = makePlane(host, c.mode, c.channels, 3);
  std::vector<uint8> original = bytesOf(*source);

  ImagePlane* rgb = readPlaneAsRgb(pixelServices(&host.globals), *source);
  ASSERT_NE(rgb, nullptr);
  EXPECT_EQ(*rgb->pixelAddress, nullptr);  // handed back unlocked
  ASSERT_TRUE(lockPlane(handleMemory(&host.globals), rgb));
  EXPECT_EQ(*rgb->mode, plugInModeRGBColor);
  EXPECT_EQ(rgb->channels, 3);
  EXPECT_EQ(*rgb->rowBytes, kWidth * 3);
  EXPECT_EQ(rgb->step, 1);
  EXPECT_EQ(std::vector<int16>({rgb->area.top, rgb->area.left, rgb->inner.top, rgb->inner.right}),
            std::vector<int16>({kArea.top, kArea.left, kInner.top, kInner.right}));
  EXPECT_EQ(bytesOf(*source), original);
  for (int32 row = 0; row < kHeight; ++row)
    for (int32 column = 0; column < kWidth; ++column) {
      const uint8* got = pixelAt(*rgb, column, row);
      EXPECT_EQ(std::vector<uint8>(got, got + 3), expectedRgb(c, pixelAt(*source, column, row)))
          << column << "," << row;
    }

  // Write back a different RGB picture so that every written channel shows, but for every
  // fourth pixel, which the filter is taken to have left as it was.
  ImagePlane* sharpened = makePlane(host, plugInModeRGBColor, 3, 101);
  for (int32 row = 0; row < kHeight; ++row)
    for (int32 column = (row % 4); column < kWidth; column += 4)
      std::copy_n(pixelAt(*rgb, column, row), 3,
                  *sharpened->pixelAddress + row * *sharpened->rowBytes + column * 3);
  ASSERT_TRUE(writeBackFromRgb(pixelServices(&host.globals), source, *sharpened, *rgb));
  EXPECT_EQ(*source->mode, c.mode);
  EXPECT_EQ(source->channels, c.channels);
  const uint8* before = original.data();
  int32 rowBytes = *source->rowBytes;
  for (int32 row = 0; row < kHeight; ++row) {
    for (int32 column = 0; column < kWidth; ++column) {
      const uint8* got = pixelAt(*source, column, row);
      const uint8* unfiltered = before + row * rowBytes + column * c.channels;
      const std::vector<uint8> expected =
          column % 4 == row % 4 ? std::vector<uint8>(unfiltered, unfiltered + c.channels)
                                : expectedWritten(c, unfiltered, pixelAt(*sharpened, column, row));
      EXPECT_EQ(std::vector<uint8>(got, got + c.channels), expected) << column << "," << row;
    }
    for (int32 i = kWidth * c.channels; i < rowBytes; ++i)
      EXPECT_EQ((*source->pixelAddress)[row * rowBytes + i], before[row * rowBytes + i]);
  }
  EXPECT_EQ(host.globals.colors.toRgbCache->table, nullptr);
  EXPECT_EQ(host.globals.colors.fromRgbCache->table, nullptr);
  for (ImagePlane* plane : {source, rgb, sharpened})
    destroyPlane(handleMemory(&host.globals), plane);
  destroyColorCaches(host.globals.colors);
  EXPECT_EQ(host.handlesLive, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, HostTransfer,
    ::testing::Values(TransferCase{"gray", plugInModeGrayScale, 1, 0},
                      TransferCase{"grayWithTransparency", plugInModeGrayScale, 2, 1},
                      TransferCase{"cmyk", plugInModeCMYKColor, 4, 0},
                      TransferCase{"cmykWithTransparency", plugInModeCMYKColor, 5, 0},
                      TransferCase{"cmykAccelerated", plugInModeCMYKColor, 4, 1},
                      TransferCase{"cmykAcceleratedWithTransparency", plugInModeCMYKColor, 5, 1},
                      TransferCase{"lab", plugInModeLabColor, 3, 0},
                      TransferCase{"labWithTransparency", plugInModeLabColor, 4, 1}),
    [](const ::testing::TestParamInfo<TransferCase>& info) { return info.param.name; });

// Fills a locked plane with a repeating run of colours.
void paint(ImagePlane* plane, const std::vector<std::vector<uint8>>& colors) {
  int index = 0;
  for (int32 row = 0; row < kHeight; ++row)
    for (int32 column = 0; column < kWidth; ++column) {
      const std::vector<uint8>& color = colors[size_t(index++) % colors.size()];
      std::copy(color.begin(), color.begin() + plane->channels,
                *plane->pixelAddress + row * *plane->rowBytes + column * plane->channels);
    }
}

size_t conversionsOf(const FakeColorHost& host, int16 sourceSpace) {
  size_t count = 0;
  for (const ColorServicesInfo& info : host.conversions) count += info.sourceSpace == sourceSpace;
  return count;
}

// CMYK and Lab colours go to the host once each while the caches hold them; without cache
// tables every pixel goes to the host but one with the colour of the pixel before it in its row
// (the Lab picture's rows run A B A A B A: one repeat a row).
TEST(HostTransferCalls, HostIsAskedOncePerCachedColour) {
  const struct {
    const char* name;
    int16 mode;
    int32 channels;
    int refusedAllocations;
    size_t reads;   // host conversions into RGB for 30 pixels of 3 colours
    size_t writes;  // and back, for 30 pixels of 2 colours
  } cases[] = {{"cmyk", plugInModeCMYKColor, 4, 0, 3, 2},
               {"cmykWithoutCacheTables", plugInModeCMYKColor, 4, 2, 30, 30},
               {"lab", plugInModeLabColor, 3, 0, 2, 2},  // its 1st and 3rd colours are one
               {"labWithoutCacheTables", plugInModeLabColor, 3, 2, 25, 30}};
  for (const auto& c : cases) {
    FakeColorHost host(c.mode);
    host.allocationsToRefuse = c.refusedAllocations;
    createColorCaches(pixelServices(&host.globals), host.record.imageMode);
    host.conversions.clear();
    int16 space = int16(host.globals.colors.colorSpaceOfMode[c.mode]);
    ImagePlane* source = makePlane(host, c.mode, c.channels, 0);
    paint(source, {{10, 20, 30, 40}, {200, 0, 9, 255}, {10, 20, 30, 41}});
    ImagePlane* rgb = readPlaneAsRgb(pixelServices(&host.globals), *source);
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(conversionsOf(host, space), c.reads) << c.name;
    ASSERT_TRUE(lockPlane(handleMemory(&host.globals), rgb));
    ImagePlane* sharpened = makePlane(host, plugInModeRGBColor, 3, 0);
    paint(sharpened, {{1, 2, 3}, {250, 128, 0}});
    ASSERT_TRUE(writeBackFromRgb(pixelServices(&host.globals), source, *sharpened, *rgb));
    EXPECT_EQ(conversionsOf(host, plugIncolorServicesRGBSpace), c.writes) << c.name;
    for (ImagePlane* plane : {source, rgb, sharpened})
      destroyPlane(handleMemory(&host.globals), plane);
    destroyColorCaches(host.globals.colors);
  }
}

// A host without colour services can still take grayscale and accelerated CMYK; anything that
// needs it is refused and its target left exactly as it was.
TEST(HostTransferCalls, HostWithoutColourServices) {
  const struct {
    int16 mode;
    int32 channels;
    int32 acceleration;
    bool possible;
  } cases[] = {{plugInModeGrayScale, 1, 0, true},
               {plugInModeCMYKColor, 4, 1, true},
               {plugInModeCMYKColor, 4, 0, false},
               {plugInModeLabColor, 3, 0, false}};
  for (const auto& c : cases) {
    FakeColorHost host(c.mode, false);
    host.globals.colors.acceleration = c.acceleration;
    createColorCaches(pixelServices(&host.globals), host.record.imageMode);
    EXPECT_EQ(canTransferMode(pixelServices(&host.globals), c.mode), c.possible) << c.mode;
    ImagePlane* source = makePlane(host, c.mode, c.channels, 5);
    std::vector<uint8> original = bytesOf(*source);
    ImagePlane* rgb = readPlaneAsRgb(pixelServices(&host.globals), *source);
    EXPECT_EQ(rgb != nullptr, c.possible);
    ImagePlane* sharpened = makePlane(host, plugInModeRGBColor, 3, 99);
    EXPECT_EQ(writeBackFromRgb(pixelServices(&host.globals), source, *sharpened, *sharpened),
              c.possible);
    if (!c.possible) {
      EXPECT_EQ(bytesOf(*source), original);
    }
    for (ImagePlane* plane : {source, rgb, sharpened})
      destroyPlane(handleMemory(&host.globals), plane);
    destroyColorCaches(host.globals.colors);
    EXPECT_EQ(host.handlesLive, 0);
  }
}

// The host's way back from RGB is not the inverse of its way there (here as for real CMYK, many
// inks give one RGB colour): a pixel the filter left alone must keep its document colour, not
// take the one the host would give for its RGB, and only the changed pixel goes to the host.
TEST(HostTransferCalls, PixelsTheFilterLeftAloneKeepTheirDocumentColour) {
  for (int16 mode : {plugInModeCMYKColor, plugInModeLabColor}) {
    SCOPED_TRACE(mode);
    FakeColorHost host(mode);
    createColorCaches(pixelServices(&host.globals), host.record.imageMode);
    const int32 channels = mode == plugInModeCMYKColor ? 4 : 3;
    ImagePlane* source = makePlane(host, mode, channels, 11);
    const std::vector<uint8> original = bytesOf(*source);
    ImagePlane* rgb = readPlaneAsRgb(pixelServices(&host.globals), *source);
    ASSERT_NE(rgb, nullptr);
    ASSERT_TRUE(lockPlane(handleMemory(&host.globals), rgb));
    // The round trip would change the colours: the test shows nothing otherwise.
    const int space = host.globals.colors.colorSpaceOfMode[mode];
    int roundTripsChanged = 0;
    for (int32 column = 0; column < kWidth; ++column)
      roundTripsChanged += hostColor(pixelAt(*rgb, column, 0), 3, channels, space) !=
                           std::vector<uint8>(pixelAt(*source, column, 0),
                                              pixelAt(*source, column, 0) + channels);
    ASSERT_GT(roundTripsChanged, 0);

    ImagePlane* sharpened = copyPlane(handleMemory(&host.globals), *rgb);
    ASSERT_TRUE(sharpened != nullptr && lockPlane(handleMemory(&host.globals), sharpened));
    uint8* changed = *sharpened->pixelAddress + 2 * *sharpened->rowBytes + 3 * 3;
    changed[1] = uint8(changed[1] ^ 0x40);
    host.conversions.clear();
    ASSERT_TRUE(writeBackFromRgb(pixelServices(&host.globals), source, *sharpened, *rgb));
    EXPECT_EQ(host.conversions.size(), 1u);
    for (int32 row = 0; row < kHeight; ++row)
      for (int32 column = 0; column < kWidth; ++column) {
        const uint8* got = pixelAt(*source, column, row);
        const uint8* was = original.data() + row * *source->rowBytes + column * channels;
        const std::vector<uint8> expected = row == 2 && column == 3
                                                ? hostColor(changed, 3, channels, space)
                                                : std::vector<uint8>(was, was + channels);
        EXPECT_EQ(std::vector<uint8>(got, got + channels), expected) << column << "," << row;
      }
    for (ImagePlane* plane : {source, rgb, sharpened})
      destroyPlane(handleMemory(&host.globals), plane);
    destroyColorCaches(host.globals.colors);
  }
}

TEST(HostTransferCalls, RefusesAnUnlockedSource) {
  FakeColorHost host(plugInModeGrayScale);
  ImagePlane* source = makePlane(host, plugInModeGrayScale, 1, 0);
  unlockPlane(handleMemory(&host.globals), source);
  EXPECT_EQ(readPlaneAsRgb(pixelServices(&host.globals), *source), nullptr);
  destroyPlane(handleMemory(&host.globals), source);
}

}  // namespace
