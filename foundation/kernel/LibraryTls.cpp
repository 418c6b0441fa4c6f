#include "foundation/kernel/LibraryTls.h"

namespace {

struct LibrarySlots {
  DWORD exitCallbacks;
  DWORD assertionHandler;
  DWORD errorAllocatorFlag;
};

// Built once, on whichever thread asks first, so a module whose first
// error is made on a worker thread is safe too.
const LibrarySlots& Slots() {
  static const LibrarySlots slots{TlsAlloc(), TlsAlloc(), TlsAlloc()};
  return slots;
}

}  // namespace

void InitLibraryTlsSlots() { Slots(); }

DWORD GetThreadExitCallbackSlot() { return Slots().exitCallbacks; }
DWORD GetAssertionHandlerSlot() { return Slots().assertionHandler; }
DWORD GetErrorAllocatorSlot() { return Slots().errorAllocatorFlag; }
