#include "KeyHandles.h"

#include "platform/kernel/IdTable.h"
#include "RegistryDatabase.h"
#include "twlwin/errors.h"
#include "twlwin/files.h"

namespace twl::registry {
namespace {

constexpr uint32_t kClassesRoot = 0x80000000u;
constexpr uint32_t kCurrentUser = 0x80000001u;
constexpr uint32_t kLocalMachine = 0x80000002u;

IdTable<OpenKey>& Keys() {
  static auto* table = new IdTable<OpenKey>;
  return *table;
}

// A handle kept in a 32-bit field may come back zero- or sign-extended.
bool HandleValue(HKEY handle, uint32_t& value) {
  auto raw = reinterpret_cast<uintptr_t>(handle);
  uintptr_t high = raw >> 32;
  if (high != 0 && high != 0xFFFFFFFFu) return false;
  value = static_cast<uint32_t>(raw);
  return true;
}

}  // namespace

LONG FindKey(HKEY handle, OpenKey& key) {
  uint32_t value = 0;
  if (!HandleValue(handle, value)) return ERROR_INVALID_HANDLE;
  key = OpenKey{};
  key.access = KEY_ALL_ACCESS;
  key.predefined = true;
  switch (value) {
    case kClassesRoot: key.hive = Hive::Classes; return ERROR_SUCCESS;
    case kCurrentUser: key.hive = Hive::CurrentUser; key.row = kCurrentUserRow; return ERROR_SUCCESS;
    case kLocalMachine: key.hive = Hive::LocalMachine; key.row = kLocalMachineRow; return ERROR_SUCCESS;
    default: break;
  }
  auto found = Keys().Find(value);
  if (!found) return ERROR_INVALID_HANDLE;
  key = *found;
  return ERROR_SUCCESS;
}

HKEY InsertKey(OpenKey key) {
  uint32_t id = Keys().Insert(std::make_shared<OpenKey>(std::move(key)));
  return reinterpret_cast<HKEY>(static_cast<uintptr_t>(id));
}

LONG CloseKey(HKEY handle) {
  uint32_t value = 0;
  if (!HandleValue(handle, value)) return ERROR_INVALID_HANDLE;
  if (value == kClassesRoot || value == kCurrentUser || value == kLocalMachine) return ERROR_SUCCESS;
  return Keys().Remove(value) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

REGSAM RequestedRights(REGSAM access) {
  REGSAM rights = access & KEY_ALL_ACCESS;
  if (access & (GENERIC_READ | GENERIC_EXECUTE)) rights |= KEY_READ;
  if (access & GENERIC_WRITE) rights |= KEY_WRITE;
  if (access & (GENERIC_ALL | MAXIMUM_ALLOWED)) rights |= KEY_ALL_ACCESS;
  return rights;
}

}  // namespace twl::registry
