// Host API slots of the mixer volume control: the current player gets a
// line's volume control and sets, reads and restores its level. The host
// releases every control when playback stops, under a player's feet, so
// each slot looks its control up among the live ones under the mixer lock
// and holds the lock while it uses it: a control the host has released is
// refused with an invalid parameter (releasing it does nothing).
#include "playback/mixer/MixerLock.h"
#include "playback/mixer/MixerVolumeControl.h"
#include "playback/playersystem/PlayerSystem.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {
namespace {

uintptr_t ToHandle(HOST_MIXERCONTROL control) { return reinterpret_cast<uintptr_t>(control); }

template <class Work>
BOOL WithControl(HOST_MIXERCONTROL handle, Work work) {
  CriticalSectionLock lock(GetMixerLock());
  CMixerVolumeControl* control = CMixerVolumeControl::FindLive(ToHandle(handle));
  if (!control) return FailInvalidParameter();
  return RunSlot(FALSE, [&] { return work(*control) ? TRUE : FALSE; });
}

}  // namespace

BOOL HOST_GetMixerVolumeControl(DWORD componentType, PLUGIN_HANDLE player, HOST_MIXERCONTROL* out) {
  if (!out) return FailInvalidParameter();
  *out = nullptr;
  return RunSlot(FALSE, [&] {
    CMixerVolumeControl* control = nullptr;
    if (!GetPlayerSystem().GetMixerVolumeControl(componentType, &control, player)) return FALSE;
    *out = reinterpret_cast<HOST_MIXERCONTROL>(control->GetHandle());
    return TRUE;
  });
}

LONG HOST_ReleaseMixerVolumeControl(HOST_MIXERCONTROL handle) {
  CriticalSectionLock lock(GetMixerLock());
  CMixerVolumeControl* control = CMixerVolumeControl::FindLive(ToHandle(handle));
  return control ? control->Release() : 0;
}

BOOL HOST_MixerSetVolume(HOST_MIXERCONTROL handle, int32_t level) {
  return WithControl(handle, [&](CMixerVolumeControl& control) { return control.SetVolume(level); });
}

BOOL HOST_MixerGetVolume(HOST_MIXERCONTROL handle, int32_t* level) {
  if (!level) return FailInvalidParameter();
  *level = 0;
  return WithControl(handle, [&](CMixerVolumeControl& control) {
    *level = control.GetVolume();
    return true;
  });
}

BOOL HOST_MixerRestoreVolume(HOST_MIXERCONTROL handle) {
  return WithControl(handle, [&](CMixerVolumeControl& control) { return control.RestoreVolume(); });
}

}  // namespace hostapi
