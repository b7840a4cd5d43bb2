// The presentation hooks: stored in the stand-in's state, so the driver's reset() unsets them.
#include "platform/presentation.h"

#include <algorithm>

#include "platform/stand_in.h"

using namespace standin;

namespace platform::presentation {

std::vector<WindowView> visibleWindows() {
  std::vector<WindowView> views;
  const auto& modal = state().modalStack;
  for (Window* window : state().windows) {
    if (window->destroyed || !(window->style & WS_VISIBLE)) continue;
    WindowView view;
    view.handle = reinterpret_cast<HWND>(window);
    view.owner = reinterpret_cast<HWND>(window->owner);
    view.templateName = window->templateName;
    view.style = window->style;
    view.client = clientRect(*window);
    view.width = window->surface.width;
    view.height = window->surface.height;
    view.pixels = window->surface.pixels.data();
    view.modal = std::find(modal.begin(), modal.end(), window) != modal.end();
    views.push_back(view);
  }
  return views;
}

void setInputSource(InputSource source) { state().inputSource = std::move(source); }

void setFileDialogHandler(FileDialogHandler handler) {
  state().fileDialogHandler = std::move(handler);
}

void setMessageBoxHandler(MessageBoxHandler handler) {
  state().messageBoxHandler = std::move(handler);
}

}  // namespace platform::presentation
