// The filter entry point as the host calls it: cdecl, one call per selector. `block` is an
// AboutRecord for selector 0 and a FilterRecord for 1..5; `data` is a pointer-sized slot the host
// keeps for the module between calls (0 at first); `result` is the call's result code.
#pragma once

#include "hostapi/types.h"

typedef void(HOSTAPI_CALL* FilterEntryProc)(int16 selector, void* block, intptr_t* data,
                                            int16* result);
