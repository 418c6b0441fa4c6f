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

// The system folder: where the libraries the layer provides under Windows
// names ("ddraw.dll", "dsound.dll") are said to live. Answers the length
// without the zero, or the size needed (with it) when the buffer is short.
TWLAPI UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
