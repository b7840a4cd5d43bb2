// The host's services behind the FilterRecord: colour conversion (formula and LittleCMS),
// tile buffers with sampling and padding, and the descriptor suite's key array.
#include <gtest/gtest.h>

#include "hostapi/constants.h"
#include "hostapp/color_services.h"
#include "hostapp/descriptor_services.h"
#include "hostapp/tile_buffers.h"

namespace {

constexpr int16 kRgb = plugIncolorServicesRGBSpace;
constexpr int16 kCmyk = plugIncolorServicesCMYKSpace;
constexpr int16 kLab = plugIncolorServicesLabSpace;
constexpr int16 kGray = plugIncolorServicesGraySpace;

struct Color {
  int16 c[4];
};

Color convert(ColorEngine& engine, int16 from, int16 to, Color color) {
  EXPECT_TRUE(engine.convert(from, to, color.c));
  return color;
}

TEST(FormulaColors, EveryRgbColourSurvivesTheRoundTripThroughCmyk) {
  std::unique_ptr<ColorEngine> engine = makeFormulaColorEngine();
  for (int r = 0; r < 256; r += 5)
    for (int g = 0; g < 256; g += 3)
      for (int b = 0; b < 256; b += 7) {
        Color rgb{{int16(r), int16(g), int16(b), 0}};
        Color back = convert(*engine, kCmyk, kRgb, convert(*engine, kRgb, kCmyk, rgb));
        ASSERT_EQ(back.c[0], r);
        ASSERT_EQ(back.c[1], g);
        ASSERT_EQ(back.c[2], b);
      }
}

// White is no ink and black is all key on both engines; Lab's neutral axis sits at a, b 128.
TEST(ColorEngines, FixedPointsOfEverySpace) {
  std::unique_ptr<ColorEngine> formula = makeFormulaColorEngine();
  std::string error;
  std::unique_ptr<ColorEngine> lcms = makeLcmsColorEngine({}, plugInModeRGBColor, &error);
  ASSERT_NE(lcms, nullptr) << error;
  for (ColorEngine* engine : {formula.get(), lcms.get()}) {
    Color white = convert(*engine, kRgb, kCmyk, Color{{255, 255, 255, 0}});
    EXPECT_EQ(white.c[0], 255);
    EXPECT_EQ(white.c[3], 255);
    Color gray = convert(*engine, kRgb, kGray, Color{{255, 255, 255, 0}});
    EXPECT_EQ(gray.c[0], 255);
    Color lab = convert(*engine, kRgb, kLab, Color{{128, 128, 128, 0}});
    EXPECT_NEAR(lab.c[1], 128, 1);
    EXPECT_NEAR(lab.c[2], 128, 1);
    Color black = convert(*engine, kLab, kRgb, Color{{0, 128, 128, 0}});
    EXPECT_LE(black.c[0], 2);
    Color unknown{{1, 2, 3, 4}};
    EXPECT_FALSE(engine->convert(plugIncolorServicesHSBSpace, kRgb, unknown.c));
    EXPECT_EQ(unknown.c[0], 1);
  }
}

TEST(ColorServicesProc, CountsCallsAndRefusesMalformedRequests) {
  std::unique_ptr<ColorEngine> engine = makeFormulaColorEngine();
  ColorServices services(engine.get());
  ColorServicesInfo info{};
  info.infoSize = sizeof(info);
  info.selector = plugIncolorServicesConvertColor;
  info.sourceSpace = kRgb;
  info.resultSpace = kGray;
  info.colorComponents[0] = info.colorComponents[1] = info.colorComponents[2] = 200;
  EXPECT_EQ(services.proc()(&info), noErr);
  EXPECT_EQ(info.colorComponents[0], 200);
  info.infoSize = 20;
  EXPECT_EQ(services.proc()(&info), paramErr);
  info.infoSize = sizeof(info);
  info.selector = plugIncolorServicesChooseColor;
  EXPECT_EQ(services.proc()(&info), errPlugInHostInsufficient);
  EXPECT_EQ(services.calls(), 3);
}

PixelDocument twoByTwo() {
  PixelDocument document;
  document.description.width = 2;
  document.description.height = 2;
  document.description.mode = plugInModeGrayScale;
  document.description.extraPlanes = 1;
  document.pixels = {10, 11, 20, 21, 30, 31, 40, 41};
  return document;
}

TEST(TileBuffers, PlanesSamplingAndPadding) {
  struct Case {
    const char* name;
    TileRequest request;
    bool ok;
    std::vector<uint8> bytes;
  };
  PixelDocument document = twoByTwo();
  for (const Case& c : {
           Case{"all planes", {{0, 0, 2, 2}, 0, 1, -3, 1}, true, {10, 11, 20, 21, 30, 31, 40, 41}},
           Case{"second plane", {{0, 1, 2, 2}, 1, 1, -3, 1}, true, {21, 41}},
           Case{"every second pixel", {{0, 0, 1, 1}, 0, 0, -3, 2}, true, {10}},
           Case{"sampled beyond the document", {{0, 0, 2, 2}, 0, 0, -3, 2}, false, {}},
           Case{"white padding", {{1, 1, 2, 3}, 0, 0, 255, 1}, true, {40, 255}},
           Case{"edge replication", {{-1, 1, 0, 3}, 0, 0, -1, 1}, true, {20, 20}},
           Case{"padding above and on both sides",
                {{-1, -1, 1, 3}, 0, 1, 7, 1},
                true,
                {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 10, 11, 20, 21, 7, 7}},
           Case{"edges replicated on both sides",
                {{1, -1, 2, 3}, 0, 1, -1, 1},
                true,
                {30, 31, 30, 31, 40, 41, 40, 41}},
           Case{"outside refused", {{1, 1, 2, 3}, 0, 0, -3, 1}, false, {}},
           Case{"planes beyond the document", {{0, 0, 1, 1}, 0, 2, -3, 1}, false, {}},
           Case{"empty rectangle", {{1, 1, 1, 2}, 0, 1, -3, 1}, true, {}},
       }) {
    SCOPED_TRACE(c.name);
    TileBuffer buffer;
    EXPECT_EQ(fillTileBuffer(document, document.pixels, c.request, &buffer), c.ok);
    EXPECT_EQ(buffer.bytes, c.bytes);
  }
}

TEST(TileBuffers, WriteBackStaysInsideTheArea) {
  PixelDocument document = twoByTwo();
  TileRequest request{{0, 0, 2, 2}, 0, 0, -3, 1};
  TileBuffer buffer{{1, 2, 3, 4}, 2};
  writeTileBuffer(document, request, buffer, Rect{0, 1, 2, 2}, &document.pixels);
  EXPECT_EQ(document.pixels, (std::vector<uint8>{10, 11, 2, 21, 30, 31, 4, 41}));
  TileRequest allPlanes{{0, 0, 2, 2}, 0, 1, -3, 1};
  TileBuffer whole{{1, 2, 3, 4, 5, 6, 7, 8}, 4};
  writeTileBuffer(document, allPlanes, whole, Rect{0, 1, 2, 2}, &document.pixels);
  EXPECT_EQ(document.pixels, (std::vector<uint8>{10, 11, 3, 4, 30, 31, 7, 8}));
}

TEST(DescriptorServicesProcs, DeliveredKeysAreMarkedInTheFiltersArray) {
  DescriptorServices services;
  RecordedAction action = {{fourCharCode("par2"), kIntegerType, 4},
                           {fourCharCode("Amnt"), kIntegerType, 1}};
  services.prepareRun(&action, false);
  PIDescriptorParameters* parameters = services.parameters();
  DescriptorKeyID keys[] = {fourCharCode("par1"), fourCharCode("par2"), 0};
  ReadDescriptorProcs* procs = parameters->readDescriptorProcs;
  PIReadDescriptor reader = procs->openReadDescriptorProc(parameters->descriptor, keys);
  ASSERT_NE(reader, nullptr);
  DescriptorKeyID key = 0;
  DescriptorTypeID type = 0;
  int32 flags = 0;
  int32 value = 0;
  ASSERT_TRUE(procs->getKeyProc(reader, &key, &type, &flags));
  EXPECT_EQ(procs->getIntegerProc(reader, &value), noErr);
  EXPECT_EQ(value, 4);
  ASSERT_TRUE(procs->getKeyProc(reader, &key, &type, &flags));
  EXPECT_FALSE(procs->getKeyProc(reader, &key, &type, &flags));
  EXPECT_EQ(procs->closeReadDescriptorProc(reader), noErr);
  EXPECT_EQ(keys[0], fourCharCode("par1"));
  EXPECT_EQ(keys[1], fourCharCode("null"));
  EXPECT_EQ(services.openReaders(), 0);
}

}  // namespace
