// The AboutRecord: the host's parameter block for selector 0. The host owns it; platformData
// points at the host's PlatformData, whose hwnd is the parent for the About box.
#pragma once

#include "hostapi/types.h"

struct AboutRecord {
  void* platformData;
  char reserved[252];
};

#if HOSTAPI_CHECK_LAYOUT
static_assert(offsetof(AboutRecord, reserved) == HOSTAPI_OFFSET(4, 8) &&
                  sizeof(AboutRecord) == HOSTAPI_OFFSET(256, 264),
              "AboutRecord layout");
#endif
