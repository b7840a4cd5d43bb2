// Hooks through which a host shows the stand-in's windows on a real display and feeds them real
// input. Natively only; module code never uses them.
//
// Contract: every hook is unset after the driver's reset(), and an unset hook leaves the
// stand-in exactly as the driver describes it (a modal loop whose queue runs dry ends its
// dialog as a failure; message boxes and file dialogs are answered from the driver's queues).
// - The input source is called by a modal loop when the queue is empty, after every invalid
//   window was painted; it queues input through platform/driver.h and returns true, or
//   returns false to give up (the dialog then ends as a failure, as without a source).
// - visibleWindows() lists the visible windows in creation order (later ones on top); the
//   pixel pointers are the client surfaces and stay valid until the next call into the
//   stand-in.
// - The file dialog handler answers GetOpenFileNameA/GetSaveFileNameA (true with a path,
//   false for a cancel); the message box handler answers MessageBoxA with the button's id.
//   Both calls are still recorded for the driver.
#pragma once

#ifndef _WIN32
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32.h"

namespace platform::presentation {

struct WindowView {
  HWND handle = nullptr;
  HWND owner = nullptr;  // null for a window without an owner
  std::string templateName;
  LONG style = 0;
  RECT client{};  // the client area in screen coordinates
  int width = 0;  // of the pixels: the client area's size
  int height = 0;
  const COLORREF* pixels = nullptr;  // row-major, top row first
  bool modal = false;                // its modal loop is running
};

std::vector<WindowView> visibleWindows();

using InputSource = std::function<bool()>;
void setInputSource(InputSource source);

struct FileRequest {
  bool save = false;
  HWND owner = nullptr;
  std::string title;
  std::vector<std::pair<std::string, std::string>> filters;  // (description, pattern)
  std::string defaultExtension;
};
using FileDialogHandler = std::function<bool(const FileRequest& request, std::string* path)>;
void setFileDialogHandler(FileDialogHandler handler);

using MessageBoxHandler =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)>;
void setMessageBoxHandler(MessageBoxHandler handler);

}  // namespace platform::presentation
#endif
