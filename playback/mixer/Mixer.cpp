#include "playback/mixer/Mixer.h"

#include "playback/mixer/MixerLine.h"
#include "playback/mixer/MixerLock.h"
#include "playback/mixer/MixerManager.h"
#include "playback/mixer/MixerVolumeControl.h"

TWL_IMPLEMENT_CLASS(CMixer, CDynamicObject)

CMixer::~CMixer() {
  CriticalSectionLock lock(GetMixerLock());
  if (m_Opened) mixerClose(m_Handle);
  m_Opened = false;
  if (m_Manager) m_Manager->ForgetMixer(m_Device, this);
}

bool CMixer::Open(CMixerManager& manager, INT device, HWND noticeWindow) {
  CriticalSectionLock lock(GetMixerLock());
  m_Manager = &manager;
  m_Device = device;
  const MMRESULT result = mixerOpen(&m_Handle, static_cast<UINT>(device), reinterpret_cast<DWORD_PTR>(noticeWindow), 0,
                                    noticeWindow ? CALLBACK_WINDOW : CALLBACK_NULL);
  if (result != MMSYSERR_NOERROR) {
    ReportMixerError(result);
    return false;
  }
  m_Opened = true;
  return true;
}

bool CMixer::GetVolumeControl(DWORD componentType, CMixerVolumeControl** control) {
  CriticalSectionLock lock(GetMixerLock());
  for (CMixerVolumeControl* held = m_Controls; held; held = held->next) {
    if (held->GetComponentType() != componentType) continue;
    held->AddRef();
    *control = held;
    return true;
  }
  MIXERCONTROLA found{};
  if (!FindVolumeControl(reinterpret_cast<HMIXEROBJ>(m_Handle), MIXER_OBJECTF_HMIXER, componentType, found)) {
    return false;
  }
  auto* made = new CMixerVolumeControl(*this, found, componentType);
  made->next = m_Controls;
  m_Controls = made;
  *control = made;
  return true;
}

void CMixer::RemoveControl(CMixerVolumeControl* control) {
  CriticalSectionLock lock(GetMixerLock());
  for (CMixerVolumeControl** link = &m_Controls; *link; link = &(*link)->next) {
    if (*link != control) continue;
    *link = control->next;
    control->next = nullptr;
    break;
  }
  if (!m_Controls && m_Opened) {
    mixerClose(m_Handle);
    m_Opened = false;
  }
}

void CMixer::ReleaseAllControls() {
  CriticalSectionLock lock(GetMixerLock());
  // The last control's going would delete the mixer inside this loop.
  AddRef();
  while (m_Controls) m_Controls->Release();
  Release();
}

CMixerVolumeControl* CMixer::FindControl(DWORD controlId) const {
  for (CMixerVolumeControl* control = m_Controls; control; control = control->next) {
    if (control->GetControlId() == controlId) return control;
  }
  return nullptr;
}
