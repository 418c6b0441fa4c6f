#include "foundation/kernel/LibraryTls.h"

namespace {

// Given back when the module's statics go, so that a plug-in carrying the
// library can be loaded and unloaded any number of times.
struct LibrarySlots {
  DWORD exitCallbacks = TlsAlloc();
  DWORD assertionHandler = TlsAlloc();
  DWORD errorAllocatorFlag = TlsAlloc();

  LibrarySlots() = default;
  LibrarySlots(const LibrarySlots&) = delete;
  LibrarySlots& operator=(const LibrarySlots&) = delete;
  ~LibrarySlots() {
    TlsFree(exitCallbacks);
    TlsFree(assertionHandler);
    TlsFree(errorAllocatorFlag);
  }
};

// Built once, on whichever thread asks first, so a module whose first
// error is made on a worker thread is safe too.
const LibrarySlots& Slots() {
  static const LibrarySlots slots;
  return slots;
}

}  // namespace

void InitLibraryTlsSlots() { Slots(); }

DWORD GetThreadExitCallbackSlot() { return Slots().exitCallbacks; }
DWORD GetAssertionHandlerSlot() { return Slots().assertionHandler; }
DWORD GetErrorAllocatorSlot() { return Slots().errorAllocatorFlag; }
