// Building the main dialog: the window placed and sized after its background, then every
// control in the order the root panel keeps them (which is also the order Paint and Draw reach
// them, back to front).
#include <cstdio>

#include "controls/bitmap_button.h"
#include "controls/step_selector.h"
#include "controls/text_label.h"
#include "controls/value_field.h"
#include "controls/window_mover.h"
#include "controls/window_panel.h"
#include "dialog/bitmap_list.h"
#include "dialog/dialog_actions.h"
#include "dialog/help_window.h"
#include "dialog/main_dialog.h"
#include "dialog/preview_pane.h"
#include "dialog/print_size_links.h"
#include "dialog/settings_file.h"

namespace {

constexpr uint32_t kActiveOwned = ControlFlags::Active | ControlFlags::Owned;
constexpr const char* kFont = "Arial";
constexpr int32_t kWeight = FW_NORMAL;
constexpr int32_t kThumbWidth = 15;
constexpr int32_t kLargestDefaultPrint = 600;
constexpr COLORREF kStatusColor = RGB(90, 90, 90);

const char* const kImageSources[] = {
    "APS", "Small Format Slide", "Middle Format Slide", "Large Transparency",
    "Digital Camera (low end)", "Digital Camera (mid range)", "Digital Camera (high end)",
    "Scan (low end)", "Scan (mid range)", "Scan (high end)"};
const char* const kQualities[] = {"bad", "below average", "average", "above average", "good"};
const char* const kPrinterResolutions[] = {
    "300x300 dpi", "360x360 dpi", "720x360 dpi", "600x600 dpi", "720x720 dpi", "1440x720 dpi",
    "1200x1200 dpi", "1440x1440 dpi", "2400x1200 normal", "2400x1200 photo", "2880x720 normal",
    "2880x720 photo"};

template <size_t N>
constexpr int32_t countOf(const char* const (&)[N]) {
  return int32_t(N);
}

struct Builder {
  MainDialog* dialog;
  WindowPanel* panel;
  HWND window;

  template <class T>
  T* add(T* control) {
    panel->add(control);
    return control;
  }

  BitmapButton* button(int32_t x, int32_t y, int32_t w, int32_t h, const char* picture,
                       const char* pressed, ButtonAction action, void* userData = nullptr) {
    HBITMAP normal = loadListedBitmap(&dialog->bitmaps, picture);
    HBITMAP down = loadListedBitmap(&dialog->bitmaps, pressed);
    return add(new BitmapButton(x, y, w, h, kActiveOwned, panel, normal, down, action, nullptr,
                                userData ? userData : dialog));
  }

  HotSpot* hotSpot(int32_t x, int32_t y, int32_t w, int32_t h, ButtonAction action) {
    return add(new HotSpot(x, y, w, h, kActiveOwned, panel, action, nullptr, dialog));
  }

  ValueField* printSize(int32_t y, const char* caption, int32_t* bound, ValueFieldChange link) {
    return add(new ValueField(10, y, 200, 30, kActiveOwned, panel, kLargestDefaultPrint, 1,
                              *bound, bound, &dialog->settingsChanged, kThumbWidth, kFont,
                              kWeight, caption, window, ValueFieldStyle::Numeric, " mm", nullptr,
                              1, link, &dialog->run, 0));
  }

  ValueField* list(int32_t y, const char* caption, const char* const* items, int32_t count,
                   int32_t* bound) {
    return add(new ValueField(10, y, 200, 30, kActiveOwned, panel, count, 1, *bound, bound,
                              &dialog->settingsChanged, kThumbWidth, kFont, kWeight, caption,
                              window, ValueFieldStyle::Ticks | ValueFieldStyle::List, "", items,
                              0));
  }

  StepSelector* steps(int32_t y, const char* caption, const char* upName, const char* downName,
                      int32_t count, int32_t* bound, const char* popup, int32_t links,
                      StepSelectorChange onChange) {
    HBITMAP up[5] = {}, down[5] = {};
    int32_t values[5] = {};
    for (int32_t i = 0; i < count; ++i) {
      char name[40];
      std::snprintf(name, sizeof name, "%s%i", upName, int(i + 1));
      up[i] = loadListedBitmap(&dialog->bitmaps, name);
      std::snprintf(name, sizeof name, "%s%i", downName, int(i + 1));
      down[i] = loadListedBitmap(&dialog->bitmaps, name);
      values[i] = i + 1;
    }
    return add(new StepSelector(17, y, 186, 30, kActiveOwned, panel, window, up, down, bound,
                                values, &dialog->settingsChanged, count, kFont, kWeight,
                                caption, popup, links, onChange, &dialog->run));
  }

  TextLabel* label(int32_t x, int32_t y, const char* text) {
    return add(new TextLabel(x, y, 100, 14, kActiveOwned, panel, text, kFont, kWeight, window, 0,
                             0, 0));
  }
};

// Sizes the window after its background and centres it on the screen.
void placeWindow(HWND window, int32_t width, int32_t height) {
  int left = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
  int top = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
  MoveWindow(window, left, top, width, height, TRUE);
}

void addButtons(Builder& b) {
  MainDialog* p = b.dialog;
  b.button(446, 323, 39, 23, "OK_BUTTON", "PRESSED_OK_BUTTON", okAction);
  b.button(352, 323, 79, 23, "CANCEL_BUTTON", "PRESSED_CANCEL_BUTTON", cancelAction);
  b.button(16, 331, 37, 18, "SAVE_BUTTON", "PRESSED_SAVE_BUTTON", saveSettings);
  b.button(67, 331, 37, 18, "LOAD_BUTTON", "PRESSED_LOAD_BUTTON", loadSettings);
  p->accelerationOffBitmap = loadListedBitmap(&p->bitmaps, "ENTE_BUTTON");
  p->accelerationOnBitmap = loadListedBitmap(&p->bitmaps, "FAST_ENTE_BUTTON");
  *p->run.acceleration = 1;
  p->accelerationButton =
      b.add(new BitmapButton(173, 331, 37, 18, kActiveOwned, b.panel, p->accelerationOnBitmap,
                             p->accelerationOnBitmap, toggleAcceleration, nullptr, p));
  b.hotSpot(462, 57, 10, 10, zoomIn);
  b.hotSpot(475, 57, 10, 10, zoomOut);
  b.button(118, 331, 37, 18, "HELP_BUTTON", "PRESSED_HELP_BUTTON", openHelp, &p->help);
}

void addSettingFields(Builder& b) {
  SharpenSettings& s = *b.dialog->run.settings;
  ValueField* width = b.printSize(93, "Image Width", &s.printWidth, linkHeightToWidth);
  ValueField* height = b.printSize(119, "Image Height", &s.printHeight, linkWidthToHeight);
  b.list(145, "Image Source ", kImageSources, countOf(kImageSources), &s.imageSource);
  b.list(171, "Image Quality", kQualities, countOf(kQualities), &s.imageQuality);
  b.list(197, "Printer", kPrinterResolutions, countOf(kPrinterResolutions),
         &s.printerResolution);
  b.list(223, "Printer Quality", kQualities, countOf(kQualities), &s.printerQuality);
  StepSelector* eye = b.steps(249, "Eye Distance", "FILTER_BUTTONUP2_BITMAP",
                              "FILTER_BUTTONDOWN2_BITMAP", 5, &s.eyeDistance, "POPUP2", 2,
                              applyEyeDistanceLimit);
  b.steps(275, "Personal Profile", "FILTER_BUTTONUP_BITMAP", "FILTER_BUTTONDOWN_BITMAP", 3,
          &s.personalProfile, "POPUP1", 0, nullptr);
  width->setLink(1, height);
  height->setLink(1, width);
  eye->setLink(1, height);
  eye->setLink(2, width);
}

void addPreview(Builder& b) {
  MainDialog* p = b.dialog;
  for (int i = 0; i < kStatusLabelCount; ++i) {
    p->statusLabels[i] = b.label(28, 361 + 13 * i, "");
    p->statusLabels[i]->setTextColor(kStatusColor);
  }
  p->zoom = 2;
  b.add(new PreviewPane(232, 71, 252, 218, kActiveOwned, b.panel, &p->zoom, p->run,
                        p->statusLabels));
  p->zoom = initialPreviewZoom(p->run.record->filterRect, 252, 218);
  b.hotSpot(427, 57, 30, 10, zoomReset);
  p->zoomLabel = b.label(442, 57, "1:1");
  p->zoomLabel->setText("%s%i", "1:", p->zoom);
}

}  // namespace

void buildMainDialog(MainDialog* dialog) {
  HWND window = dialog->window;
  dialog->background = loadListedBitmap(&dialog->bitmaps, "FILTER_MAIN_BITMAP");
  BITMAP info{};
  GetObjectA(dialog->background, sizeof info, &info);
  placeWindow(window, info.bmWidth, info.bmHeight);
  auto* panel = new WindowPanel(0, 0, info.bmWidth, info.bmHeight, kActiveOwned, nullptr, window,
                                dialog->background);
  dialog->controls.reset(panel);
  Builder b{dialog, panel, window};
  addButtons(b);
  addSettingFields(b);
  addPreview(b);
  RECT placed{};
  GetWindowRect(window, &placed);
  b.add(new WindowMover(0, 0, info.bmWidth, info.bmHeight, kActiveOwned, panel, placed.left,
                        placed.top, info.bmWidth, info.bmHeight, window, nullptr));
}
