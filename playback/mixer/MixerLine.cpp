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

bool FindVolumeControl(HMIXEROBJ object, DWORD objectFlags, DWORD componentType, MIXERCONTROLA& control) {
  MIXERLINEA line{};
  line.cbStruct = sizeof line;
  line.dwComponentType = componentType;
  MMRESULT result = mixerGetLineInfoA(object, &line, objectFlags | MIXER_GETLINEINFOF_COMPONENTTYPE);
  // A device without a line of the type says so as an invalid line: the
  // control is unavailable there, and another device may have it.
  if (result == MIXERR_INVALLINE) {
    ReportMixerControlUnavailable();
    return false;
  }
  if (result != MMSYSERR_NOERROR) {
    ReportMixerError(result);
    return false;
  }
  if (line.cControls == 0) {
    ReportMixerControlUnavailable();
    return false;
  }
  std::vector<MIXERCONTROLA> controls(line.cControls);
  MIXERLINECONTROLSA request{};
  request.cbStruct = sizeof request;
  request.dwLineID = line.dwLineID;
  request.cControls = line.cControls;
  request.cbmxctrl = sizeof(MIXERCONTROLA);
  request.pamxctrl = controls.data();
  result = mixerGetLineControlsA(object, &request, objectFlags | MIXER_GETLINECONTROLSF_ALL);
  if (result != MMSYSERR_NOERROR) {
    ReportMixerError(result);
    return false;
  }
  for (const MIXERCONTROLA& candidate : controls) {
    if (candidate.dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME) continue;
    control = candidate;
    return true;
  }
  ReportMixerControlUnavailable();
  return false;
}

namespace {

MIXERCONTROLDETAILS ValueDetails(DWORD controlId, MIXERCONTROLDETAILS_UNSIGNED& value) {
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof details;
  details.dwControlID = controlId;
  details.cChannels = 1;
  details.cbDetails = sizeof value;
  details.paDetails = &value;
  return details;
}

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
