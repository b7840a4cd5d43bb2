#include "dialog/key_translation.h"

#include <cstring>

namespace {

// The offset between a keypad digit's code and the main digit key's.
constexpr UINT kKeypadOffset = VK_NUMPAD0 - '0';

}  // namespace

char translateKey(UINT virtualKey) {
  if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD9) virtualKey -= kKeypadOffset;
  char character = char(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_CHAR) & 0xFF);
  return character == ',' ? '.' : character;
}

const char* buildDate() {
  // __DATE__ pads a one-digit day with a blank ("Nov  9 2001"); the shown date drops it.
  static char date[sizeof __DATE__] = "";
  if (date[0] == '\0') {
    const char* source = __DATE__;
    size_t n = 0;
    for (size_t i = 0; source[i] != '\0'; ++i)
      if (!(source[i] == ' ' && source[i + 1] == ' ')) date[n++] = source[i];
    date[n] = '\0';
  }
  return date;
}
