#include <cstdlib>

#include "twlwin/com.h"

namespace {
thread_local unsigned oleInitCount = 0;
}

TWLAPI HRESULT OleInitialize(LPVOID) { return oleInitCount++ == 0 ? S_OK : S_FALSE; }

TWLAPI void OleUninitialize() {
  if (oleInitCount > 0) --oleInitCount;
}

// The task allocator is the C heap: a block of size 0 is still a block.
TWLAPI LPVOID CoTaskMemAlloc(SIZE_T size) { return std::malloc(size ? size : 1); }

TWLAPI void CoTaskMemFree(LPVOID memory) { std::free(memory); }

TWLAPI HRESULT CoInitialize(LPVOID reserved) { return OleInitialize(reserved); }

TWLAPI void CoUninitialize() { OleUninitialize(); }
