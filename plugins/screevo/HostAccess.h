// The host table Screevo was given, and typed access to the host API slots
// it calls whose services the ABI header does not declare yet (the icon
// list, file information, file filters and the viewer). Those slots hold
// the host's placeholder until their systems exist; it fails with
// MiscError 1, which every caller here tolerates.
#pragma once

#include "pluginhost/abi/PlugInAbi.h"

namespace screevo {

// Set by PLUGIN_Init; the host keeps it valid until the DLL is unloaded.
extern const HostApiTable* g_Host;
extern HMODULE g_Module;

using AddIconSlot = int32_t (*)(HICON icon);
using SetFileInfoSlot = BOOL (*)(const char* path, const char* typeText, DWORD typePriority, int32_t typeIcon,
                                 DWORD iconPriority, int32_t thirdValue, DWORD thirdPriority, PLUGIN_HANDLE caller);
using AddFileFilterPatternSlot = BOOL (*)(void* list, const char* text, DWORD value, PLUGIN_HANDLE caller);
using ViewerCloseSlot = BOOL (*)(PLUGIN_HANDLE caller);
using ViewerSetFullScreenSlot = BOOL (*)(DWORD* requestId, PLUGIN_HANDLE caller, DWORD deferred);

template <typename Slot, size_t N>
Slot ReservedSlot(HOST_ReservedSlot const (&slots)[N], size_t first, size_t slot) {
  // Through void(*)(), which the compiler accepts as any function type.
  return reinterpret_cast<Slot>(reinterpret_cast<void (*)()>(slots[slot - first]));
}

inline AddIconSlot HostAddIcon() { return ReservedSlot<AddIconSlot>(g_Host->reserved62_66, 62, 63); }
inline SetFileInfoSlot HostSetFileInfo() { return ReservedSlot<SetFileInfoSlot>(g_Host->reserved62_66, 62, 66); }
inline AddFileFilterPatternSlot HostAddFileFilterPattern() {
  return ReservedSlot<AddFileFilterPatternSlot>(g_Host->reserved92_134, 92, 110);
}
inline ViewerCloseSlot HostViewerClose() { return ReservedSlot<ViewerCloseSlot>(g_Host->reserved92_134, 92, 113); }
inline ViewerSetFullScreenSlot HostViewerSetFullScreen() {
  return ReservedSlot<ViewerSetFullScreenSlot>(g_Host->reserved92_134, 92, 123);
}

}  // namespace screevo
