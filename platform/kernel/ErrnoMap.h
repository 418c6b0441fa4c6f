// Turning POSIX failures into the Win32 codes that callers test for.
#pragma once

#include "twlwin/types.h"

namespace twl {

// The Win32 code for an errno value. `path`, when given, tells a missing
// file (ERROR_FILE_NOT_FOUND) from a missing folder on the way to it
// (ERROR_PATH_NOT_FOUND).
DWORD Win32ErrorFromErrno(int error, const char* path = nullptr);

// Sets the last error from errno (and `path`) and returns FALSE, for the
// common "fail with the mapped code" exit of a call.
BOOL FailWithErrno(int error, const char* path = nullptr);

}  // namespace twl
