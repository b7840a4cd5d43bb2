#include "dialog/help_window.h"

#include <cstdio>
#include <memory>

#include "controls/control_group.h"
#include "controls/module_instance.h"
#include "controls/procedure_guard.h"
#include "controls/window_mover.h"
#include "dialog/picture_drawing.h"
#include "dialog/window_messages.h"
#include "resources/artwork/layout.h"

namespace {

constexpr int kLastPage = kHelpPageCount - 1;
constexpr int kScreenOffset = 80;  // right of and above the screen centre, clear of the dialog

// The state the help window was created with, which it carries in its user data.
HelpWindowState* stateOf(HWND window) {
  return reinterpret_cast<HelpWindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void deletePagePictures(HelpWindowState* help) {
  for (HBITMAP& page : help->pages) {
    if (page) DeleteObject(page);
    page = nullptr;
  }
}

void deleteHelpControls(HelpWindowState* help) { help->controls.reset(); }

void loadPagePictures(HelpWindowState* help) {
  help->page = 1;
  for (HBITMAP& page : help->pages) page = nullptr;
  for (int n = 1; n <= kLastPage; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%i", "FILTER_HELP_BITMAP", n);
    HBITMAP page = LoadBitmapA(moduleInstance(), name);
    if (!page) break;
    help->pages[n] = page;
  }
}

void placeWindow(HWND window, int width, int height) {
  int left = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2 + kScreenOffset;
  int top = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2 - kScreenOffset;
  MoveWindow(window, left, top, width, height, TRUE);
}

void buildHelpControls(HelpWindowState* help, HWND window, int width, int height) {
  RECT placed{};
  GetWindowRect(window, &placed);
  auto group = std::make_unique<ControlGroup>(0, 0, width, height, ControlFlags::Active, nullptr);
  namespace layout = artwork::layout;
  const struct {
    const layout::Box& at;
    uint32_t (*action)(HelpWindowState*);
  } spots[] = {{layout::kHelpPrevious, showPreviousHelpPage},
               {layout::kHelpClose, closeHelp},
               {layout::kHelpNext, showNextHelpPage}};
  for (const auto& spot : spots) {
    group->add(std::make_unique<HotSpot>(
        spot.at.x, spot.at.y, spot.at.w, spot.at.h, ControlFlags::Active, group.get(),
        [help, action = spot.action](Position) { return action(help); }));
  }
  group->add(std::make_unique<WindowMover>(0, 0, width, height, ControlFlags::Active, group.get(),
                                           placed.left, placed.top, width, height, window));
  help->controls = std::move(group);
}

// Loads the pages, sizes and places the window after page 1 and lays the click areas over it.
// False when there is no page 1.
bool buildHelpContent(HelpWindowState* help, HWND window) {
  loadPagePictures(help);
  int width = 0, height = 0;
  if (!pictureSize(help->pages[1], &width, &height)) return false;
  placeWindow(window, width, height);
  buildHelpControls(help, window, width, height);
  return true;
}

uint32_t sendToHelpControls(HelpWindowState* help, int32_t x, int32_t y, MouseAction action) {
  if (!help->controls) return 0;
  help->dispatching = true;
  uint32_t result = sendMouse(*help->controls, {x, y}, action);
  help->dispatching = false;
  if (!help->window) deleteHelpControls(help);
  return result;
}

void paintPage(HWND window, const HelpWindowState* help) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  int width = 0, height = 0;
  if (help && help->controls && pictureSize(help->pages[1], &width, &height))
    drawPicture(dc, help->pages[help->page], 0, 0, width, height);
  EndPaint(window, &ps);
}

void buttonUp(HWND window, LPARAM lParam) {
  HelpWindowState* help = stateOf(window);
  if (help) {
    sendToHelpControls(help, notNegative(mouseX(lParam)), notNegative(mouseY(lParam)),
                       MouseAction::Release);
    if (help->window) InvalidateRect(window, nullptr, FALSE);
  }
  ReleaseCapture();
}

void windowDestroyed(HWND window) {
  HelpWindowState* help = stateOf(window);
  if (!help) return;
  help->window = nullptr;
  deletePagePictures(help);
  if (!help->dispatching) deleteHelpControls(help);
}

}  // namespace

uint32_t openHelp(HelpWindowState* help) {
  if (help->window) return 1;
  HWND window = CreateDialogParamA(moduleInstance(), "HELPDIALOG", help->owner, helpDialogProcedure,
                                   reinterpret_cast<LPARAM>(help));
  if (!window) return 1;
  help->window = window;
  if (!buildHelpContent(help, window)) {
    DestroyWindow(window);
    return 1;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  return 1;
}

uint32_t showPreviousHelpPage(HelpWindowState* help) {
  if (help->page > 1) --help->page;
  return 1;
}

uint32_t showNextHelpPage(HelpWindowState* help) {
  int page = help->page;
  if (page < kLastPage && help->pages[page + 1]) ++help->page;
  return 1;
}

uint32_t closeHelp(HelpWindowState* help) {
  deletePagePictures(help);
  if (help->window) DestroyWindow(help->window);
  return 1;
}

namespace {

INT_PTR handleHelpMessage(HWND window, UINT message, LPARAM lParam) {
  HelpWindowState* help = stateOf(window);
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
      SetWindowLongA(window, GWL_STYLE, 0);
      reinterpret_cast<HelpWindowState*>(lParam)->page = 1;
      return TRUE;
    case WM_PAINT:
      paintPage(window, help);
      return TRUE;
    case WM_MOUSEMOVE:
      if (help) sendToHelpControls(help, mouseX(lParam), mouseY(lParam), MouseAction::Move);
      return TRUE;
    case WM_LBUTTONDOWN:
      SetCapture(window);
      if (help)
        sendToHelpControls(help, notNegative(mouseX(lParam)), notNegative(mouseY(lParam)),
                           MouseAction::Press);
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
  const HelpWindowState* help = stateOf(window);
  HWND mainDialog = help && help->owner ? help->owner : window;
  return guardProcedure(mainDialog, [&] { return handleHelpMessage(window, message, lParam); });
}
