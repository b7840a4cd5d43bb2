// The stand-in's one process-wide state and the checked lookups of handles.
#include "platform/stand_in.h"

#include <algorithm>

namespace standin {

State& state() {
  static State instance;
  return instance;
}

std::map<std::string, DialogTemplate>& dialogTemplates() {
  static std::map<std::string, DialogTemplate> templates;
  return templates;
}

void Surface::resize(int newWidth, int newHeight, COLORREF fill) {
  std::vector<COLORREF> grown(size_t(std::max(newWidth, 0)) * size_t(std::max(newHeight, 0)), fill);
  for (int y = 0; y < std::min(height, newHeight); ++y)
    for (int x = 0; x < std::min(width, newWidth); ++x)
      grown[size_t(y) * size_t(newWidth) + size_t(x)] = at(x, y);
  width = std::max(newWidth, 0);
  height = std::max(newHeight, 0);
  pixels.swap(grown);
}

Window* findWindow(HWND handle) {
  auto& windows = state().windows;
  auto it = std::find(windows.begin(), windows.end(), reinterpret_cast<Window*>(handle));
  return it == windows.end() ? nullptr : *it;
}

DeviceContext* findContext(HDC handle) {
  auto* dc = reinterpret_cast<DeviceContext*>(handle);
  return state().contexts.count(dc) ? dc : nullptr;
}

GdiObject* findObject(HGDIOBJ handle, Kind kind) {
  auto* object = static_cast<GdiObject*>(handle);
  if (!state().objects.count(object) || object->kind != kind) return nullptr;
  return object;
}

GdiObject* registerObject(std::unique_ptr<GdiObject> object) {
  GdiObject* raw = object.release();
  state().objects.insert(raw);
  return raw;
}

bool isEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

bool intersect(RECT& a, const RECT& b) {
  a.left = std::max(a.left, b.left);
  a.top = std::max(a.top, b.top);
  a.right = std::min(a.right, b.right);
  a.bottom = std::min(a.bottom, b.bottom);
  if (isEmpty(a)) a = RECT{0, 0, 0, 0};
  return !isEmpty(a);
}

}  // namespace standin
