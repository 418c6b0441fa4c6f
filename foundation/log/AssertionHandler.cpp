#include "foundation/log/AssertionHandler.h"

#include "foundation/kernel/LibraryTls.h"

void SetThreadAssertionHandler(AssertionHandler handler) {
  TlsSetValue(GetAssertionHandlerSlot(), reinterpret_cast<void*>(handler));
}

AssertionHandler GetThreadAssertionHandler() {
  return reinterpret_cast<AssertionHandler>(TlsGetValue(GetAssertionHandlerSlot()));
}
