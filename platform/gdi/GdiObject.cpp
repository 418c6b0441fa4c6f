#include "GdiObject.h"

#include "platform/kernel/IdTable.h"

namespace twl::gdi {
namespace {

// GDI handles live in a range of their own: small values are not handles
// (a brush value of COLOR_x + 1 names a system colour), and region handles
// come from the window manager's table below this range. The top stays
// below 2^31 so that handles survive sign extension.
constexpr uintptr_t kHandleBase = 0x10000000;
constexpr uintptr_t kHandleTop = 0x7FFFFFF0;

IdTable<GdiObject>& Table() {
  static IdTable<GdiObject>* table = new IdTable<GdiObject>;  // outlives static destructors
  return *table;
}

uint32_t IdOf(HGDIOBJ handle) {
  auto value = reinterpret_cast<uintptr_t>(handle);
  if (value < kHandleBase || value > kHandleTop) return 0;
  return static_cast<uint32_t>(value - kHandleBase);
}

}  // namespace

HGDIOBJ InsertObject(std::shared_ptr<GdiObject> object) {
  uint32_t id = Table().Insert(std::move(object));
  if (id == 0) return nullptr;
  if (id + kHandleBase > kHandleTop) {
    Table().Remove(id);
    return nullptr;
  }
  return reinterpret_cast<HGDIOBJ>(id + kHandleBase);
}

std::shared_ptr<GdiObject> FindObject(HGDIOBJ handle) {
  uint32_t id = IdOf(handle);
  return id == 0 ? nullptr : Table().Find(id);
}

std::shared_ptr<GdiObject> RemoveObject(HGDIOBJ handle) {
  uint32_t id = IdOf(handle);
  return id == 0 ? nullptr : Table().Remove(id);
}

}  // namespace twl::gdi
