#include "twlwin/errors.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

TWLAPI DWORD GetLastError() { return lastError; }

TWLAPI void SetLastError(DWORD code) { lastError = code; }
