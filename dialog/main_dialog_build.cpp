// Building the main dialog: the window placed and sized after its background, then every
// control in the order the root panel keeps them (which is also the order Paint and Draw reach
// them, back to front).
#include <cstdio>
#include <memory>
#include <utility>

#include "controls/bitmap_button.h"
#include "controls/step_selector.h"
#include "controls/text_label.h"
#include "controls/value_field.h"
#include "controls/window_mover.h"
#include "controls/window_panel.h"
#include "core/persisted_settings.h"
#include "core/print_size.h"
#include "core/setting_names.h"
#include "dialog/bitmap_list.h"
#include "dialog/dialog_actions.h"
#include "dialog/help_window.h"
#include "dialog/main_dialog.h"
#include "dialog/preview_pane.h"
#include "dialog/print_size_links.h"
#include "resources/artwork/layout.h"
#include "dialog/settings_file.h"

namespace {

constexpr const char* kFont = "Arial";
constexpr int32_t kWeight = FW_NORMAL;
constexpr int32_t kThumbWidth = 15;
constexpr COLORREF kStatusColor = RGB(90, 90, 90);

namespace layout = artwork::layout;
using layout::Box;

constexpr int32_t kLabelWidth = 100;
constexpr int32_t kLabelHeight = 14;

// The number of values a setting's control offers, from the setting's row.
constexpr int32_t choices(int32_t SharpenSettings::*field) {
  return persistedSetting(field).valueCount();
}

// The y of the value field or step selector in the given row of the field column.
constexpr int32_t fieldRow(int row) { return layout::kFields.y + row * layout::kFieldStep; }

struct Builder {
  MainDialog* dialog;
  WindowPanel* panel;
  HWND window;

  template <class T>
  T* add(std::unique_ptr<T> control) {
    return panel->add(std::move(control));
  }

  // The button's action, told the dialog.
  ButtonAction run(uint32_t (*action)(MainDialog*)) {
    return [action, d = dialog](Position) { return action(d); };
  }

  BitmapButton* button(const Box& at, const char* picture, const char* pressed,
                       ButtonAction action) {
    HBITMAP normal = loadListedBitmap(&dialog->bitmaps, picture);
    HBITMAP down = loadListedBitmap(&dialog->bitmaps, pressed);
    return add(std::make_unique<BitmapButton>(at.x, at.y, at.w, at.h, ControlFlags::Active, panel,
                                              normal, down, std::move(action)));
  }

  HotSpot* hotSpot(const Box& at, uint32_t (*action)(MainDialog*)) {
    return add(std::make_unique<HotSpot>(at.x, at.y, at.w, at.h, ControlFlags::Active, panel,
                                         run(action)));
  }

  // What every setting's control of the dialog shares: the changed flag, the font and the
  // window.
  template <class Options>
  Options settingOptions(const char* caption, int32_t* bound) const {
    Options options;
    options.caption = caption;
    options.bound = bound;
    options.changed = &dialog->settingsChanged;
    options.fontName = kFont;
    options.weight = kWeight;
    options.window = window;
    return options;
  }

  ValueField::Options fieldOptions(const char* caption, int32_t* bound) const {
    auto options = settingOptions<ValueField::Options>(caption, bound);
    options.value = *bound;
    options.thumbWidth = kThumbWidth;
    return options;
  }

  ValueField* addField(int row, const ValueField::Options& options) {
    const Box& f = layout::kFields;
    return add(std::make_unique<ValueField>(f.x, fieldRow(row), f.w, layout::kFieldHeight,
                                            ControlFlags::Active, panel, options));
  }

  // A print size in millimetres, linked to the other side through link.
  ValueField* printSize(int row, const char* caption, int32_t* bound,
                        uint32_t (*link)(ValueField* const*, void*)) {
    ValueField::Options options = fieldOptions(caption, bound);
    options.count = kMaxPrintMillimetres;
    options.text = FieldText::Number;
    options.unit = " mm";
    options.linkCount = 1;
    options.onChange = [link, r = &dialog->run](ValueField* const* links) {
      return link(links, r);
    };
    return addField(row, options);
  }

  ValueField* list(int row, const char* caption, const char* const* items,
                   int32_t SharpenSettings::*field) {
    ValueField::Options options = fieldOptions(caption, &(dialog->run.settings->*field));
    options.count = choices(field);
    options.ticks = true;
    options.text = FieldText::ItemName;
    options.items = items;
    return addField(row, options);
  }

  StepSelector* steps(int row, const char* caption, const char* upName, const char* downName,
                      int32_t SharpenSettings::*field, const char* popup, int32_t links,
                      uint32_t (*onChange)(Control* const*, void*)) {
    const PersistedSetting& range = persistedSetting(field);
    const int32_t count = range.valueCount();
    int32_t* bound = &(dialog->run.settings->*field);
    HBITMAP up[5] = {}, down[5] = {};
    int32_t values[5] = {};
    for (int32_t i = 0; i < count && i < 5; ++i) {
      char name[40];
      std::snprintf(name, sizeof name, "%s%i", upName, int(i + 1));
      up[i] = loadListedBitmap(&dialog->bitmaps, name);
      std::snprintf(name, sizeof name, "%s%i", downName, int(i + 1));
      down[i] = loadListedBitmap(&dialog->bitmaps, name);
      values[i] = range.lowest + i;
    }
    auto options = settingOptions<StepSelector::Options>(caption, bound);
    options.count = count;
    options.normalBitmaps = up;
    options.pressedBitmaps = down;
    options.values = values;
    options.popupTemplate = popup;
    options.linkCount = links;
    if (onChange) {
      options.onChange = [onChange, r = &dialog->run](Control* const* links) {
        return onChange(links, r);
      };
    }
    const Box& f = layout::kFields;
    const int32_t inset = layout::kStepSelectorInset;
    return add(std::make_unique<StepSelector>(f.x + inset, fieldRow(row), f.w - 2 * inset,
                                              layout::kFieldHeight, ControlFlags::Active, panel,
                                              options));
  }

  TextLabel* label(int32_t x, int32_t y, const char* text) {
    return add(std::make_unique<TextLabel>(x, y, kLabelWidth, kLabelHeight, ControlFlags::Active,
                                           panel, text, kFont, kWeight, window, 0, 0, 0));
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
  b.button(layout::kOkButton, "OK_BUTTON", "PRESSED_OK_BUTTON", b.run(okAction));
  b.button(layout::kCancelButton, "CANCEL_BUTTON", "PRESSED_CANCEL_BUTTON", b.run(cancelAction));
  b.button(layout::kSaveButton, "SAVE_BUTTON", "PRESSED_SAVE_BUTTON", b.run(saveSettings));
  b.button(layout::kLoadButton, "LOAD_BUTTON", "PRESSED_LOAD_BUTTON", b.run(loadSettings));
  p->accelerationOffBitmap = loadListedBitmap(&p->bitmaps, "ENTE_BUTTON");
  p->accelerationOnBitmap = loadListedBitmap(&p->bitmaps, "FAST_ENTE_BUTTON");
  *p->run.acceleration = 1;
  const Box& acceleration = layout::kAccelerationButton;
  p->accelerationButton = b.add(std::make_unique<BitmapButton>(
      acceleration.x, acceleration.y, acceleration.w, acceleration.h, ControlFlags::Active, b.panel,
      p->accelerationOnBitmap, p->accelerationOnBitmap, b.run(toggleAcceleration)));
  b.hotSpot(layout::kZoomIn, zoomIn);
  b.hotSpot(layout::kZoomOut, zoomOut);
  HelpWindowState* help = &p->help;
  b.button(layout::kHelpButton, "HELP_BUTTON", "PRESSED_HELP_BUTTON",
           [help](Position) { return openHelp(help); });
}

void addSettingFields(Builder& b) {
  SharpenSettings& s = *b.dialog->run.settings;
  ValueField* width = b.printSize(0, "Image Width", &s.printWidth, linkHeightToWidth);
  ValueField* height = b.printSize(1, "Image Height", &s.printHeight, linkWidthToHeight);
  b.list(2, "Image Source ", kImageSourceNames, &SharpenSettings::imageSource);
  b.list(3, "Image Quality", kQualityNames, &SharpenSettings::imageQuality);
  b.list(4, "Printer", kPrinterResolutionNames, &SharpenSettings::printerResolution);
  b.list(5, "Printer Quality", kQualityNames, &SharpenSettings::printerQuality);
  StepSelector* eye =
      b.steps(6, "Eye Distance", "FILTER_BUTTONUP2_BITMAP", "FILTER_BUTTONDOWN2_BITMAP",
              &SharpenSettings::eyeDistance, "POPUP2", 2, applyEyeDistanceLimit);
  b.steps(7, "Personal Profile", "FILTER_BUTTONUP_BITMAP", "FILTER_BUTTONDOWN_BITMAP",
          &SharpenSettings::personalProfile, "POPUP1", 0, nullptr);
  width->setLink(1, height);
  height->setLink(1, width);
  eye->setLink(1, height);
  eye->setLink(2, width);
}

void addPreview(Builder& b) {
  MainDialog* p = b.dialog;
  const Box& lines = layout::kStatusLines;
  static_assert(kStatusLabelCount == layout::kStatusLineCount, "one label a status line");
  for (int i = 0; i < kStatusLabelCount; ++i) {
    p->statusLabels[i] = b.label(lines.x, lines.y + layout::kStatusLineStep * i, "");
    p->statusLabels[i]->setTextColor(kStatusColor);
  }
  p->zoom = 2;
  const Box& pane = layout::kPreviewPane;
  b.add(std::make_unique<PreviewPane>(pane.x, pane.y, pane.w, pane.h, ControlFlags::Active, b.panel,
                                      &p->zoom, p->run, p->statusLabels));
  p->zoom = initialPreviewZoom(p->run.record->filterRect, pane.w, pane.h);
  b.hotSpot(layout::kZoomReset, zoomReset);
  p->zoomLabel = b.label(layout::kZoomLabel.x, layout::kZoomLabel.y, "1:1");
  p->zoomLabel->setText("%s%i", "1:", p->zoom);
}

}  // namespace

void buildMainDialog(MainDialog* dialog) {
  HWND window = dialog->window;
  dialog->background = loadListedBitmap(&dialog->bitmaps, "FILTER_MAIN_BITMAP");
  BITMAP info{};
  GetObjectA(dialog->background, sizeof info, &info);
  placeWindow(window, info.bmWidth, info.bmHeight);
  auto* panel = new WindowPanel(0, 0, info.bmWidth, info.bmHeight, ControlFlags::Active, nullptr,
                                window, dialog->background);
  dialog->controls.reset(panel);
  Builder b{dialog, panel, window};
  addButtons(b);
  addSettingFields(b);
  addPreview(b);
  RECT placed{};
  GetWindowRect(window, &placed);
  b.add(std::make_unique<WindowMover>(0, 0, info.bmWidth, info.bmHeight, ControlFlags::Active,
                                      panel, placed.left, placed.top, info.bmWidth, info.bmHeight,
                                      window));
}
