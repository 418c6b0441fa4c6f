// The host table Screevo was given, and typed access to the host API slots
// it calls whose services the ABI header does not declare yet (the
// viewer). Those slots hold the host's placeholder until their systems
// exist; it fails with MiscError 1, which every caller here tolerates.
#pragma once

#include "pluginhost/abi/PlugInAbi.h"
#include "plugins/pluginsdk/HostSlots.h"

namespace screevo {

// Set by PLUGIN_Init; the host keeps it valid until the DLL is unloaded.
extern const HostApiTable* g_Host;
extern HMODULE g_Module;

using ViewerCloseSlot = BOOL (*)(PLUGIN_HANDLE caller);
using ViewerSetFullScreenSlot = BOOL (*)(DWORD* requestId, PLUGIN_HANDLE caller, DWORD deferred);

using pluginsdk::ReservedSlot;

inline ViewerCloseSlot HostViewerClose() { return ReservedSlot<ViewerCloseSlot>(g_Host->reserved111_134, 111, 113); }
inline ViewerSetFullScreenSlot HostViewerSetFullScreen() {
  return ReservedSlot<ViewerSetFullScreenSlot>(g_Host->reserved111_134, 111, 123);
}

}  // namespace screevo
