// The functions behind the host API table's slots, by the slot names that
// plug-ins know. Only the table and the tests call them directly; each
// keeps every failure inside the thread error state and never throws.
#pragma once

#include "pluginhost/abi/PlugInAbi.h"

namespace hostapi {

// Frame: version and thread errors.
DWORD HOST_GetPlayerVersion();
void HOST_SetError(DWORD type, DWORD code, const char* text);
void HOST_SetErrorText(const char* text);
void HOST_SetMiscError(DWORD code);
DWORD HOST_GetErrorType();
DWORD HOST_GetErrorCode();
const char* HOST_GetErrorText();

// Heap and strings.
void* HOST_Alloc(DWORD size);
void HOST_Free(void* block);
char* HOST_AllocString(const char* text);

// Every slot whose service is not offered yet: fails with
// HOST_MISC_INVALID_PARAM and answers 0.
uintptr_t HOST_Unavailable();

}  // namespace hostapi
