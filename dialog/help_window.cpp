#include "dialog/help_window.h"

#include <cstdio>

#include "controls/control_group.h"
#include "controls/procedure_guard.h"
#include "controls/window_mover.h"
#include "dialog/picture_drawing.h"
#include "dialog/window_messages.h"
#include "controls/module_instance.h"

namespace {

constexpr int kLastPage = kHelpPageCount - 1;
constexpr uint32_t kActiveOwned = ControlFlags::Active | ControlFlags::Owned;
constexpr int kScreenOffset = 80;  // right of and above the screen centre, clear of the dialog

// The record the help window was created with, which it carries in its user data.
FilterParameters* recordOf(HWND window) {
  return reinterpret_cast<FilterParameters*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}
// Set while an event travels through the help controls: an action may destroy the window, and
// the group it runs in must then outlive the dispatch.
bool dispatchingHelpEvent = false;

FilterParameters* parametersOf(void* userData) { return static_cast<FilterParameters*>(userData); }

void deletePagePictures(FilterParameters* parameters) {
  for (HBITMAP& page : parameters->helpPageBitmaps) {
    if (page) DeleteObject(page);
    page = nullptr;
  }
}

void deleteHelpControls(FilterParameters* parameters) {
  delete parameters->helpControls;
  parameters->helpControls = nullptr;
}

void loadPagePictures(FilterParameters* parameters) {
  parameters->helpPage = 1;
  for (HBITMAP& page : parameters->helpPageBitmaps) page = nullptr;
  for (int n = 1; n <= kLastPage; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%i", "FILTER_HELP_BITMAP", n);
    HBITMAP page = LoadBitmapA(moduleInstance(), name);
    if (!page) break;
    parameters->helpPageBitmaps[n] = page;
  }
}

void placeWindow(HWND window, int width, int height) {
  int left = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2 + kScreenOffset;
  int top = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2 - kScreenOffset;
  MoveWindow(window, left, top, width, height, TRUE);
}

void buildHelpControls(FilterParameters* parameters, HWND window, int width, int height) {
  RECT placed{};
  GetWindowRect(window, &placed);
  auto* group = new ControlGroup(0, 0, width, height, kActiveOwned, nullptr);
  group->add(new HotSpot(384, 323, 20, 20, kActiveOwned, group, showPreviousHelpPage, nullptr,
                         parameters));
  group->add(new HotSpot(412, 323, 15, 20, kActiveOwned, group, closeHelp, nullptr,
                         parameters));
  group->add(new HotSpot(427, 323, 20, 20, kActiveOwned, group, showNextHelpPage, nullptr,
                         parameters));
  group->add(new WindowMover(0, 0, width, height, kActiveOwned, group, placed.left, placed.top,
                             width, height, window, nullptr));
  parameters->helpControls = group;
}

// Loads the pages, sizes and places the window after page 1 and lays the click areas over it.
// False when there is no page 1.
bool buildHelpContent(FilterParameters* parameters, HWND window) {
  loadPagePictures(parameters);
  int width = 0, height = 0;
  if (!pictureSize(parameters->helpPageBitmaps[1], &width, &height)) return false;
  placeWindow(window, width, height);
  buildHelpControls(parameters, window, width, height);
  return true;
}

uint32_t sendToHelpControls(FilterParameters* parameters, int32_t x, int32_t y, int32_t event) {
  if (!parameters->helpControls) return 0;
  dispatchingHelpEvent = true;
  uint32_t result = parameters->helpControls->dispatch(x, y, nullptr, event);
  dispatchingHelpEvent = false;
  if (!parameters->helpWindow) deleteHelpControls(parameters);
  return result;
}

void paintPage(HWND window, const FilterParameters* parameters) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  int width = 0, height = 0;
  if (parameters && parameters->helpControls &&
      pictureSize(parameters->helpPageBitmaps[1], &width, &height))
    drawPicture(dc, parameters->helpPageBitmaps[parameters->helpPage], 0, 0, width, height);
  EndPaint(window, &ps);
}

void buttonUp(HWND window, LPARAM lParam) {
  FilterParameters* parameters = recordOf(window);
  if (parameters) {
    sendToHelpControls(parameters, notNegative(mouseX(lParam)), notNegative(mouseY(lParam)),
                       ControlEvent::LeftUp);
    if (parameters->helpWindow) InvalidateRect(window, nullptr, FALSE);
  }
  ReleaseCapture();
}

void windowDestroyed(HWND window) {
  FilterParameters* parameters = recordOf(window);
  if (!parameters) return;
  parameters->helpWindow = nullptr;
  deletePagePictures(parameters);
  if (!dispatchingHelpEvent) deleteHelpControls(parameters);
}

}  // namespace

uint32_t openHelp(void*, int32_t, int32_t, EventData, int32_t, void* userData) {
  FilterParameters* parameters = parametersOf(userData);
  if (parameters->helpWindow) return 1;
  HWND window = CreateDialogParamA(moduleInstance(), "HELPDIALOG", parameters->dialogWindow,
                                   helpDialogProcedure, reinterpret_cast<LPARAM>(parameters));
  if (!window) return 1;
  parameters->helpWindow = window;
  if (!buildHelpContent(parameters, window)) {
    DestroyWindow(window);
    return 1;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  return 1;
}

uint32_t showPreviousHelpPage(void*, int32_t, int32_t, EventData, int32_t, void* userData) {
  FilterParameters* parameters = parametersOf(userData);
  if (parameters->helpPage > 1) --parameters->helpPage;
  return 1;
}

uint32_t showNextHelpPage(void*, int32_t, int32_t, EventData, int32_t, void* userData) {
  FilterParameters* parameters = parametersOf(userData);
  int page = parameters->helpPage;
  if (page < kLastPage && parameters->helpPageBitmaps[page + 1]) ++parameters->helpPage;
  return 1;
}

uint32_t closeHelp(void*, int32_t, int32_t, EventData, int32_t, void* userData) {
  FilterParameters* parameters = parametersOf(userData);
  deletePagePictures(parameters);
  if (parameters->helpWindow) DestroyWindow(parameters->helpWindow);
  return 1;
}

namespace {

INT_PTR handleHelpMessage(HWND window, UINT message, LPARAM lParam) {
  FilterParameters* parameters = recordOf(window);
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
      SetWindowLongA(window, GWL_STYLE, 0);
      reinterpret_cast<FilterParameters*>(lParam)->helpPage = 1;
      return TRUE;
    case WM_PAINT:
      paintPage(window, parameters);
      return TRUE;
    case WM_MOUSEMOVE:
      if (parameters) sendToHelpControls(parameters, mouseX(lParam), mouseY(lParam),
                                         ControlEvent::MouseMove);
      return TRUE;
    case WM_LBUTTONDOWN:
      SetCapture(window);
      if (parameters)
        sendToHelpControls(parameters, notNegative(mouseX(lParam)), notNegative(mouseY(lParam)),
                           ControlEvent::LeftDown);
      return TRUE;
    case WM_LBUTTONUP:
      buttonUp(window, lParam);
      return TRUE;
    case WM_DESTROY:
      windowDestroyed(window);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

// The help window is modeless and runs inside the main dialog's modal loop, so a failure in it
// abandons the main dialog.
INT_PTR CALLBACK helpDialogProcedure(HWND window, UINT message, WPARAM, LPARAM lParam) {
  const FilterParameters* parameters = recordOf(window);
  HWND mainDialog = parameters && parameters->dialogWindow ? parameters->dialogWindow : window;
  return guardProcedure(mainDialog, [&] { return handleHelpMessage(window, message, lParam); });
}
