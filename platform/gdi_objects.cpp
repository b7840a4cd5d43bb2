// Device contexts and the life of GDI objects. Selecting an object into a DC hands back the
// previous one of its kind; deleting an object that is still selected only marks it, and it is
// freed when it is deselected (as current Windows does); stock objects are never freed. A
// memory DC starts with the stock 1 x 1 bitmap, a black pen, a white brush and the system font.
#include "platform/stand_in.h"

#include <algorithm>
#include <climits>
#include <cstring>

using namespace standin;

namespace {

constexpr int stockCount = 20;
constexpr int stockBitmapIndex = stockCount - 1;  // not reachable through GetStockObject

template <class T>
T* makeStock() {
  auto* object = new T;
  object->stock = true;
  state().objects.insert(object);
  return object;
}

GdiObject* createStock(int index) {
  auto brush = [](COLORREF c, int style = BS_SOLID) {
    Brush* b = makeStock<Brush>();
    b->color = c;
    b->style = style;
    return static_cast<GdiObject*>(b);
  };
  auto pen = [](COLORREF c, int style = PS_SOLID) {
    Pen* p = makeStock<Pen>();
    p->color = c;
    p->style = style;
    return static_cast<GdiObject*>(p);
  };
  switch (index) {
    case WHITE_BRUSH:
      return brush(RGB(255, 255, 255));
    case LTGRAY_BRUSH:
      return brush(RGB(192, 192, 192));
    case GRAY_BRUSH:
      return brush(RGB(128, 128, 128));
    case DKGRAY_BRUSH:
      return brush(RGB(64, 64, 64));
    case BLACK_BRUSH:
      return brush(RGB(0, 0, 0));
    case NULL_BRUSH:
      return brush(0, BS_NULL);
    case WHITE_PEN:
      return pen(RGB(255, 255, 255));
    case BLACK_PEN:
      return pen(RGB(0, 0, 0));
    case NULL_PEN:
      return pen(0, PS_NULL);
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEFAULT_GUI_FONT: {
      Font* f = makeStock<Font>();
      f->logFont.lfHeight = 16;
      f->logFont.lfWeight = index == SYSTEM_FONT ? FW_BOLD : FW_NORMAL;
      std::strcpy(f->logFont.lfFaceName, "Arial");
      return f;
    }
    case stockBitmapIndex: {
      Bitmap* b = makeStock<Bitmap>();
      b->surface.resize(1, 1, RGB(0, 0, 0));
      return b;
    }
    default:
      return nullptr;
  }
}

GdiObject* stockObject(int index) {
  static GdiObject* stock[stockCount] = {};
  if (index < 0 || index >= stockCount) return nullptr;
  if (!stock[index]) stock[index] = createStock(index);
  return stock[index];
}

void freeObject(GdiObject* object) {
  state().objects.erase(object);
  delete object;
}

DeviceContext* newContext(Window* window, const RECT& clip) {
  auto* dc = new DeviceContext;
  dc->window = window;
  dc->clip = clip;
  dc->pen = static_cast<Pen*>(stockObject(BLACK_PEN));
  dc->brush = static_cast<Brush*>(stockObject(WHITE_BRUSH));
  dc->font = static_cast<Font*>(stockObject(SYSTEM_FONT));
  if (!window) dc->bitmap = static_cast<Bitmap*>(stockObject(stockBitmapIndex));
  state().contexts.insert(dc);
  return dc;
}

template <class T>
HGDIOBJ swapSelection(T*& slot, T* object) {
  T* previous = slot;
  slot = object;
  ++object->selections;
  releaseSelection(previous);
  return previous;
}

// Sets one attribute of a DC and returns its previous value, or `failure` for a bad handle.
template <class T>
T exchangeAttribute(HDC handle, T DeviceContext::*attribute, T value, T failure) {
  DeviceContext* dc = findContext(handle);
  if (!dc) return failure;
  T previous = dc->*attribute;
  dc->*attribute = value;
  return previous;
}

}  // namespace

namespace standin {

HDC newWindowContext(Window& window, const RECT& clip) {
  return reinterpret_cast<HDC>(newContext(&window, clip));
}

void releaseSelection(GdiObject* object) {
  if (!object || object->stock) return;
  if (--object->selections == 0 && object->deletePending) freeObject(object);
}

void destroyAllObjects() {
  State& s = state();
  for (DeviceContext* dc : s.contexts) delete dc;
  s.contexts.clear();
  for (auto it = s.objects.begin(); it != s.objects.end();) {
    if ((*it)->stock) {
      ++it;
      continue;
    }
    delete *it;
    it = s.objects.erase(it);
  }
}

Surface* targetSurface(DeviceContext& dc) {
  if (dc.window) {
    Window* window = findWindow(reinterpret_cast<HWND>(dc.window));
    return window ? &window->surface : nullptr;
  }
  return dc.bitmap ? &dc.bitmap->surface : nullptr;
}

void fillSpan(DeviceContext& dc, int y, int left, int right, COLORREF color) {
  Surface* surface = targetSurface(dc);
  if (!surface || y < dc.clip.top || y >= dc.clip.bottom || y < 0 || y >= surface->height) return;
  left = std::max({left, int(dc.clip.left), 0});
  right = std::min({right, int(dc.clip.right), surface->width});
  for (int x = left; x < right; ++x) surface->set(x, y, color & 0xFFFFFF);
}

void putPixel(DeviceContext& dc, int x, int y, COLORREF color) { fillSpan(dc, y, x, x + 1, color); }

void fillRect(DeviceContext& dc, const RECT& rect, COLORREF color) {
  for (int y = rect.top; y < rect.bottom; ++y) fillSpan(dc, y, rect.left, rect.right, color);
}

}  // namespace standin

extern "C" {

HDC CreateCompatibleDC(HDC) {
  return reinterpret_cast<HDC>(newContext(nullptr, RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX}));
}

BOOL DeleteDC(HDC handle) {
  DeviceContext* dc = findContext(handle);
  if (!dc) return FALSE;
  releaseSelection(dc->bitmap);
  releaseSelection(dc->pen);
  releaseSelection(dc->brush);
  releaseSelection(dc->font);
  state().contexts.erase(dc);
  delete dc;
  return TRUE;
}

HGDIOBJ GetStockObject(int index) {
  return index == stockBitmapIndex ? nullptr : stockObject(index);
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ objectHandle) {
  DeviceContext* dc = findContext(handle);
  auto* object = static_cast<GdiObject*>(objectHandle);
  if (!dc || !state().objects.count(object) || object->deletePending) return nullptr;
  switch (object->kind) {
    case Kind::Pen:
      return swapSelection(dc->pen, static_cast<Pen*>(object));
    case Kind::Brush:
      return swapSelection(dc->brush, static_cast<Brush*>(object));
    case Kind::Font:
      return swapSelection(dc->font, static_cast<Font*>(object));
    case Kind::Bitmap:
      // Only a memory DC takes a bitmap, and a bitmap lives in one DC at a time.
      if (dc->window || (object->selections > 0 && !object->stock)) return nullptr;
      if (object == dc->bitmap) return object;
      return swapSelection(dc->bitmap, static_cast<Bitmap*>(object));
    case Kind::Region:
      return nullptr;
  }
  return nullptr;
}

BOOL DeleteObject(HGDIOBJ handle) {
  auto* object = static_cast<GdiObject*>(handle);
  if (!state().objects.count(object) || object->deletePending) return FALSE;
  if (object->stock) return TRUE;
  if (object->selections > 0) {
    object->deletePending = true;
    return TRUE;
  }
  freeObject(object);
  return TRUE;
}

int GetObjectA(HGDIOBJ handle, int size, LPVOID buffer) {
  auto* object = static_cast<GdiObject*>(handle);
  if (!state().objects.count(object)) return 0;
  BITMAP bitmap{};
  LOGPEN pen{};
  LOGBRUSH brush{};
  const void* source = nullptr;
  int length = 0;
  switch (object->kind) {
    case Kind::Bitmap: {
      const Surface& s = static_cast<Bitmap*>(object)->surface;
      // Bitmaps here are device-dependent bitmaps of a 32-bit display.
      bitmap = BITMAP{0, s.width, s.height, s.width * 4, 1, 32, nullptr};
      source = &bitmap;
      length = sizeof bitmap;
      break;
    }
    case Kind::Pen: {
      auto* p = static_cast<Pen*>(object);
      pen = LOGPEN{UINT(p->style), POINT{p->width, 0}, p->color};
      source = &pen;
      length = sizeof pen;
      break;
    }
    case Kind::Brush: {
      auto* b = static_cast<Brush*>(object);
      brush = LOGBRUSH{UINT(b->style), b->color, 0};
      source = &brush;
      length = sizeof brush;
      break;
    }
    case Kind::Font:
      source = &static_cast<Font*>(object)->logFont;
      length = sizeof(LOGFONTA);
      break;
    case Kind::Region:
      return 0;
  }
  if (!buffer) return length;
  length = std::min(length, std::max(size, 0));
  std::memcpy(buffer, source, size_t(length));
  return length;
}

HPEN CreatePen(int style, int width, COLORREF color) {
  auto pen = std::make_unique<Pen>();
  pen->style = style;
  pen->width = width;
  pen->color = color & 0xFFFFFF;
  return reinterpret_cast<HPEN>(registerObject(std::move(pen)));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto brush = std::make_unique<Brush>();
  brush->color = color & 0xFFFFFF;
  return reinterpret_cast<HBRUSH>(registerObject(std::move(brush)));
}

COLORREF SetPixel(HDC handle, int x, int y, COLORREF color) {
  DeviceContext* dc = findContext(handle);
  if (!dc) return CLR_INVALID;
  putPixel(*dc, x, y, color);
  return color & 0xFFFFFF;
}

COLORREF GetPixel(HDC handle, int x, int y) {
  DeviceContext* dc = findContext(handle);
  Surface* surface = dc ? targetSurface(*dc) : nullptr;
  if (!surface || !surface->inside(x, y)) return CLR_INVALID;
  return surface->at(x, y);
}

UINT SetTextAlign(HDC handle, UINT align) {
  return exchangeAttribute(handle, &DeviceContext::textAlign, align, UINT(GDI_ERROR));
}

COLORREF SetTextColor(HDC handle, COLORREF color) {
  return exchangeAttribute(handle, &DeviceContext::textColor, color & 0xFFFFFF,
                           COLORREF(CLR_INVALID));
}

COLORREF SetBkColor(HDC handle, COLORREF color) {
  return exchangeAttribute(handle, &DeviceContext::backgroundColor, color & 0xFFFFFF,
                           COLORREF(CLR_INVALID));
}

int SetBkMode(HDC handle, int mode) {
  DeviceContext* dc = findContext(handle);
  if (!dc || (mode != OPAQUE && mode != TRANSPARENT)) return 0;
  int previous = dc->backgroundMode;
  dc->backgroundMode = mode;
  return previous;
}

}  // extern "C"
