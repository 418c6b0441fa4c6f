#include "playback/mixer/MixerManager.h"

#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "playback/mixer/Mixer.h"
#include "playback/mixer/MixerLine.h"
#include "playback/mixer/MixerLock.h"
#include "playback/mixer/MixerVolumeControl.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CMixerManager, CTypedObject)

void CMixerManager::Init() {
  Clear();
  try {
    m_NoticeWindow.Create(&CMixerManager::OnNotice, this);
  } catch (CError* error) {
    StoreThreadError(error);
    DisposeError(error);
    LogThreadError(LOG_CATEGORY_ERROR, LocalText("CMixerManager.NoticeWindowError", "Mixer notices:").c_str());
    return;
  }
  CriticalSectionLock lock(GetMixerLock());
  m_DeviceCount = static_cast<INT>(mixerGetNumDevs());
  m_Mixers.assign(static_cast<size_t>(m_DeviceCount), nullptr);
}

void CMixerManager::Clear() {
  {
    CriticalSectionLock lock(GetMixerLock());
    ReleaseAllControls();
    m_Mixers.clear();
    m_DeviceCount = 0;
  }
  m_NoticeWindow.Destroy();
}

void CMixerManager::RestoreAllVolumes() {
  CriticalSectionLock lock(GetMixerLock());
  ReleaseAllControls();
}

// Each mixer leaves the table when its last control goes.
void CMixerManager::ReleaseAllControls() {
  for (size_t device = 0; device < m_Mixers.size(); ++device) {
    if (CMixer* mixer = m_Mixers[device]) mixer->ReleaseAllControls();
  }
}

bool CMixerManager::GetVolumeControl(DWORD componentType, CMixerVolumeControl** control) {
  if (!control) return false;
  *control = nullptr;
  CriticalSectionLock lock(GetMixerLock());
  ReportMixerControlUnavailable();
  for (INT device = 0; device < m_DeviceCount; ++device) {
    CMixer* mixer = m_Mixers[static_cast<size_t>(device)];
    if (mixer ? mixer->GetVolumeControl(componentType, control) : OpenDeviceControl(device, componentType, control)) {
      return true;
    }
    const ThreadErrorState* error = GetThreadErrorState();
    if (error->type != THREAD_ERROR_MISC || error->code != MISC_ERROR_MIXER_CONTROL_UNAVAILABLE) return false;
  }
  return false;
}

// Probes an unopened device for the line's volume control, then opens it
// and keeps it in the table while the control lives.
bool CMixerManager::OpenDeviceControl(INT device, DWORD componentType, CMixerVolumeControl** control) {
  MIXERCONTROLA found{};
  if (!FindVolumeControl(reinterpret_cast<HMIXEROBJ>(static_cast<uintptr_t>(device)), MIXER_OBJECTF_MIXER,
                         componentType, found)) {
    return false;
  }
  auto* mixer = new CMixer;
  if (!mixer->Open(*this, device, m_NoticeWindow.GetWindowHandle()) ||
      !mixer->GetVolumeControl(componentType, control)) {
    mixer->Release();
    return false;
  }
  m_Mixers[static_cast<size_t>(device)] = mixer;
  mixer->Release();  // the control keeps it now
  return true;
}

void CMixerManager::ForgetMixer(INT device, const CMixer* mixer) {
  CriticalSectionLock lock(GetMixerLock());
  if (device >= 0 && static_cast<size_t>(device) < m_Mixers.size() && m_Mixers[static_cast<size_t>(device)] == mixer) {
    m_Mixers[static_cast<size_t>(device)] = nullptr;
  }
}

void CMixerManager::ReportError(MMRESULT result) { ReportMixerError(result); }

void CMixerManager::OnNotice(void* context, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != MM_MIXM_CONTROL_CHANGE) return;
  static_cast<CMixerManager*>(context)->OnControlChange(reinterpret_cast<HMIXER>(wParam), static_cast<DWORD>(lParam));
}

// A notice of a device or control that has gone since it was posted finds
// nothing and is dropped.
void CMixerManager::OnControlChange(HMIXER handle, DWORD controlId) {
  CriticalSectionLock lock(GetMixerLock());
  for (CMixer* mixer : m_Mixers) {
    if (!mixer || mixer->GetHandle() != handle) continue;
    if (CMixerVolumeControl* control = mixer->FindControl(controlId)) control->OnControlChange();
    return;
  }
}
