// Host API slots of the thread error state. They never fail: each thread
// reads and writes only its own record.
#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/plugins/PlugInVersion.h"

namespace hostapi {

DWORD HOST_GetPlayerVersion() { return GetPlayerVersion(); }

void HOST_SetError(DWORD type, DWORD code, const char* text) { SetThreadError(type, code, text); }

void HOST_SetErrorText(const char* text) { SetThreadError(THREAD_ERROR_GENERAL, 0, text); }

void HOST_SetMiscError(DWORD code) { SetThreadError(THREAD_ERROR_MISC, code, GetMiscErrorText(code)); }

DWORD HOST_GetErrorType() { return GetThreadErrorState()->type; }

DWORD HOST_GetErrorCode() { return GetThreadErrorState()->code; }

const char* HOST_GetErrorText() { return GetThreadErrorState()->text; }

}  // namespace hostapi
