// The test driver: queues input, answers, failure switches and observations over the
// stand-in's state.
#include "platform/driver.h"

#include "platform/stand_in.h"

using namespace standin;

namespace platform::driver {
namespace {

WPARAM heldButtons = 0;  // buttons held down by the mouse messages queued so far

void push(QueuedInput in) { state().input.push_back(std::move(in)); }

}  // namespace

void reset() {
  State& s = state();
  destroyAllWindows();
  destroyAllObjects();
  freeAllGlobalMemory();
  std::set<GdiObject*> stock = s.objects;  // only stock objects are left: they stay for good
  s = State{};
  s.objects = stock;
  heldButtons = 0;
}

void setScreenSize(int width, int height) {
  state().screenWidth = width;
  state().screenHeight = height;
}

void queueMessage(UINT message, WPARAM wParam, LPARAM lParam, const std::string& window) {
  push(QueuedInput{window, nullptr, message, wParam, lParam, nullptr});
}

void queueMessageTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  push(QueuedInput{"", window, message, wParam, lParam, nullptr});
}

void queueMouse(UINT message, int x, int y, const std::string& window) {
  switch (message) {
    case WM_LBUTTONDOWN:
      heldButtons |= MK_LBUTTON;
      break;
    case WM_LBUTTONUP:
      heldButtons &= ~WPARAM(MK_LBUTTON);
      break;
    case WM_RBUTTONDOWN:
      heldButtons |= MK_RBUTTON;
      break;
    case WM_RBUTTONUP:
      heldButtons &= ~WPARAM(MK_RBUTTON);
      break;
    default:
      break;
  }
  queueMessage(message, heldButtons, MAKELPARAM(x, y), window);
}

void queueClick(int x, int y, const std::string& window) {
  queueMouse(WM_LBUTTONDOWN, x, y, window);
  queueMouse(WM_LBUTTONUP, x, y, window);
}

void queueRightClick(int x, int y, const std::string& window) {
  queueMouse(WM_RBUTTONDOWN, x, y, window);
  queueMouse(WM_RBUTTONUP, x, y, window);
}

void queueKey(UINT virtualKey, const std::string& window) {
  queueMessage(WM_KEYDOWN, virtualKey, 1, window);
  queueMessage(WM_KEYUP, virtualKey, LPARAM(0xC0000001u), window);
}

void queueCall(std::function<void()> call) {
  push(QueuedInput{"", nullptr, 0, 0, 0, std::move(call)});
}

size_t pendingInput() { return state().input.size(); }

void paintPending() { paintInvalidWindows(); }

void deliverAll() {
  do paintPending();
  while (deliverNextInput());
}

HWND findWindow(const std::string& templateName) {
  return reinterpret_cast<HWND>(newestFromTemplate(templateName));
}

HWND activeDialog() { return reinterpret_cast<HWND>(dialogOnTop()); }

int liveWindows() {
  int count = 0;
  for (Window* window : state().windows) count += window->destroyed ? 0 : 1;
  return count;
}

HWND createWindow(int width, int height) {
  Window* window = standin::createWindow("", width, height, WS_POPUP, nullptr, nullptr);
  HWND handle = reinterpret_cast<HWND>(window);
  ShowWindow(handle, SW_SHOW);
  return handle;
}

RECT invalidArea(HWND handle) {
  Window* window = standin::findWindow(handle);
  return window ? window->invalid : RECT{0, 0, 0, 0};
}

const std::vector<std::string>& failures() { return state().failures; }

const std::vector<RecordedMessageBox>& messageBoxes() { return state().messageBoxes; }

void queueMessageBoxAnswer(int answer) { state().messageBoxAnswers.push_back(answer); }

void queueFileName(const std::string& path) { state().fileAnswers.push_back({false, path}); }

void queueFileCancel() { state().fileAnswers.push_back({true, ""}); }

const std::vector<FileDialog>& fileDialogs() { return state().fileDialogs; }

void failAllocations(int skip, int count) {
  state().allocationsBeforeFailure = count > 0 ? skip : -1;
  state().failingAllocations = count;
}

int liveGlobalBlocks() { return int(state().globalBlocks.size()); }

int liveObjects(Object kind) {
  if (kind == Object::DeviceContext) return int(state().contexts.size());
  static const Kind kinds[] = {Kind::Bitmap, Kind::Pen, Kind::Brush, Kind::Font, Kind::Region};
  int count = 0;
  for (GdiObject* object : state().objects)
    count += !object->stock && object->kind == kinds[int(kind)] ? 1 : 0;
  return count;
}

int liveObjects() {
  int count = 0;
  for (Object kind : {Object::Bitmap, Object::Pen, Object::Brush, Object::Font, Object::Region,
                      Object::DeviceContext})
    count += liveObjects(kind);
  return count;
}

COLORREF pixel(HWND handle, int x, int y) {
  Window* window = standin::findWindow(handle);
  if (!window || !window->surface.inside(x, y)) return CLR_INVALID;
  return window->surface.at(x, y);
}

COLORREF bitmapPixel(HBITMAP handle, int x, int y) {
  Bitmap* bitmap = findAs<Bitmap>(handle, Kind::Bitmap);
  if (!bitmap || !bitmap->surface.inside(x, y)) return CLR_INVALID;
  return bitmap->surface.at(x, y);
}

HBITMAP createBitmap(int width, int height, const COLORREF* pixels) {
  auto bitmap = std::make_unique<Bitmap>();
  bitmap->surface.resize(width, height, RGB(0, 0, 0));
  for (size_t i = 0; pixels && i < bitmap->surface.pixels.size(); ++i)
    bitmap->surface.pixels[i] = pixels[i] & 0xFFFFFF;
  return reinterpret_cast<HBITMAP>(registerObject(std::move(bitmap)));
}

}  // namespace platform::driver
