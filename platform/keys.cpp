// The virtual-key mapping of a US keyboard layout: MapVirtualKeyA with MAPVK_VK_TO_CHAR gives
// the unshifted character (capital letters, as Windows reports them), 0 for keys without one.
#include "platform/stand_in.h"

namespace {

UINT keyCharacter(UINT code) {
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return code;
  if (code >= VK_NUMPAD0 && code <= VK_NUMPAD9) return '0' + (code - VK_NUMPAD0);
  switch (code) {
    case VK_BACK:
      return 8;
    case VK_TAB:
      return 9;
    case VK_RETURN:
      return 13;
    case VK_ESCAPE:
      return 27;
    case VK_SPACE:
      return ' ';
    case VK_MULTIPLY:
      return '*';
    case VK_ADD:
      return '+';
    case VK_SUBTRACT:
      return '-';
    case VK_DECIMAL:
      return '.';
    case VK_DIVIDE:
      return '/';
    case VK_OEM_1:
      return ';';
    case VK_OEM_PLUS:
      return '=';
    case VK_OEM_COMMA:
      return ',';
    case VK_OEM_MINUS:
      return '-';
    case VK_OEM_PERIOD:
      return '.';
    case VK_OEM_2:
      return '/';
    default:
      return 0;
  }
}

}  // namespace

extern "C" UINT MapVirtualKeyA(UINT code, UINT mapType) {
  return mapType == MAPVK_VK_TO_CHAR ? keyCharacter(code) : 0;
}
