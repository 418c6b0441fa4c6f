#include "playback/mixer/MixerVolumeControl.h"

#include <algorithm>
#include <unordered_map>

#include "playback/mixer/Mixer.h"
#include "playback/mixer/MixerLine.h"
#include "playback/mixer/MixerLock.h"

TWL_IMPLEMENT_CLASS(CMixerVolumeControl, CDynamicObject)

namespace {

// The live controls by handle; guarded by the mixer lock.
std::unordered_map<uintptr_t, CMixerVolumeControl*>& LiveControls() {
  static auto* controls = new std::unordered_map<uintptr_t, CMixerVolumeControl*>;  // used until the process ends
  return *controls;
}

uintptr_t NewHandle() {
  static uintptr_t last = 0;  // 64 bits: never runs out
  return ++last;
}

}  // namespace

CMixerVolumeControl::CMixerVolumeControl(CMixer& mixer, const MIXERCONTROLA& control, DWORD componentType)
    : m_Mixer(&mixer),
      m_ControlId(control.dwControlID),
      m_ComponentType(componentType),
      m_Maximum(control.Bounds.dwMaximum),
      m_Minimum(control.Bounds.dwMinimum) {
  CriticalSectionLock lock(GetMixerLock());
  m_Handle = NewHandle();
  LiveControls().emplace(m_Handle, this);
  m_Mixer->AddRef();
}

CMixerVolumeControl::~CMixerVolumeControl() {
  CriticalSectionLock lock(GetMixerLock());
  RestoreVolume();
  LiveControls().erase(m_Handle);
  m_Mixer->RemoveControl(this);
  m_Mixer->Release();
}

CMixerVolumeControl* CMixerVolumeControl::FindLive(uintptr_t handle) {
  CriticalSectionLock lock(GetMixerLock());
  const auto found = LiveControls().find(handle);
  return found == LiveControls().end() ? nullptr : found->second;
}

bool CMixerVolumeControl::SetVolume(int level) {
  CriticalSectionLock lock(GetMixerLock());
  DWORD base = m_BaseValue;
  if (!m_Active && !ReadControlValue(m_Mixer->GetHandle(), m_ControlId, base)) return false;
  // The level is the caller's to keep in 0..256; a value that no line can
  // hold is refused as the device would refuse it.
  const int64_t value = (int64_t{base} - m_Minimum) * level / kFullLevel + m_Minimum;
  if (value < 0 || value > UINT32_MAX) {
    ReportMixerError(MIXERR_INVALVALUE);
    return false;
  }
  if (!WriteControlValue(m_Mixer->GetHandle(), m_ControlId, static_cast<DWORD>(value))) return false;
  m_BaseValue = base;
  m_Active = true;
  ++m_PendingOwnChanges;
  m_Level = level;
  return true;
}

int CMixerVolumeControl::GetVolume() {
  CriticalSectionLock lock(GetMixerLock());
  return m_Active ? m_Level : kFullLevel;
}

bool CMixerVolumeControl::RestoreVolume() {
  CriticalSectionLock lock(GetMixerLock());
  if (!m_Active) return true;
  if (!WriteControlValue(m_Mixer->GetHandle(), m_ControlId, m_BaseValue)) return false;
  m_Active = false;
  ++m_PendingOwnChanges;
  return true;
}

// The notices of the control's own sets are counted off; any other change
// is the user's, and the base follows it: the base the current level would
// have turned into the line's new value.
void CMixerVolumeControl::OnControlChange() {
  CriticalSectionLock lock(GetMixerLock());
  if (m_PendingOwnChanges > 0) {
    --m_PendingOwnChanges;
    return;
  }
  if (!m_Active) return;
  DWORD value = 0;
  if (!ReadControlValue(m_Mixer->GetHandle(), m_ControlId, value)) {
    m_Active = false;  // a later restore must not write a stale value
    return;
  }
  if (m_Level <= 0) {
    m_BaseValue = value;
    return;
  }
  const uint64_t above = value > m_Minimum ? value - m_Minimum : 0;
  const uint64_t base = m_Minimum + above * kFullLevel / static_cast<uint64_t>(m_Level);
  m_BaseValue = static_cast<DWORD>(std::min<uint64_t>(base, m_Maximum));
}
