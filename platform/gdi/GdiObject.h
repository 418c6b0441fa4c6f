// The table of GDI objects behind HGDIOBJ values: bitmaps, brushes, pens,
// fonts, and whatever other object kinds the layer adds (regions). One table
// for all, so SelectObject and DeleteObject can tell the kind from a handle.
// Thread-safe; stock objects live for the whole process.
#pragma once

#include <memory>

#include "twlwin/types.h"

namespace twl::gdi {

class GdiObject {
 public:
  GdiObject() = default;
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  virtual ~GdiObject() = default;

  // One of the OBJ_ values.
  virtual DWORD Type() const = 0;

  bool stock = false;
};

HGDIOBJ InsertObject(std::shared_ptr<GdiObject> object);
std::shared_ptr<GdiObject> FindObject(HGDIOBJ handle);
// Null when the handle names no object of that class.
template <class T>
std::shared_ptr<T> FindObjectAs(HGDIOBJ handle) {
  return std::dynamic_pointer_cast<T>(FindObject(handle));
}
std::shared_ptr<GdiObject> RemoveObject(HGDIOBJ handle);

}  // namespace twl::gdi
