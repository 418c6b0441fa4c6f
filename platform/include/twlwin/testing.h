// Controls for tests and tools: answers the layer gives that a test wants to
// choose. Product code never includes this header.
#pragma once

#include "types.h"

// Makes GetVersionExA report another system; TwlTestResetVersion restores
// the default answer (NT 5.1, build 2600).
TWLAPI void TwlTestSetVersion(DWORD major, DWORD minor, DWORD build, DWORD platformId, LPCSTR servicePack);
TWLAPI void TwlTestResetVersion();

// The folder where named objects of this desktop live (named mutexes).
// Tests give each process its own through $TWL_DESKTOP.
TWLAPI DWORD TwlGetDesktopFolder(LPSTR buffer, DWORD size);

// Makes the next `count` thread starts (_beginthreadex, CreateThread) fail
// as if the system had no resources left.
TWLAPI void TwlTestFailThreadStarts(DWORD count);

// Moves timeGetTime and GetTickCount by `offset` milliseconds, so that
// tests can run code across the 32-bit wrap of the counters.
TWLAPI void TwlTestSetTickOffset(DWORD offset);

// The module containing an address, as the layer's parts see it
// (twl::ModuleFromAddress); null when no loaded module contains it.
TWLAPI HMODULE TwlTestModuleFromAddress(const void* address);

// Hides a library the layer provides under a Windows name ("ddraw.dll") or
// one of its exports, as if the system lacked it; FALSE shows it again.
// Modules already loaded keep their handles; later lookups fail.
TWLAPI void TwlTestHideSystemLibrary(LPCSTR fileName, BOOL hidden);
TWLAPI void TwlTestHideSystemExport(LPCSTR fileName, LPCSTR exportName, BOOL hidden);

// Makes the version calls report this file and product version for a file
// (a library the layer provides, "comctl32.dll", or a path to an existing
// file), or no version at all; TwlTestResetFileVersion brings back the
// file's own.
TWLAPI void TwlTestSetFileVersion(LPCSTR file, DWORD versionMS, DWORD versionLS);
TWLAPI void TwlTestSetNoFileVersion(LPCSTR file);
TWLAPI void TwlTestResetFileVersion(LPCSTR file);

// Makes one later RegQueryValueExA of the calling thread fail with `result`
// (and do nothing else): the one after the next `skip` queries, so 0 fails
// the next. Other threads' queries are not counted.
TWLAPI void TwlTestFailRegistryQuery(DWORD skip, LONG result);

// Makes one later GlobalAlloc of any thread fail as if memory were
// exhausted: the one after the next `skip` allocations, so 0 fails the
// next.
TWLAPI void TwlTestFailGlobalAlloc(DWORD skip);

// Makes GetDriveTypeA answer `type` for the folder and everything in it
// (the deepest such folder decides), as if a disk of that kind were
// mounted there; DRIVE_UNKNOWN takes the folder's own answer back.
TWLAPI void TwlTestSetDriveType(LPCSTR folder, UINT type);
