// The stream error code for a Win32 error code, for every disk operation
// that fails.
#pragma once

#include <windows.h>

DWORD MapWindowsError(DWORD windowsError);
