// What every control that edits one setting is told, whatever its kind.
#pragma once

#include <cstdint>

#include "platform/win32.h"

struct SettingOptions {
  const char* caption = "";
  int32_t* bound = nullptr;  // the settings field the control writes
  bool* changed = nullptr;   // raised when the user changes the setting
  const char* fontName = "Arial";
  int32_t weight = FW_NORMAL;
  HWND window = nullptr;  // where the control draws
};
