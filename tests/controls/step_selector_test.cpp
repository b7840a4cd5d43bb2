// Popup lists and step selectors: the popup's layout, hovering and picking inside the nested
// modal loop of the popup window, releases outside every picture, Init and setValue, a popup
// window that cannot be made, and a picture of an open popup.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/step_selector.h"
#include "controls/window_panel.h"
#include "tests/controls/window_fixture.h"

namespace {

constexpr int32_t kPictures = 5;
constexpr int32_t kPictureWidth = 30, kPictureHeight = 24;
constexpr int32_t kSelectorX = 17, kSelectorY = 50, kSelectorWidth = 186;
const int32_t kValues[kPictures] = {1, 2, 3, 4, 5};

struct ChangeLog {
  int calls = 0;
  Control* first = nullptr;
};

// A change callback that counts its calls and keeps the first link.
StepSelectorChange recordChange(ChangeLog& log) {
  return [&log](Control* const* links) {
    ++log.calls;
    log.first = links[0];
    return 1u;
  };
}

class StepSelectorTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    const COLORREF shades[kPictures] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200),
                                        RGB(200, 200, 0), RGB(0, 200, 200)};
    for (int i = 0; i < kPictures; ++i) {
      normal[i] = solidBitmap(kPictureWidth, kPictureHeight, shades[i]);
      pressed[i] = solidBitmap(kPictureWidth, kPictureHeight, RGB(40 * i, 40 * i, 40 * i));
    }
    panel = std::make_unique<WindowPanel>(0, 0, 240, 120, ControlFlags::Active, nullptr, window,
                                          solidBitmap(240, 120, kWhite));
  }
  void TearDown() override {
    panel.reset();
    WindowTest::TearDown();
  }

  StepSelector* selector(const char* popupTemplate = "POPUP2") {
    StepSelector::Options o = options(normal, pressed);
    o.popupTemplate = popupTemplate;
    o.linkCount = 2;
    o.onChange = recordChange(log);
    auto* s = panel->add(std::make_unique<StepSelector>(kSelectorX, kSelectorY, kSelectorWidth, 30,
                                                        ControlFlags::Active, panel.get(), o));
    panel->onInit();
    log = {};
    changed = false;
    return s;
  }
  // The Eye Distance selector of the dialog, with the given pictures.
  StepSelector::Options options(const HBITMAP* up, const HBITMAP* down) {
    StepSelector::Options o;
    o.caption = "Eye Distance";
    o.count = kPictures;
    o.normalBitmaps = up;
    o.pressedBitmaps = down;
    o.values = kValues;
    o.bound = &bound;
    o.changed = &changed;
    o.popupTemplate = "POPUP2";
    o.window = window;
    o.weight = 400;
    return o;
  }
  // Item i's centre in the popup window's client coordinates.
  static int32_t itemRow(int32_t i) { return i * (kPictureHeight - 1) + kPictureHeight / 2; }
  void hover(int32_t item) { drv::queueMouse(WM_MOUSEMOVE, 15, itemRow(item)); }
  void releaseAt(int32_t x, int32_t y) { drv::queueMouse(WM_LBUTTONUP, x, y); }
  // Presses the selector's button as the dialog would: the press runs the whole popup.
  void pressButton(StepSelector* s) {
    const PressButton* b = s->button();
    ASSERT_NE(b, nullptr);
    panel->onButtonDown({kSelectorX + b->x + 5, kSelectorY + 5}, MouseButton::Left);
  }
  HBITMAP shownPicture(StepSelector* s) { return s->button() ? s->button()->bitmap() : nullptr; }

  HBITMAP normal[kPictures] = {};
  HBITMAP pressed[kPictures] = {};
  std::unique_ptr<WindowPanel> panel;
  int32_t bound = 2;
  bool changed = false;
  ChangeLog log;
};

TEST_F(StepSelectorTest, PopupOfFivePicturesOverlapsByOneRow) {
  PopupList list(0, 0, 0, -1, ControlFlags::Inactive, nullptr, normal, pressed, &bound, kValues,
                 &changed, kPictures);
  EXPECT_EQ(list.height, 5 * 23 + 1);
  EXPECT_EQ(list.width, kPictureWidth);
  for (int32_t i = 0; i < kPictures; ++i) {
    EXPECT_EQ(list.itemAt(i)->y, 23 * i) << "item " << i;
    EXPECT_EQ(list.itemAt(i)->x, 0) << "item " << i;
  }
  PopupList spaced(0, 0, 4, 3, ControlFlags::Inactive, nullptr, normal, pressed, &bound, kValues,
                   &changed, 2);
  EXPECT_EQ(spaced.width, kPictureWidth + 8);
  EXPECT_EQ(spaced.height, 3 + 2 * (kPictureHeight + 3));
  EXPECT_EQ(spaced.itemAt(1)->y, 3 + kPictureHeight + 3);
  EXPECT_EQ(spaced.itemAt(1)->x, 4);
}

TEST_F(StepSelectorTest, ConstructionAndInitShowTheBoundChoice) {
  StepSelector* s = selector();
  EXPECT_EQ(s->value(), 2);
  EXPECT_EQ(shownPicture(s), normal[1]);
  EXPECT_EQ(s->button()->x, kSelectorWidth - kPictureWidth + 1);
  EXPECT_EQ(s->button()->y, 17 - kPictureHeight);
  EXPECT_FALSE(s->popup()->flags.active);

  bound = 5;
  panel->onInit();
  EXPECT_EQ(shownPicture(s), normal[4]);
  EXPECT_EQ(log.calls, 1) << "Init always notifies";
  EXPECT_EQ(log.first, s);
}

TEST_F(StepSelectorTest, UnknownValueKeepsTheButtonAndTheSetting) {
  StepSelector* s = selector();
  EXPECT_EQ(s->setValue(9, 1), 0);
  EXPECT_EQ(bound, 2);
  EXPECT_EQ(shownPicture(s), normal[1]) << "the selector can still be opened";
  EXPECT_EQ(log.calls, 0);
  EXPECT_EQ(s->setValue(4, 0), 1);
  EXPECT_EQ(bound, 4);
  EXPECT_EQ(shownPicture(s), normal[3]);
  EXPECT_EQ(log.calls, 0);
}

TEST_F(StepSelectorTest, OpensBesideTheButtonAndPicksTheReleasedPicture) {
  StepSelector* s = selector();
  RECT placed{};
  bool firstReleased = false, secondHeld = false;
  hover(1);
  hover(3);
  drv::queueCall([&] {
    HWND popup = drv::findWindow("POPUP2");
    GetWindowRect(popup, &placed);
    firstReleased = !s->popup()->itemAt(1)->isPressed();
    secondHeld = s->popup()->itemAt(3)->isPressed();
  });
  releaseAt(15, itemRow(3));
  pressButton(s);

  EXPECT_TRUE(drv::failures().empty()) << drv::failures().front();
  EXPECT_EQ(placed.left, kSelectorX + kSelectorWidth - kPictureWidth + 1 + 5);
  EXPECT_EQ(placed.top, kSelectorY + 17 - kPictureHeight + 5);
  EXPECT_EQ(placed.right - placed.left, kPictureWidth);
  EXPECT_EQ(placed.bottom - placed.top, 5 * 23 + 1);
  EXPECT_TRUE(firstReleased) << "the item left behind shows its normal picture";
  EXPECT_TRUE(secondHeld);
  EXPECT_EQ(bound, 4);
  EXPECT_TRUE(changed);
  EXPECT_EQ(log.calls, 1);
  EXPECT_EQ(shownPicture(s), normal[3]);
  EXPECT_FALSE(s->popup()->flags.active);
  EXPECT_EQ(s->captured, nullptr);
  EXPECT_EQ(drv::findWindow("POPUP2"), nullptr) << "the popup window is gone";
}

// The popup's place is worked out from the dialog's client origin on the screen, so it must
// follow the dialog wherever the dialog stands, not only at the screen's corner.
TEST_F(StepSelectorTest, PopupOpensBesideTheButtonWhereverTheDialogStands) {
  const POINT owners[] = {{0, 0}, {100, 50}, {640, 700}};
  for (const POINT& owner : owners) {
    const std::string where = std::to_string(owner.x) + ", " + std::to_string(owner.y);
    ASSERT_TRUE(MoveWindow(window, owner.x, owner.y, 240, 120, FALSE));
    StepSelector* s = selector();
    RECT placed{};
    drv::queueCall([&] { GetWindowRect(drv::findWindow("POPUP2"), &placed); });
    releaseAt(15, itemRow(1));
    pressButton(s);
    EXPECT_TRUE(drv::failures().empty()) << where;
    EXPECT_EQ(placed.left, owner.x + kSelectorX + s->button()->x + 5) << where;
    EXPECT_EQ(placed.top, owner.y + kSelectorY + s->button()->y + 5) << where;
    EXPECT_EQ(placed.right - placed.left, kPictureWidth) << where;
    EXPECT_EQ(placed.bottom - placed.top, 5 * 23 + 1) << where;
    panel->remove(s);
  }
}

// Anything may repaint the dialog while the popup is open (a window moved across it, a screen
// capture): the list is then drawn again in its own window, never into the dialog beside the
// selector, where it would hide the caption or lie under it.
TEST_F(StepSelectorTest, RepaintingTheDialogUnderAnOpenPopupLeavesNoCopyOfTheList) {
  StepSelector* s = selector();
  const POINT inDialog{kSelectorX + 15, kSelectorY + itemRow(1)};
  COLORREF dialogPixel = CLR_INVALID, popupPixel = CLR_INVALID;
  hover(2);
  drv::queueCall([&] {
    Rect16 everything{0, 0, 120, 240};
    panel->onPaint(everything);
    panel->draw({0, 0}, window);
    dialogPixel = at(inDialog.x, inDialog.y);
    popupPixel = drv::pixel(drv::findWindow("POPUP2"), 15, itemRow(1));
  });
  releaseAt(15, itemRow(2));
  pressButton(s);
  EXPECT_TRUE(drv::failures().empty());
  EXPECT_EQ(dialogPixel, kWhite) << "no picture of the list in the dialog";
  EXPECT_EQ(popupPixel, drv::bitmapPixel(normal[1], 15, 12)) << "the list in its own window";
  EXPECT_EQ(bound, 3);
}

// The dialog holds the mouse capture when its selector button is pressed, and opening the popup
// cancels modes on the way. Once the popup is shown it must own the pointer: moves over the
// dialog then reach the popup and hold the picture under the pointer.
TEST_F(StepSelectorTest, TheShownPopupHoldsTheCaptureTheDialogHad) {
  StepSelector* s = selector();
  SetCapture(window);
  const int32_t left = kSelectorX + s->button()->x + 5, top = kSelectorY + s->button()->y + 5;
  const LPARAM overItem3 = MAKELPARAM(left + 15, top + itemRow(3));
  HWND popup = nullptr, capture = nullptr;
  bool held = false;
  drv::queueMessageTo(window, WM_MOUSEMOVE, MK_LBUTTON, overItem3);
  drv::queueCall([&] {
    popup = drv::findWindow("POPUP2");
    capture = GetCapture();
    held = s->popup()->itemAt(3)->isPressed();
  });
  drv::queueMessageTo(window, WM_LBUTTONUP, 0, overItem3);
  pressButton(s);
  EXPECT_TRUE(drv::failures().empty());
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(capture, popup);
  EXPECT_TRUE(held) << "the picture under the pointer is pressed";
  EXPECT_EQ(bound, 4);
  EXPECT_EQ(GetCapture(), nullptr) << "the popup lets the pointer go when it closes";
}

TEST_F(StepSelectorTest, ReleasesThatPickNothingNew) {
  const struct {
    const char* name;
    int32_t hovered;
    int32_t releaseX, releaseY;
  } cases[] = {
      {"over the picture already chosen", 1, 15, itemRow(1)},
      {"outside every picture after hovering another", 4, 15, 200},
      {"left of the popup", 0, -20, itemRow(0)},
  };
  for (const auto& c : cases) {
    StepSelector* s = selector();
    hover(c.hovered);
    releaseAt(c.releaseX, c.releaseY);
    pressButton(s);
    EXPECT_TRUE(drv::failures().empty()) << c.name;
    EXPECT_EQ(bound, 2) << c.name;
    EXPECT_FALSE(changed) << c.name;
    EXPECT_EQ(shownPicture(s), normal[1]) << c.name << ": the button shows the setting";
    EXPECT_EQ(log.calls, 1) << c.name << ": every release reaches the callback";
    for (int32_t i = 0; i < kPictures; ++i)
      EXPECT_FALSE(s->popup()->itemAt(i)->isPressed()) << c.name << " item " << i;
    panel->remove(s);
  }
}

TEST_F(StepSelectorTest, TheNewButtonOpensThePopupAgain) {
  StepSelector* s = selector();
  hover(4);
  releaseAt(15, itemRow(4));
  pressButton(s);
  ASSERT_EQ(bound, 5);
  hover(0);
  releaseAt(15, itemRow(0));
  pressButton(s);
  EXPECT_TRUE(drv::failures().empty());
  EXPECT_EQ(bound, 1);
  EXPECT_EQ(shownPicture(s), normal[0]);
  EXPECT_EQ(log.calls, 2);
}

TEST_F(StepSelectorTest, APopupThatCannotBeMadeIsReportedAndChangesNothing) {
  StepSelector* s = selector("NO_SUCH_POPUP");
  pressButton(s);
  ASSERT_EQ(drv::messageBoxes().size(), 1u);
  EXPECT_EQ(drv::messageBoxes()[0].text, "dialog failure");
  EXPECT_EQ(drv::messageBoxes()[0].caption, "orv Brindlecraft 1.02");
  EXPECT_EQ(drv::messageBoxes()[0].owner, window);
  EXPECT_EQ(bound, 2);
  EXPECT_FALSE(changed);
  EXPECT_FALSE(s->popup()->flags.active);
  EXPECT_EQ(s->captured, nullptr);
  EXPECT_EQ(shownPicture(s), normal[1]);
}

// The popup over the dialog, as the user sees it: the popup window's pixels are copied onto
// the dialog's at the popup's screen position (both windows lie at the screen origin here).
void overlay(HWND dialog, HWND popup) {
  RECT at{};
  GetWindowRect(popup, &at);
  HDC dc = GetDC(dialog);
  for (int32_t y = 0; y < at.bottom - at.top; ++y)
    for (int32_t x = 0; x < at.right - at.left; ++x)
      SetPixel(dc, at.left + x, at.top + y, drv::pixel(popup, x, y));
  ReleaseDC(dialog, dc);
}

TEST_F(StepSelectorTest, PictureOfAnOpenPopupWithTheFilterPictures) {
  HBITMAP up[kPictures], down[kPictures];
  for (int i = 0; i < kPictures; ++i) {
    const std::string n = std::to_string(i + 1);
    up[i] = LoadBitmapA(nullptr, ("FILTER_BUTTONUP2_BITMAP" + n).c_str());
    down[i] = LoadBitmapA(nullptr, ("FILTER_BUTTONDOWN2_BITMAP" + n).c_str());
    ASSERT_NE(up[i], nullptr) << n;
    ASSERT_NE(down[i], nullptr) << n;
    bitmaps.push_back(up[i]);
    bitmaps.push_back(down[i]);
  }
  auto* s = panel->add(std::make_unique<StepSelector>(kSelectorX, kSelectorY, kSelectorWidth, 30,
                                                      ControlFlags::Active, panel.get(),
                                                      options(up, down)));
  panel->onInit();
  Rect16 all{0, 0, 120, 240};
  panel->onPaint(all);
  panel->draw({0, 0}, window);
  ValidateRect(window, nullptr);
  EXPECT_FALSE(drv::savePng(window, "fields_step_selector.png").empty());

  std::string picture;
  COLORREF held = 0;
  BITMAP size{};
  GetObjectA(up[0], sizeof size, &size);
  const int32_t middle = size.bmHeight / 2;
  drv::queueMouse(WM_MOUSEMOVE, size.bmWidth / 2, 2 * (size.bmHeight - 1) + middle);
  drv::queueCall([&] {
    drv::paintPending();
    HWND popup = drv::findWindow("POPUP2");
    held = drv::pixel(popup, 1, 2 * (size.bmHeight - 1) + middle);
    overlay(window, popup);
    picture = drv::savePng(window, "fields_step_popup_open.png");
  });
  releaseAt(size.bmWidth / 2, 2 * (size.bmHeight - 1) + middle);
  pressButton(s);
  EXPECT_TRUE(drv::failures().empty());
  EXPECT_FALSE(picture.empty());
  EXPECT_EQ(held, drv::bitmapPixel(down[2], 1, middle)) << "the hovered picture is pressed";
  EXPECT_EQ(bound, 3);
}

}  // namespace
