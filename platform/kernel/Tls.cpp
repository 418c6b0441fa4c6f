#include <atomic>
#include <mutex>

#include "twlwin/errors.h"
#include "twlwin/threads.h"

// Thread-local slots. Each slot has a generation that is odd while the slot
// is allocated. A value remembers the generation it was stored in, so
// freeing a slot makes every thread's old value invisible and a slot
// allocated again reads null in every thread, as callers expect.

namespace {

constexpr DWORD kSlotCount = 1088;

struct SlotTable {
  std::mutex allocationLock;
  std::atomic<DWORD> generation[kSlotCount] = {};
};

SlotTable& Slots() {
  static auto* table = new SlotTable;
  return *table;
}

bool IsAllocated(DWORD generation) { return (generation & 1) != 0; }

struct SlotValue {
  DWORD generation = 0;
  void* value = nullptr;
};

// A plain array, not an object with a destructor: the main thread's
// thread_local objects are destroyed when exit begins, before the static
// destructors, and those still read and write their slots.
thread_local SlotValue valuesOfThisThread[kSlotCount];

// The slot's generation, or 0 when the index names no allocated slot.
DWORD LiveGeneration(DWORD index) {
  if (index >= kSlotCount) return 0;
  DWORD generation = Slots().generation[index].load(std::memory_order_acquire);
  return IsAllocated(generation) ? generation : 0;
}

}  // namespace

TWLAPI DWORD TlsAlloc() {
  auto& slots = Slots();
  std::lock_guard lock(slots.allocationLock);
  for (DWORD index = 0; index < kSlotCount; ++index) {
    if (IsAllocated(slots.generation[index].load())) continue;
    slots.generation[index].fetch_add(1);
    return index;
  }
  SetLastError(ERROR_NO_MORE_ITEMS);
  return TLS_OUT_OF_INDEXES;
}

TWLAPI BOOL TlsFree(DWORD index) {
  auto& slots = Slots();
  std::lock_guard lock(slots.allocationLock);
  if (LiveGeneration(index) == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  slots.generation[index].fetch_add(1);
  return TRUE;
}

TWLAPI LPVOID TlsGetValue(DWORD index) {
  DWORD generation = LiveGeneration(index);
  if (generation == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // Like Windows, a successful read clears the last error, so a caller can
  // tell a stored null from a failure.
  SetLastError(ERROR_SUCCESS);
  const SlotValue& slot = valuesOfThisThread[index];
  return slot.generation == generation ? slot.value : nullptr;
}

TWLAPI BOOL TlsSetValue(DWORD index, LPVOID value) {
  DWORD generation = LiveGeneration(index);
  if (generation == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  valuesOfThisThread[index] = {generation, value};
  return TRUE;
}
