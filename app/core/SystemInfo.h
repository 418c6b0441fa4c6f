// What the start logs about the machine (edition, processors, memory,
// DirectX) and the texts it uses for it. Pure functions; any thread.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"

// The edition's name for a version answer; `extended` tells whether the
// answer carries the product type and suite mask.
CStr GetWindowsEditionName(const OSVERSIONINFOEXA& version, bool extended);

// The whole edition line without its line feed: name, version, service
// pack and "build ...h detected".
CStr FormatEditionLine(const OSVERSIONINFOEXA& version, bool extended);

// A byte count in bytes, KB, MB, GB or TB; negative counts read as bytes.
CStr FormatByteSize(LONGLONG value);

// The DirectX line without its line feed, for a version (-1 not
// determined, 0 none) that is exact or a lower bound; empty for -1.
CStr FormatDirectXLine(INT version, bool exact);

// The fixed version of a file's version resource, when the block is whole.
bool GetFileVersion(const char* path, DWORD* mostSignificant, DWORD* leastSignificant);
ULONGLONG GetFileVersion64(const char* path);
