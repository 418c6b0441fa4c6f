#include "twlwin/com.h"

namespace {
thread_local unsigned oleInitCount = 0;
}

TWLAPI HRESULT OleInitialize(LPVOID) { return oleInitCount++ == 0 ? S_OK : S_FALSE; }

TWLAPI void OleUninitialize() {
  if (oleInitCount > 0) --oleInitCount;
}
