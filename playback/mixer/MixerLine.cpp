#include "playback/mixer/MixerLine.h"

#include <vector>

#include "foundation/errors/ThreadErrorState.h"
#include "foundation/errors/WinMMError.h"

void ReportMixerError(MMRESULT result) {
  SetThreadError(THREAD_ERROR_WINMM, result, CWinMMError::GetErrorText(result));
}

void ReportMixerControlUnavailable() {
  SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_MIXER_CONTROL_UNAVAILABLE,
                 GetMiscErrorText(MISC_ERROR_MIXER_CONTROL_UNAVAILABLE));
}

MMRESULT QueryVolumeControl(HMIXEROBJ object, DWORD objectFlags, DWORD componentType, MIXERCONTROLA& control) {
  MIXERLINEA line{};
  line.cbStruct = sizeof line;
  line.dwComponentType = componentType;
  MMRESULT result = mixerGetLineInfoA(object, &line, objectFlags | MIXER_GETLINEINFOF_COMPONENTTYPE);
  if (result != MMSYSERR_NOERROR) return result;
  if (line.cControls == 0) return MIXERR_INVALCONTROL;
  std::vector<MIXERCONTROLA> controls(line.cControls);
  MIXERLINECONTROLSA request{};
  request.cbStruct = sizeof request;
  request.dwLineID = line.dwLineID;
  request.cControls = line.cControls;
  request.cbmxctrl = sizeof(MIXERCONTROLA);
  request.pamxctrl = controls.data();
  result = mixerGetLineControlsA(object, &request, objectFlags | MIXER_GETLINECONTROLSF_ALL);
  if (result != MMSYSERR_NOERROR) return result;
  for (const MIXERCONTROLA& candidate : controls) {
    if (candidate.dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME) continue;
    control = candidate;
    return MMSYSERR_NOERROR;
  }
  return MIXERR_INVALCONTROL;
}

bool FindVolumeControl(HMIXEROBJ object, DWORD objectFlags, DWORD componentType, MIXERCONTROLA& control) {
  const MMRESULT result = QueryVolumeControl(object, objectFlags, componentType, control);
  if (result == MMSYSERR_NOERROR) return true;
  // A device without a line of the type says so as an invalid line; with
  // that or a line without a volume control the control is unavailable
  // there, and another device may have it.
  if (result == MIXERR_INVALLINE || result == MIXERR_INVALCONTROL) {
    ReportMixerControlUnavailable();
  } else {
    ReportMixerError(result);
  }
  return false;
}

MIXERCONTROLDETAILS ValueDetails(DWORD controlId, MIXERCONTROLDETAILS_UNSIGNED& value) {
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof details;
  details.dwControlID = controlId;
  details.cChannels = 1;
  details.cbDetails = sizeof value;
  details.paDetails = &value;
  return details;
}

namespace {

HMIXEROBJ AsObject(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

}  // namespace

bool ReadControlValue(HMIXER mixer, DWORD controlId, DWORD& value) {
  MIXERCONTROLDETAILS_UNSIGNED details{};
  MIXERCONTROLDETAILS request = ValueDetails(controlId, details);
  const MMRESULT result =
      mixerGetControlDetailsA(AsObject(mixer), &request, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
  if (result != MMSYSERR_NOERROR) {
    ReportMixerError(result);
    return false;
  }
  value = details.dwValue;
  return true;
}

bool WriteControlValue(HMIXER mixer, DWORD controlId, DWORD value) {
  MIXERCONTROLDETAILS_UNSIGNED details{value};
  MIXERCONTROLDETAILS request = ValueDetails(controlId, details);
  const MMRESULT result =
      mixerSetControlDetails(AsObject(mixer), &request, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
  if (result != MMSYSERR_NOERROR) {
    ReportMixerError(result);
    return false;
  }
  return true;
}
