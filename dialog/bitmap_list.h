// The main dialog's bitmap list: every bitmap loaded while the dialog is built is entered here
// as soon as it is loaded, and deleted only after the dialog has closed and its controls are
// gone. The controls that show the bitmaps never delete them.
//
// Contract: a list is a chain of nodes, newest first; the dialog holds the head (null for an
// empty list). loadListedBitmap answers the loaded bitmap, or null (and enters nothing) when the
// resource cannot be loaded or the node cannot be allocated.
// releaseDialogBitmaps deletes every listed bitmap exactly once and leaves the list empty.
#pragma once

#include "platform/win32.h"

struct BitmapList {
  HBITMAP bitmap;
  BitmapList* next;
};

HBITMAP loadListedBitmap(BitmapList** list, const char* name);
void releaseDialogBitmaps(BitmapList** list);
