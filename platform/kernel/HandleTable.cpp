#include <cerrno>

#include "IdTable.h"
#include "KernelObject.h"
#include "twlwin/handles.h"

namespace twl {
namespace {

IdTable<KernelObject>& Handles() {
  // Never destroyed: handles may be closed from destructors of other
  // globals during process exit.
  static auto* table = new IdTable<KernelObject>;
  return *table;
}

uint32_t IdOf(HANDLE handle) {
  auto value = reinterpret_cast<uintptr_t>(handle);
  // A handle that went through a 32-bit field and came back zero-extended
  // still names the same object.
  return value > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(value);
}

}  // namespace

std::mutex& DispatcherLock() {
  static auto* lock = new std::mutex;
  return *lock;
}

HANDLE InsertHandle(std::shared_ptr<KernelObject> object) {
  uint32_t id = Handles().Insert(std::move(object));
  if (id == 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return ULongToHandle(id);
}

std::shared_ptr<KernelObject> FindHandle(HANDLE handle) { return Handles().Find(IdOf(handle)); }

std::shared_ptr<KernelObject> RemoveHandle(HANDLE handle) { return Handles().Remove(IdOf(handle)); }

}  // namespace twl

TWLAPI BOOL CloseHandle(HANDLE handle) {
  if (handle == twl::CurrentProcessPseudoHandle() || handle == twl::CurrentThreadPseudoHandle()) return TRUE;
  auto object = twl::RemoveHandle(handle);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // The object itself goes when its last reference does (a running thread
  // keeps its own object alive).
  return TRUE;
}
