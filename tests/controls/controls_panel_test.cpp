// A small panel of every kind of control, drawn through one paint cycle and saved as a picture
// (build/artifacts/controls_panel.png); destroying it must leave no drawing object behind.
#include <gtest/gtest.h>

#include <memory>

#include "controls/bitmap_button.h"
#include "controls/number_box.h"
#include "controls/text_label.h"
#include "controls/window_mover.h"
#include "controls/window_panel.h"
#include "tests/controls/window_fixture.h"

namespace {

constexpr COLORREF kPanel = RGB(236, 233, 226);

class PanelPicture : public WindowTest {
 protected:
  HBITMAP load(const char* name) {
    HBITMAP b = LoadBitmapA(nullptr, name);
    if (b) bitmaps.push_back(b);
    return b;
  }
  static SIZE sizeOf(HBITMAP b) {
    BITMAP info{};
    GetObjectA(b, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
  }
  BitmapButton* button(WindowPanel& panel, int x, int y, const char* normal, const char* pressed) {
    HBITMAP n = load(normal);
    HBITMAP p = load(pressed);
    if (!n) n = solidBitmap(40, 18, kBlue);
    if (!p) p = solidBitmap(40, 18, kRed);
    const SIZE s = sizeOf(n);
    auto* b = panel.add(std::make_unique<BitmapButton>(x, y, s.cx, s.cy, ControlFlags::Active,
                                                       &panel, n, p, nullptr));
    return b;
  }
  TextLabel* label(WindowPanel& panel, int x, int y, const char* text, uint32_t align,
                   int offsetX) {
    auto* l = panel.add(std::make_unique<TextLabel>(x, y, 120, 14, ControlFlags::Active, &panel,
                                                    text, "Arial", 400, window, offsetX, 0, align));
    return l;
  }
  // The paint cycle of a dialog: mark by the update rectangle, then draw from the root.
  void paint(WindowPanel& panel, const Rect16& update) {
    panel.onPaint(update);
    panel.draw({0, 0}, window);
  }
};

TEST_F(PanelPicture, DrawsEveryKindAndLeavesNothingBehind) {
  auto* panel = new WindowPanel(0, 0, 240, 120, ControlFlags::Active, nullptr, window,
                                solidBitmap(240, 120, kPanel));
  BitmapButton* ok = button(*panel, 20, 80, "OK_BUTTON", "PRESSED_OK_BUTTON");
  BitmapButton* cancel = button(*panel, 130, 80, "CANCEL_BUTTON", "PRESSED_CANCEL_BUTTON");
  label(*panel, 10, 12, "Print Width", TA_LEFT, 0);
  label(*panel, 10, 32, "Print Height", TA_LEFT, 0);
  label(*panel, 10, 56, "Resolution: 300 dpi", TA_LEFT, 0)->setColor(90, 90, 90);
  auto* width =
      panel->add(std::make_unique<NumberBox>(120, 12, 100, 14, ControlFlags::Focusable, panel, 210,
                                             1, 600, nullptr, "Arial", 400, " mm", 0));
  auto* height =
      panel->add(std::make_unique<NumberBox>(120, 32, 100, 14, ControlFlags::Focusable, panel, 297,
                                             1, 600, nullptr, "Arial", 400, " mm", 0));
  panel->add(std::make_unique<WindowMover>(0, 0, 240, 120, ControlFlags::Active, panel, 0, 0, 240,
                                           120, window));

  paint(*panel, {0, 0, 120, 240});
  EXPECT_EQ(at(5, 5), kPanel);
  EXPECT_NE(at(ok->x + 2, ok->y + 2), kPanel) << "the OK button is drawn";

  // Focus the width box and type a new value; hold the Cancel button down with the right
  // button, which leaves the focus where it is.
  panel->onButtonDown({150, 15}, MouseButton::Left);
  panel->onButtonUp({150, 15}, MouseButton::Left);
  for (char16_t k : {u'1', u'5', u'0'}) panel->onKey(k);
  const COLORREF cancelNormal = at(cancel->x + cancel->width / 2, cancel->y + 3);
  panel->onButtonDown({cancel->x + 3, cancel->y + 3}, MouseButton::Right);
  EXPECT_TRUE(cancel->isPressed());
  EXPECT_NE(at(cancel->x + cancel->width / 2, cancel->y + 3), cancelNormal);
  EXPECT_STREQ(width->label()->text(), "150 mm");
  EXPECT_STREQ(height->label()->text(), "297 mm");
  EXPECT_EQ(panel->focused, width);

  // A repaint of a part of the window redraws only what it touches, over the same picture.
  paint(*panel, {30, 100, 50, 230});
  const std::string path = drv::savePng(window, "controls_panel.png");
  EXPECT_FALSE(path.empty());

  delete panel;
  for (auto kind : {drv::Object::Font, drv::Object::Pen, drv::Object::Region, drv::Object::Brush,
                    drv::Object::DeviceContext}) {
    EXPECT_EQ(drv::liveObjects(kind), 0) << "kind " << int(kind);
  }
  EXPECT_EQ(drv::liveObjects(drv::Object::Bitmap), int(bitmaps.size()))
      << "the controls never delete the bitmaps they show";
}

}  // namespace
