// Typed access to the host API slots whose services the ABI header does
// not declare yet: the viewer and the plug-in data key. Until the host's systems behind them exist they
// hold the host's placeholder, which fails with MiscError 1; every caller
// tolerates that.
#pragma once

#include <cstddef>

#include "pluginhost/abi/PlugInAbi.h"

namespace pluginsdk {

template <typename Slot, size_t N>
Slot ReservedSlot(HOST_ReservedSlot const (&slots)[N], size_t first, size_t slot) {
  // Through void(*)(), which the compiler accepts as any function type.
  return reinterpret_cast<Slot>(reinterpret_cast<void (*)()>(slots[slot - first]));
}

// What a viewer draws into: opaque to the plug-in, handed back to the host.
typedef void* HOST_DRAWTARGET;

struct HostViewerSlots {
  explicit HostViewerSlots(const HostApiTable& host) : m_Host(host) {}

  BOOL Create(DWORD contentHeight, DWORD flags, DWORD* requestId, PLUGIN_HANDLE caller) const {
    return Slot<BOOL (*)(DWORD, DWORD, DWORD*, PLUGIN_HANDLE)>(111)(contentHeight, flags, requestId, caller);
  }
  BOOL Close(PLUGIN_HANDLE caller) const { return Slot<BOOL (*)(PLUGIN_HANDLE)>(113)(caller); }
  BOOL BeginDraw(HOST_DRAWTARGET* target, PLUGIN_HANDLE caller) const {
    return Slot<BOOL (*)(HOST_DRAWTARGET*, PLUGIN_HANDLE)>(115)(target, caller);
  }
  void EndDraw(const RECT* drawn, PLUGIN_HANDLE caller) const {
    Slot<void (*)(const RECT*, PLUGIN_HANDLE)>(116)(drawn, caller);
  }
  BOOL PaintBackground(HOST_DRAWTARGET target, int32_t x, int32_t y, const RECT* rect) const {
    return Slot<BOOL (*)(HOST_DRAWTARGET, int32_t, int32_t, const RECT*)>(119)(target, x, y, rect);
  }
  DWORD GetPlayerMode() const { return Slot<DWORD (*)()>(120)(); }
  BOOL EnterFullScreen(const DWORD (&record)[4], DWORD* requestId, PLUGIN_HANDLE caller) const {
    return Slot<BOOL (*)(DWORD, DWORD, DWORD, DWORD, DWORD*, PLUGIN_HANDLE)>(122)(record[0], record[1], record[2],
                                                                                  record[3], requestId, caller);
  }
  BOOL LeaveFullScreen(DWORD* requestId, PLUGIN_HANDLE caller, DWORD deferred) const {
    return Slot<BOOL (*)(DWORD*, PLUGIN_HANDLE, DWORD)>(123)(requestId, caller, deferred);
  }

 private:
  template <typename Fn>
  Fn Slot(size_t slot) const {
    return ReservedSlot<Fn>(m_Host.reserved111_134, 111, slot);
  }
  const HostApiTable& m_Host;
};

// The plug-in's own registry key below the host's settings key.
inline BOOL HostOpenPluginDataKey(const HostApiTable& host, REGSAM access, HKEY* key, PLUGIN_HANDLE caller) {
  return ReservedSlot<BOOL (*)(REGSAM, HKEY*, PLUGIN_HANDLE)>(host.reserved237_239, 237, 238)(access, key, caller);
}

}  // namespace pluginsdk
