#include "dialog/bitmap_list.h"

#include <new>

#include "controls/module_instance.h"

HBITMAP loadListedBitmap(BitmapList** list, const char* name) {
  HBITMAP bitmap = LoadBitmapA(moduleInstance(), name);
  if (!bitmap) return nullptr;
  auto* node = new (std::nothrow) BitmapList{bitmap, *list};
  if (!node) {
    DeleteObject(bitmap);
    return nullptr;
  }
  *list = node;
  return bitmap;
}

void releaseDialogBitmaps(BitmapList** list) {
  while (BitmapList* node = *list) {
    *list = node->next;
    DeleteObject(node->bitmap);
    delete node;
  }
}
