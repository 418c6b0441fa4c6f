// The objects behind HICON (icons and cursors) and HBITMAP handles that
// resources are loaded into. Each kind has a table of its own; bitmap
// handles carry a tag bit so that they never equal a region's handle, the
// other kind of GDI object DeleteObject takes. Thread-safe.
#pragma once

#include <memory>

#include "DibFormat.h"
#include "IconFormat.h"
#include "twlwin/types.h"

namespace twl::resources {

struct IconObject {
  IconImage image;
  bool isCursor = false;
};

struct BitmapObject {
  Dib dib;
  bool shared = false;  // LR_SHARED: DeleteObject leaves it alone
};

HICON InsertIcon(std::shared_ptr<const IconObject> icon);
std::shared_ptr<const IconObject> FindIcon(HICON handle);

HBITMAP InsertBitmap(std::shared_ptr<const BitmapObject> bitmap);
std::shared_ptr<const BitmapObject> FindBitmap(HBITMAP handle);

}  // namespace twl::resources

namespace twl {

// For DeleteObject: true when `object` is a bitmap handle (freed unless it
// is a shared one); false for any other handle.
bool DeleteBitmapObject(HGDIOBJ object);

}  // namespace twl
