// The host API as the host itself uses it: the one table handed to every
// plug-in, and the host heap that plug-ins and host share for the texts and
// blocks that cross the boundary. Any thread.
#pragma once

#include <cstddef>

#include "pluginhost/abi/PlugInAbi.h"

// Built at compile time; never changes.
const HostApiTable* GetHostApiTable();

// The host heap (HOST_Alloc, HOST_Free, HOST_AllocString). Allocation
// failure answers null and leaves the thread error alone.
void* HostAlloc(size_t size);
void HostFree(void* block);
char* HostAllocString(const char* text);
