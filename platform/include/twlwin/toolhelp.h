// Snapshots of the modules mapped into this process (the program and the
// shared objects it loaded), for finding the module that holds an address.
//
// Inside a crash filter, on the crashing thread, the calls are safe to use:
// the snapshot is then taken into memory set aside for it, and its handle is
// fixed and needs no CloseHandle (closing it fails harmlessly).
#pragma once

#include "types.h"

#define TH32CS_SNAPMODULE 0x00000008u
#define MAX_MODULE_NAME32 255

typedef struct tagMODULEENTRY32 {
  DWORD dwSize;  // the caller sets it to sizeof(MODULEENTRY32)
  DWORD th32ModuleID;
  DWORD th32ProcessID;
  DWORD GlblcntUsage;
  DWORD ProccntUsage;
  BYTE* modBaseAddr;
  DWORD modBaseSize;
  HMODULE hModule;  // null inside a crash filter
  char szModule[MAX_MODULE_NAME32 + 1];
  char szExePath[MAX_PATH];
} MODULEENTRY32, *PMODULEENTRY32, *LPMODULEENTRY32;

// Only TH32CS_SNAPMODULE of this process (id 0 or its own) is offered.
TWLAPI HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD processId);
TWLAPI BOOL Module32First(HANDLE snapshot, LPMODULEENTRY32 entry);
TWLAPI BOOL Module32Next(HANDLE snapshot, LPMODULEENTRY32 entry);
