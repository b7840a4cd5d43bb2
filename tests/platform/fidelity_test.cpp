// The comparison scene drawn through the stand-in. Its picture and text boxes are saved for the
// Windows program, which draws the same scene with real GDI under Wine and compares (the
// native tests run first). Here: the scene leaves no object behind and its text boxes follow
// the alignment rules.
#include "fidelity/picture.h"
#include "fidelity/scene.h"
#include "platform_fidelity_paths.h"
#include "platform_fixture.h"

namespace drv = platform::driver;

namespace {

Picture capture(HWND window) {
  Picture picture;
  picture.width = sceneWidth;
  picture.height = sceneHeight;
  for (int y = 0; y < sceneHeight; ++y)
    for (int x = 0; x < sceneWidth; ++x) {
      COLORREF c = drv::pixel(window, x, y);
      picture.rgb.push_back(uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 |
                            GetBValue(c));
    }
  return picture;
}

std::vector<Box> textBoxes(HWND window, HDC dc) {
  RECT all = {0, 0, sceneWidth, sceneHeight};
  std::vector<Box> boxes;
  for (int i = 0; i < sceneTextCount; ++i) {
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Picture blank = capture(window);
    drawSceneText(dc, i);
    boxes.push_back(changedBox(blank, capture(window)));
  }
  return boxes;
}

// The Windows picture of an earlier run, when there is one, as a PNG beside the native one.
void saveWindowsPictureAsPng() {
  Picture windows;
  std::string native = fidelityNativePicture;
  if (!readPpm(native.substr(0, native.rfind('/')) + "/fidelity_win32.ppm", windows)) return;
  std::vector<COLORREF> pixels;
  for (uint32_t c : windows.rgb) pixels.push_back(RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
  HBITMAP bitmap = drv::createBitmap(windows.width, windows.height, pixels.data());
  drv::savePng(bitmap, "fidelity_win32.png");
  DeleteObject(bitmap);
}

}  // namespace

using Fidelity = PlatformTest;

TEST_F(Fidelity, NativeSceneIsSavedForTheWindowsComparison) {
  HWND window = drv::createWindow(sceneWidth, sceneHeight);
  HDC dc = GetDC(window);
  drawScene(dc, true);
  Picture scene = capture(window);
  EXPECT_FALSE(drv::savePng(window, "fidelity_native.png").empty());
  std::vector<Box> boxes = textBoxes(window, dc);
  ReleaseDC(window, dc);
  EXPECT_EQ(drv::liveObjects(), 0);
  ASSERT_TRUE(writePpm(scene, fidelityNativePicture));
  ASSERT_TRUE(writeBoxes(boxes, fidelityNativeText));
  saveWindowsPictureAsPng();
  // Right-aligned items end at their anchor, left-aligned ones start at it.
  EXPECT_EQ(boxes[2].right, 200);  // opaque: the cell ends exactly at the anchor
  EXPECT_EQ(boxes[5].right, 312);
  EXPECT_EQ(boxes[1].left, 8);
  // Opaque cells are exactly ascent + descent high, anchored by top or baseline.
  EXPECT_EQ(boxes[2].top, 170);
  EXPECT_EQ(boxes[2].bottom - boxes[2].top, 12);
  EXPECT_LT(boxes[1].top, 160);
  EXPECT_GT(boxes[1].bottom, 160);
}
