// The host's displayPixels for documents that are not RGB: CMYK and Lab pixel maps are turned
// into screen RGB by the host's colour engine (the active colour services' engine, else the
// formula engine), masks still weigh the converted colour against white, and the real dialog
// shows a CMYK and a Lab document in its preview.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "host/entry_point.h"
#include "hostapi/constants.h"
#include "hostapp/color_services.h"
#include "hostapp/display_services.h"
#include "hostapp/filter_run.h"
#include "platform/driver.h"

namespace drv = platform::driver;

namespace {

PSPixelMap mapOf(const uint8* pixels, int32 mode, int32 columns, int32 colBytes) {
  PSPixelMap map{};
  map.version = 1;
  map.bounds = VRect{0, 0, 1, columns};
  map.imageMode = mode;
  map.rowBytes = columns * colBytes;
  map.colBytes = colBytes;
  map.planeBytes = 1;
  map.baseAddr = const_cast<uint8*>(pixels);
  return map;
}

// The DIB's pixels as red, green, blue from left to right (one row).
std::vector<uint8> rgbOf(const DisplayBitmap& bitmap) {
  std::vector<uint8> rgb;
  for (int32 x = 0; x < bitmap.width; ++x)
    for (int c = 2; c >= 0; --c) rgb.push_back(bitmap.bits[size_t(x) * 3 + size_t(c)]);
  return rgb;
}

// The formula engine's screen colour of one Lab pixel.
std::vector<uint8> formulaRgbOfLab(uint8 l, uint8 a, uint8 b) {
  int16 components[4] = {l, a, b, 0};
  makeFormulaColorEngine()->convert(plugIncolorServicesLabSpace, plugIncolorServicesRGBSpace,
                                    components);
  return {uint8(components[0]), uint8(components[1]), uint8(components[2])};
}

// An engine that paints everything one colour, or refuses every conversion.
class FixedEngine : public ColorEngine {
 public:
  explicit FixedEngine(bool refuses) : refuses_(refuses) {}
  bool convert(int16, int16 resultSpace, int16 components[4]) override {
    ++calls;
    if (refuses_ || resultSpace != plugIncolorServicesRGBSpace) return false;
    components[0] = 10, components[1] = 20, components[2] = 30;
    return true;
  }
  int calls = 0;

 private:
  bool refuses_;
};

TEST(DisplayColors, CmykAndLabMapsAreShownInScreenRgb) {
  // CMYK in the documents' inverted form (255 no ink), with an extra plane that is not shown.
  const uint8 cmyk[] = {255, 255, 255, 255, 9, 0,   255, 255, 255, 9,
                        255, 55,  255, 255, 9, 255, 255, 255, 0,   9};
  const uint8 lab[] = {255, 128, 128, 0, 128, 128, 140, 170, 100};
  // The same CMYK colours with each ink in a plane of its own.
  const uint8 planarCmyk[] = {255, 0,   255, 255, 255, 255, 55,  255,
                              255, 255, 255, 255, 255, 255, 255, 0};
  const uint8 mask[] = {255, 0, 255, 255};
  PSPixelMask halfMask{nullptr, const_cast<uint8*>(mask), 4, 1, kSimplePSMask};
  const std::vector<uint8> cmykRgb = {255, 255, 255, 0, 255, 255, 255, 55, 255, 0, 0, 0};
  std::vector<uint8> labRgb = {255, 255, 255, 0, 0, 0};
  const std::vector<uint8> chromatic = formulaRgbOfLab(140, 170, 100);
  labRgb.insert(labRgb.end(), chromatic.begin(), chromatic.end());
  struct Case {
    const char* name;
    PSPixelMap map;
    std::vector<uint8> rgb;
  };
  PSPixelMap planar = mapOf(planarCmyk, plugInModeCMYKColor, 4, 1);
  planar.planeBytes = 4;
  PSPixelMap masked = mapOf(cmyk, plugInModeCMYKColor, 4, 5);
  masked.masks = &halfMask;
  const Case cases[] = {
      {"CMYK with an extra plane", mapOf(cmyk, plugInModeCMYKColor, 4, 5), cmykRgb},
      {"planar CMYK", planar, cmykRgb},
      {"CMYK under a mask", masked, {255, 255, 255, 255, 255, 255, 255, 55, 255, 0, 0, 0}},
      {"Lab", mapOf(lab, plugInModeLabColor, 3, 3), labRgb},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DisplayBitmap bitmap;
    ASSERT_TRUE(convertPixelMap(c.map, c.map.bounds, &bitmap));
    EXPECT_EQ(rgbOf(bitmap), c.rgb);
  }
}

TEST(DisplayColors, TheHostsEngineConvertsAndTheFormulaStandsInWhenItRefuses) {
  const uint8 cmyk[] = {0, 255, 255, 255, 0, 255, 255, 255};
  const uint8 rgb[] = {1, 2, 3};
  FixedEngine painter(false), refuser(true);
  DisplayBitmap bitmap;
  ASSERT_TRUE(
      convertPixelMap(mapOf(cmyk, plugInModeCMYKColor, 2, 4), {0, 0, 1, 2}, &bitmap, &painter));
  EXPECT_EQ(rgbOf(bitmap), (std::vector<uint8>{10, 20, 30, 10, 20, 30}));
  EXPECT_EQ(painter.calls, 1) << "a run of one colour is converted once";

  ASSERT_TRUE(
      convertPixelMap(mapOf(cmyk, plugInModeCMYKColor, 2, 4), {0, 0, 1, 2}, &bitmap, &refuser));
  EXPECT_EQ(rgbOf(bitmap), (std::vector<uint8>{0, 255, 255, 0, 255, 255}));

  painter.calls = 0;
  ASSERT_TRUE(
      convertPixelMap(mapOf(rgb, plugInModeRGBColor, 1, 3), {0, 0, 1, 1}, &bitmap, &painter));
  EXPECT_EQ(rgbOf(bitmap), (std::vector<uint8>{1, 2, 3}));
  EXPECT_EQ(painter.calls, 0) << "RGB needs no conversion";

  const uint8 indexed[] = {7};
  EXPECT_FALSE(convertPixelMap(mapOf(indexed, plugInModeIndexedColor, 1, 1), {0, 0, 1, 1}, &bitmap,
                               &painter));
  EXPECT_FALSE(convertPixelMap(mapOf(indexed, plugInModeMultichannel, 1, 1), {0, 0, 1, 1}, &bitmap,
                               &painter));
}

class DisplayColorsInWindow : public ::testing::Test {
 protected:
  void SetUp() override { drv::reset(); }
  void TearDown() override { drv::reset(); }
};

// displayPixels draws through the engine of the colour services the host has active.
TEST_F(DisplayColorsInWindow, DisplayPixelsUsesTheActiveColourServices) {
  const uint8 cmyk[] = {0, 255, 255, 255};
  PSPixelMap map = mapOf(cmyk, plugInModeCMYKColor, 1, 4);
  HWND window = drv::createWindow(8, 8);
  HDC dc = GetDC(window);
  {
    FixedEngine painter(false);
    ColorServices services(&painter);
    EXPECT_EQ(displayPixelMap(&map, &map.bounds, 1, 1, dc), noErr);
    EXPECT_EQ(drv::pixel(window, 1, 1), RGB(10, 20, 30));
  }
  EXPECT_EQ(displayPixelMap(&map, &map.bounds, 2, 2, dc), noErr);
  EXPECT_EQ(drv::pixel(window, 2, 2), RGB(0, 255, 255)) << "no colour services: the formula";
  ReleaseDC(window, dc);
}

// A document of one flat colour: sharpening leaves it as it is, so the preview's middle shows
// exactly the document's colour on screen.
PixelDocument flatDocument(int16 mode, std::vector<uint8> pixel) {
  PixelDocument document;
  document.description.width = 400;
  document.description.height = 300;
  document.description.mode = mode;
  for (int32 i = 0; i < 400 * 300; ++i)
    document.pixels.insert(document.pixels.end(), pixel.begin(), pixel.end());
  return document;
}

TEST_F(DisplayColorsInWindow, TheMainDialogPreviewsCmykAndLabDocuments) {
  const std::vector<uint8> labRgb = formulaRgbOfLab(140, 170, 100);
  const struct {
    const char* name;
    int16 mode;
    std::vector<uint8> pixel;
    COLORREF screen;
    const char* picture;
  } cases[] = {
      {"CMYK",
       plugInModeCMYKColor,
       {255, 55, 255, 255},
       RGB(255, 55, 255),
       "main_dialog_cmyk_native.png"},
      {"Lab",
       plugInModeLabColor,
       {140, 170, 100},
       RGB(labRgb[0], labRgb[1], labRgb[2]),
       "main_dialog_lab_native.png"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    drv::reset();
    PixelDocument document = flatDocument(c.mode, c.pixel);
    std::unique_ptr<ColorEngine> formula = makeFormulaColorEngine();
    HostServices services;
    services.colors = formula.get();
    COLORREF centre = CLR_INVALID;
    drv::queueCall([&] {
      HWND dialog = drv::findWindow("MAINDIALOG");
      ASSERT_NE(dialog, nullptr);
      centre = drv::pixel(dialog, 232 + 126, 71 + 109);
      drv::savePng(dialog, c.picture);
    });
    drv::queueClick(465, 334, "MAINDIALOG");
    FilterHost host(ENTRYPOINT, &document, services);
    RunRequest request;
    request.withDialog = true;
    ASSERT_EQ(host.run(request).result, noErr);
    EXPECT_TRUE(drv::failures().empty());
    EXPECT_EQ(centre, c.screen);
  }
}

}  // namespace
