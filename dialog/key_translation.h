// What a key press in the main dialog hands the controls: the key's unshifted character, with
// the keypad digits typed as digits and the comma typed as the decimal point. 0 means the key
// has no character and nothing is sent.
#pragma once

#include "platform/win32.h"

char translateKey(UINT virtualKey);

// The module's build date as "Mmm d yyyy" (month abbreviation, day without padding, year).
const char* buildDate();
