// Internal model of the native stand-in: the objects behind the handles of win32.h and the one
// process-wide state that the driver resets between tests. Not for module code.
//
// Handles are the addresses of these objects; every call looks its handle up in the live sets
// first, so a stale handle fails instead of touching freed memory. Surfaces hold one COLORREF
// per pixel, row-major, top row first; a window's surface is its client area.
#pragma once

#include "platform/driver.h"
#include "platform/presentation.h"
#include "platform/win32.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace standin {

constexpr COLORREF dialogFaceColor = RGB(240, 240, 240);

struct Surface {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;

  void resize(int newWidth, int newHeight, COLORREF fill);
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  COLORREF at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  void set(int x, int y, COLORREF c) { pixels[size_t(y) * size_t(width) + size_t(x)] = c; }
};

enum class Kind { Bitmap, Pen, Brush, Font, Region };

struct GdiObject {
  explicit GdiObject(Kind k) : kind(k) {}
  virtual ~GdiObject() = default;
  Kind kind;
  bool stock = false;
  int selections = 0;          // device contexts it is selected into
  bool deletePending = false;  // deleted while selected: freed when deselected
};

struct Bitmap : GdiObject {
  Bitmap() : GdiObject(Kind::Bitmap) {}
  Surface surface;
};

struct Pen : GdiObject {
  Pen() : GdiObject(Kind::Pen) {}
  int style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};

struct Brush : GdiObject {
  Brush() : GdiObject(Kind::Brush) {}
  int style = BS_SOLID;
  COLORREF color = 0;
};

struct Font : GdiObject {
  Font() : GdiObject(Kind::Font) {}
  LOGFONTA logFont{};
};

struct Span {
  int y, left, right;  // pixels left..right-1 of row y
};

struct Region : GdiObject {
  Region() : GdiObject(Kind::Region) {}
  std::vector<Span> spans;
};

struct Window;

struct DeviceContext {
  Window* window = nullptr;  // null for a memory DC
  Bitmap* bitmap = nullptr;
  Pen* pen = nullptr;
  Brush* brush = nullptr;
  Font* font = nullptr;
  RECT clip{};  // in surface coordinates; drawing outside it is discarded
  POINT position{0, 0};
  UINT textAlign = TA_LEFT | TA_TOP;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF backgroundColor = RGB(255, 255, 255);
  int backgroundMode = OPAQUE;
};

struct Window {
  std::string templateName;
  RECT rect{};  // window rectangle in screen coordinates
  LONG style = 0;
  LONG frameStyle = 0;  // the style the frame was last laid out for (as Windows, on resize)
  LONG exStyle = 0;
  LONG_PTR userData = 0;
  LONG_PTR messageResult = 0;
  Window* owner = nullptr;
  DLGPROC procedure = nullptr;
  Surface surface;
  RECT invalid{};  // bounding rectangle of the invalid area, empty when valid
  bool erasePending = false;
  bool ended = false;      // EndDialog was called
  bool destroyed = false;  // destroyed while its modal loop still runs
  INT_PTR result = 0;
};

struct QueuedInput {
  std::string target;     // template name; empty = the innermost running dialog
  HWND handle = nullptr;  // a fixed target, when set
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::function<void()> call;  // when set, run instead of delivering a message
};

struct DialogTemplate {
  int x = 0;  // dialog units, like the size
  int y = 0;
  int width = 0;
  int height = 0;
  DWORD style = 0;
};

struct GlobalBlock {
  void* data = nullptr;
  SIZE_T size = 0;
  bool fixed = false;
  int locks = 0;
};

struct FileAnswer {
  bool cancel;
  std::string path;
};

struct State {
  std::set<GdiObject*> objects;
  std::set<DeviceContext*> contexts;
  std::vector<Window*> windows;  // creation order
  std::vector<Window*> modalStack;
  Window* capture = nullptr;
  int screenWidth = 1280;
  int screenHeight = 1024;

  std::deque<QueuedInput> input;
  std::vector<std::string> failures;
  std::vector<platform::driver::RecordedMessageBox> messageBoxes;
  std::deque<int> messageBoxAnswers;
  std::vector<platform::driver::FileDialog> fileDialogs;
  std::deque<FileAnswer> fileAnswers;

  // A host's presentation hooks (platform/presentation.h); unset in tests.
  platform::presentation::InputSource inputSource;
  platform::presentation::FileDialogHandler fileDialogHandler;
  platform::presentation::MessageBoxHandler messageBoxHandler;

  std::map<HGLOBAL, GlobalBlock> globalBlocks;
  int allocationsBeforeFailure = -1;  // -1: none planned
  int failingAllocations = 0;
};

State& state();
// Templates are declared once by the module's code and survive the driver's reset.
std::map<std::string, DialogTemplate>& dialogTemplates();
// A declared template, else one from the module's dialog resource script; null when unknown.
const DialogTemplate* findDialogTemplate(const std::string& name);

// Lookups of live handles; null when the handle is not (or no longer) valid.
Window* findWindow(HWND handle);
DeviceContext* findContext(HDC handle);
GdiObject* findObject(HGDIOBJ handle, Kind kind);
template <class T>
T* findAs(HGDIOBJ handle, Kind kind) {
  return static_cast<T*>(findObject(handle, kind));
}

GdiObject* registerObject(std::unique_ptr<GdiObject> object);
void releaseSelection(GdiObject* object);
void destroyAllObjects();
void destroyAllWindows();
Window* createWindow(const std::string& templateName, int clientWidth, int clientHeight, LONG style,
                     Window* owner, DLGPROC procedure);
void destroyWindow(Window& window);
void freeAllGlobalMemory();

// Painting helpers shared by the window and dialog code.
RECT clientRect(const Window& window);  // client rectangle in screen coordinates
void invalidate(Window& window, const RECT* rect, bool erase);
void sendPaint(Window& window);
bool hasInvalidArea(const Window& window);
INT_PTR callProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam);

// Drawing target of a DC and the clip it must respect.
Surface* targetSurface(DeviceContext& dc);
void putPixel(DeviceContext& dc, int x, int y, COLORREF color);
void fillSpan(DeviceContext& dc, int y, int left, int right, COLORREF color);
void fillRect(DeviceContext& dc, const RECT& rect, COLORREF color);
HDC newWindowContext(Window& window, const RECT& clip);
bool intersect(RECT& a, const RECT& b);
bool isEmpty(const RECT& r);

// Input delivery, shared by modal loops and the driver's own pump.
bool deliverNextInput();
Window* dialogOnTop();
Window* newestFromTemplate(const std::string& name);  // live windows only; null when none
void paintInvalidWindows();  // WM_PAINT to every visible window that has an invalid area

}  // namespace standin
