// The comparison scene drawn by real GDI (under Wine) into a 32-bit DIB section, saved beside
// the native picture and compared with it: pixels outside text must be equal, text boxes must
// agree within one pixel. Exit status 0 when they agree. Argument: the artefacts folder.
#include "tests/platform/fidelity/picture.h"
#include "tests/platform/fidelity/scene.h"

#include <cstdio>
#include <cstring>

namespace {

struct Canvas {
  HDC dc = nullptr;
  HBITMAP dib = nullptr;
  const uint8_t* bits = nullptr;
};

Canvas makeCanvas() {
  BITMAPINFO info;
  std::memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = sceneWidth;
  info.bmiHeader.biHeight = -sceneHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  Canvas canvas;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  canvas.dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  canvas.dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  SelectObject(canvas.dc, canvas.dib);
  canvas.bits = static_cast<const uint8_t*>(bits);
  return canvas;
}

Picture capture(const Canvas& canvas) {
  GdiFlush();
  Picture picture;
  picture.width = sceneWidth;
  picture.height = sceneHeight;
  for (int i = 0; i < sceneWidth * sceneHeight; ++i) {
    const uint8_t* p = canvas.bits + i * 4;
    picture.rgb.push_back(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
  }
  return picture;
}

std::vector<Box> textBoxes(const Canvas& canvas) {
  RECT all = {0, 0, sceneWidth, sceneHeight};
  std::vector<Box> boxes;
  for (int i = 0; i < sceneTextCount; ++i) {
    FillRect(canvas.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Picture blank = capture(canvas);
    drawSceneText(canvas.dc, i);
    boxes.push_back(changedBox(blank, capture(canvas)));
  }
  return boxes;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? argv[1] : ".";
  Canvas canvas = makeCanvas();
  if (!canvas.bits) {
    std::printf("FAIL: no DIB section\n");
    return 1;
  }
  drawScene(canvas.dc, true);
  Picture scene = capture(canvas);
  std::vector<Box> boxes = textBoxes(canvas);
  writePpm(scene, dir + "/fidelity_win32.ppm");
  writeBoxes(boxes, dir + "/fidelity_win32_text.txt");
  DeleteDC(canvas.dc);
  DeleteObject(canvas.dib);

  Picture native;
  std::vector<Box> nativeBoxes;
  if (!readPpm(dir + "/fidelity_native.ppm", native) ||
      !readBoxes(dir + "/fidelity_native_text.txt", nativeBoxes)) {
    std::printf("FAIL: the native picture is missing; run the native tests first\n");
    return 1;
  }
  std::vector<std::string> differences = compareScenes(native, nativeBoxes, scene, boxes);
  for (size_t i = 0; i < differences.size() && i < 40; ++i)
    std::printf("%s\n", differences[i].c_str());
  std::printf("%s: %u differences\n", differences.empty() ? "PASS" : "FAIL",
              unsigned(differences.size()));
  return differences.empty() ? 0 : 1;
}
