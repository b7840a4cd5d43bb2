#include "dialog/bitmap_list.h"

#include <new>

#include "controls/module_instance.h"

HBITMAP loadListedBitmap(FilterParameters* parameters, const char* name) {
  HBITMAP bitmap = LoadBitmapA(moduleInstance(), name);
  if (!bitmap) return nullptr;
  auto* node = new (std::nothrow) BitmapList{bitmap, parameters->bitmapList};
  if (!node) {
    DeleteObject(bitmap);
    return nullptr;
  }
  parameters->bitmapList = node;
  return bitmap;
}

void releaseDialogBitmaps(FilterParameters* parameters) {
  while (BitmapList* node = parameters->bitmapList) {
    parameters->bitmapList = node->next;
    DeleteObject(node->bitmap);
    delete node;
  }
}
