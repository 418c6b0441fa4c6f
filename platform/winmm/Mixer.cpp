// The mixer: one device whose speakers line carries one volume control,
// the master volume of the sound output. Open handles live in their own id
// table; a change of the volume posts a notice to the window of every
// handle opened with CALLBACK_WINDOW.
#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/dsound/Mixing.h"
#include "platform/dsound/SoundDevices.h"
#include "platform/dsound/SoundEngine.h"
#include "platform/kernel/IdTable.h"
#include "twlwin/mmsystem.h"
#include "twlwin/testing_sound.h"
#include "twlwin/windowing.h"

namespace {

constexpr DWORD kSpeakersLineId = 0xFFFF0000;
constexpr DWORD kVolumeControlId = 1;

struct OpenMixer {
  HWND window;  // null: no notices
};

twl::IdTable<OpenMixer>& OpenMixers() {
  static auto* table = new twl::IdTable<OpenMixer>;  // never destroyed: used during exit
  return *table;
}

HMIXER ToHandle(uint32_t id) { return reinterpret_cast<HMIXER>(static_cast<uintptr_t>(id)); }
uint32_t FromHandle(const void* handle) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)); }

void CopyName(char* target, size_t capacity, const std::string& name) {
  const size_t length = std::min(name.size(), capacity - 1);
  std::memcpy(target, name.data(), length);
  target[length] = '\0';
}

// The line's target is the sound output, under the default device's name.
void NameTarget(MIXERLINEA& line) {
  twl::sound::SoundDevice device;
  try {
    if (twl::sound::FindSoundDevice(nullptr, device)) CopyName(line.Target.szPname, sizeof line.Target.szPname, device.description);
  } catch (const std::bad_alloc&) {
    // The name stays empty.
  }
}

// The device an object argument names: a device index, or an open handle
// with MIXER_OBJECTF_HMIXER.
MMRESULT CheckObject(HMIXEROBJ object, DWORD flags) {
  switch (flags & MIXER_OBJECTF_TYPEMASK) {
    case MIXER_OBJECTF_MIXER:
      return FromHandle(object) < mixerGetNumDevs() ? MMSYSERR_NOERROR : MMSYSERR_BADDEVICEID;
    case MIXER_OBJECTF_HMIXER:
      return OpenMixers().Find(FromHandle(object)) ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
    default:
      return MMSYSERR_INVALFLAG;
  }
}

// Checks a request for the volume's value: one channel, unsigned details.
MMRESULT CheckValueDetails(const MIXERCONTROLDETAILS* details) {
  if (!details || details->cbStruct < sizeof(MIXERCONTROLDETAILS)) return MMSYSERR_INVALPARAM;
  if (details->dwControlID != kVolumeControlId) return MIXERR_INVALCONTROL;
  if (details->cChannels != 1 || details->cMultipleItems != 0) return MMSYSERR_INVALPARAM;
  if (details->cbDetails < sizeof(MIXERCONTROLDETAILS_UNSIGNED) || !details->paDetails) return MMSYSERR_INVALPARAM;
  return MMSYSERR_NOERROR;
}

// Sets the master volume and tells every window that opened the mixer,
// whoever made the change. False, with nothing changed, when memory ran
// out.
bool ChangeVolume(DWORD value) {
  std::vector<std::pair<uint32_t, HWND>> receivers;
  try {
    OpenMixers().ForEach([&](uint32_t id, const std::shared_ptr<OpenMixer>& mixer) {
      if (mixer->window) receivers.emplace_back(id, mixer->window);
    });
  } catch (const std::bad_alloc&) {
    return false;
  }
  twl::sound::SoundEngine& engine = twl::sound::SoundEngine::Get();
  engine.Update([&] { engine.SetMasterVolume(value); });
  for (const auto& [id, window] : receivers) {
    PostMessageA(window, MM_MIXM_CONTROL_CHANGE, reinterpret_cast<WPARAM>(ToHandle(id)), kVolumeControlId);
  }
  return true;
}

}  // namespace

TWLAPI UINT mixerGetNumDevs() { return twl::sound::SoundDeviceCount() == 0 ? 0 : 1; }

TWLAPI MMRESULT mixerOpen(LPHMIXER mixer, UINT deviceId, DWORD_PTR callback, DWORD_PTR, DWORD flags) {
  if (!mixer) return MMSYSERR_INVALPARAM;
  *mixer = nullptr;
  const DWORD callbackType = flags & CALLBACK_TYPEMASK;
  if (callbackType != CALLBACK_NULL && callbackType != CALLBACK_WINDOW) return MMSYSERR_INVALFLAG;
  if (MMRESULT checked = CheckObject(reinterpret_cast<HMIXEROBJ>(static_cast<uintptr_t>(deviceId)), flags);
      checked != MMSYSERR_NOERROR) {
    return checked;
  }
  HWND window = nullptr;
  if (callbackType == CALLBACK_WINDOW) {
    window = reinterpret_cast<HWND>(callback);
    if (!IsWindow(window)) return MMSYSERR_INVALPARAM;
  }
  uint32_t id = 0;
  try {
    id = OpenMixers().Insert(std::make_shared<OpenMixer>(OpenMixer{window}));
  } catch (const std::bad_alloc&) {
    return MMSYSERR_NOMEM;
  }
  if (id == 0) return MMSYSERR_NOMEM;
  *mixer = ToHandle(id);
  return MMSYSERR_NOERROR;
}

TWLAPI MMRESULT mixerClose(HMIXER mixer) {
  return OpenMixers().Remove(FromHandle(mixer)) ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

TWLAPI MMRESULT mixerGetLineInfoA(HMIXEROBJ object, LPMIXERLINEA line, DWORD flags) {
  if (!line || line->cbStruct < sizeof(MIXERLINEA)) return MMSYSERR_INVALPARAM;
  if ((flags & MIXER_GETLINEINFOF_QUERYMASK) != MIXER_GETLINEINFOF_COMPONENTTYPE) return MMSYSERR_NOTSUPPORTED;
  if (MMRESULT checked = CheckObject(object, flags); checked != MMSYSERR_NOERROR) return checked;
  if (line->dwComponentType != MIXERLINE_COMPONENTTYPE_DST_SPEAKERS) return MIXERR_INVALLINE;
  const DWORD size = line->cbStruct;
  *line = MIXERLINEA{};
  line->cbStruct = size;
  line->dwLineID = kSpeakersLineId;
  line->fdwLine = MIXERLINE_LINEF_ACTIVE;
  line->dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
  line->cChannels = 1;
  line->cControls = 1;
  CopyName(line->szShortName, sizeof line->szShortName, "Speakers");
  CopyName(line->szName, sizeof line->szName, "Speakers");
  line->Target.dwType = MIXERLINE_TARGETTYPE_WAVEOUT;
  NameTarget(*line);
  return MMSYSERR_NOERROR;
}

TWLAPI MMRESULT mixerGetLineControlsA(HMIXEROBJ object, LPMIXERLINECONTROLSA controls, DWORD flags) {
  if (!controls || controls->cbStruct < sizeof(MIXERLINECONTROLSA)) return MMSYSERR_INVALPARAM;
  if ((flags & MIXER_GETLINECONTROLSF_QUERYMASK) != MIXER_GETLINECONTROLSF_ALL) return MMSYSERR_NOTSUPPORTED;
  if (MMRESULT checked = CheckObject(object, flags); checked != MMSYSERR_NOERROR) return checked;
  if (controls->dwLineID != kSpeakersLineId) return MIXERR_INVALLINE;
  if (controls->cControls != 1 || controls->cbmxctrl < sizeof(MIXERCONTROLA) || !controls->pamxctrl) {
    return MMSYSERR_INVALPARAM;
  }
  MIXERCONTROLA& control = controls->pamxctrl[0];
  control = MIXERCONTROLA{};
  control.cbStruct = sizeof(MIXERCONTROLA);
  control.dwControlID = kVolumeControlId;
  control.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
  control.fdwControl = MIXERCONTROL_CONTROLF_UNIFORM;
  CopyName(control.szShortName, sizeof control.szShortName, "Volume");
  CopyName(control.szName, sizeof control.szName, "Master Volume");
  control.Bounds.dwMinimum = 0;
  control.Bounds.dwMaximum = twl::sound::kMasterVolumeMax;
  control.Metrics.cSteps = twl::sound::kMasterVolumeMax;
  return MMSYSERR_NOERROR;
}

TWLAPI MMRESULT mixerGetControlDetailsA(HMIXEROBJ object, LPMIXERCONTROLDETAILS details, DWORD flags) {
  if ((flags & MIXER_GETCONTROLDETAILSF_QUERYMASK) != MIXER_GETCONTROLDETAILSF_VALUE) return MMSYSERR_NOTSUPPORTED;
  if (MMRESULT checked = CheckObject(object, flags); checked != MMSYSERR_NOERROR) return checked;
  if (MMRESULT checked = CheckValueDetails(details); checked != MMSYSERR_NOERROR) return checked;
  twl::sound::SoundEngine& engine = twl::sound::SoundEngine::Get();
  static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails)->dwValue =
      engine.Update([&] { return engine.MasterVolume(); });
  return MMSYSERR_NOERROR;
}

TWLAPI MMRESULT mixerSetControlDetails(HMIXEROBJ object, LPMIXERCONTROLDETAILS details, DWORD flags) {
  if ((flags & MIXER_SETCONTROLDETAILSF_QUERYMASK) != MIXER_SETCONTROLDETAILSF_VALUE) return MMSYSERR_NOTSUPPORTED;
  if (MMRESULT checked = CheckObject(object, flags); checked != MMSYSERR_NOERROR) return checked;
  if (MMRESULT checked = CheckValueDetails(details); checked != MMSYSERR_NOERROR) return checked;
  const DWORD value = static_cast<const MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails)->dwValue;
  if (value > twl::sound::kMasterVolumeMax) return MIXERR_INVALVALUE;
  // Every set is a change, even to the value the control holds: a program
  // that counts the notices of its own sets must get one for each.
  return ChangeVolume(value) ? MMSYSERR_NOERROR : MMSYSERR_NOMEM;
}

TWLAPI BOOL TwlTestMoveMixerSlider(DWORD value) {
  return value <= twl::sound::kMasterVolumeMax && ChangeVolume(value) ? TRUE : FALSE;
}
