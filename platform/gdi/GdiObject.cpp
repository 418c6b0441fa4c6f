#include "GdiObject.h"

#include "kernel/IdTable.h"

namespace twl::gdi {
namespace {

// Small values are not handles: a brush value of COLOR_x + 1 names a
// system colour, so table ids are moved above them.
constexpr uintptr_t kHandleBase = 0x100;

IdTable<GdiObject>& Table() {
  static IdTable<GdiObject>* table = new IdTable<GdiObject>;  // outlives static destructors
  return *table;
}

uint32_t IdOf(HGDIOBJ handle) {
  auto value = reinterpret_cast<uintptr_t>(handle);
  if (value < kHandleBase || value - kHandleBase > UINT32_MAX) return 0;
  return static_cast<uint32_t>(value - kHandleBase);
}

}  // namespace

HGDIOBJ InsertObject(std::shared_ptr<GdiObject> object) {
  uint32_t id = Table().Insert(std::move(object));
  if (id == 0) return nullptr;
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
