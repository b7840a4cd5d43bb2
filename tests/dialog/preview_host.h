// A small host for the dialog tests: an RGB document with a recognisable pattern, the preview
// services the pane uses (advanceState sampling the document at inputRate, displayPixels
// drawing into the dialog), and the records the module gets from a host during Start. One
// PreviewHost is live at a time (the host callbacks take no context).
#pragma once

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "dialog/dialog_run.h"
#include "host/filter_parameters.h"
#include "host/plugin_globals.h"
#include "platform/win32.h"

class PreviewHost {
 public:
  PreviewHost(int width, int height) : width_(width), height_(height) {
    current() = this;
    pixels_.resize(size_t(width) * size_t(height) * 3);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        uint8_t* p = &pixels_[(size_t(y) * size_t(width) + size_t(x)) * 3];
        bool square = ((x / 16) + (y / 16)) % 2 == 0;
        p[0] = uint8_t(x * 255 / width);
        p[1] = uint8_t(y * 255 / height);
        p[2] = square ? 200 : 40;
      }
    record.imageSize.h = int16(width);
    record.imageSize.v = int16(height);
    record.planes = 3;
    record.filterRect = Rect{0, 0, int16(height), int16(width)};
    record.imageMode = 3;
    record.imageHRes = 300 << 16;
    record.imageVRes = 300 << 16;
    record.advanceState = advance;
    record.displayPixels = display;
    globals.filterRecord = &record;
    globals.result = &result;
    parameters.globals = &globals;
    parameters.dialogActive = 1;
    parameters.cancelled = 1;
    parameters.settings = SharpenSettings{2, 1, 2, 4, 2, 5, 100, 150};
  }
  ~PreviewHost() { current() = nullptr; }

  // What Start lends the dialog, out of these records.
  DialogRun dialogRun() {
    return DialogRun{&record,
                     pixelServices(&globals),
                     globals.result,
                     &globals.colors.acceleration,
                     &parameters.settings,
                     &parameters.settingsTouched};
  }

  FilterRecord record{};
  PluginGlobals globals{};
  FilterParameters parameters{};
  int16 result = 0;
  int fetches = 0;
  bool refuse = false;          // advanceState answers an error
  bool throwOnDisplay = false;  // displayPixels throws, as a failing host service might

 private:
  static PreviewHost*& current() {
    static PreviewHost* host = nullptr;
    return host;
  }

  // Samples the document at the requested rate: scaled pixel (x, y) is document pixel
  // (x * rate, y * rate).
  static OSErr advance() {
    PreviewHost* h = current();
    ++h->fetches;
    if (h->refuse) return -108;
    const Rect& r = h->record.inRect;
    int rate = h->record.inputRate >> 16;
    if (rate < 1) rate = 1;
    int w = r.right - r.left, hgt = r.bottom - r.top;
    h->buffer_.assign(size_t(w) * size_t(hgt) * 3, 0);
    for (int y = 0; y < hgt; ++y)
      for (int x = 0; x < w; ++x) {
        int dx = std::min((r.left + x) * rate, h->width_ - 1);
        int dy = std::min((r.top + y) * rate, h->height_ - 1);
        std::memcpy(&h->buffer_[(size_t(y) * size_t(w) + size_t(x)) * 3],
                    &h->pixels_[(size_t(dy) * size_t(h->width_) + size_t(dx)) * 3], 3);
      }
    h->record.inData = h->buffer_.data();
    h->record.inRowBytes = w * 3;
    return 0;
  }

  static OSErr display(const PSPixelMap* map, const VRect* source, int32 row, int32 column,
                       void* context) {
    if (current()->throwOnDisplay) throw std::runtime_error("display failed");
    HDC dc = static_cast<HDC>(context);
    const auto* base = static_cast<const uint8_t*>(map->baseAddr);
    for (int32 y = source->top; y < source->bottom; ++y)
      for (int32 x = source->left; x < source->right; ++x) {
        const uint8_t* p =
            base + (y - map->bounds.top) * map->rowBytes + (x - map->bounds.left) * map->colBytes;
        SetPixel(dc, column + x - source->left, row + y - source->top, RGB(p[0], p[1], p[2]));
      }
    return 0;
  }

  int width_;
  int height_;
  std::vector<uint8_t> pixels_;
  std::vector<uint8_t> buffer_;
};
