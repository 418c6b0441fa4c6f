// Modules: the program and the shared objects it loads. A module handle is
// an id, not a load address; GetModuleHandleA(nullptr) is the program.
#pragma once

#include "types.h"

typedef INT_PTR(WINAPI* FARPROC)();

TWLAPI HMODULE LoadLibraryA(LPCSTR name);
TWLAPI BOOL FreeLibrary(HMODULE module);
TWLAPI FARPROC GetProcAddress(HMODULE module, LPCSTR name);
TWLAPI HMODULE GetModuleHandleA(LPCSTR name);
TWLAPI DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
