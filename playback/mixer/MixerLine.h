// The mixer calls the volume control makes, each leaving the reason of a
// failure in the calling thread's error record: a WinMM error with its
// code and text, or miscellaneous error 8 when the device has no such line
// or the line no volume control.
#pragma once

#include <windows.h>

// WinMM error `result` with its text.
void ReportMixerError(MMRESULT result);
// Miscellaneous error 8, "the specified mixer control is unavailable".
void ReportMixerControlUnavailable();

// The first volume control of the line of that component type. `object`
// is a device index, or an open mixer with MIXER_OBJECTF_HMIXER in
// `objectFlags`.
bool FindVolumeControl(HMIXEROBJ object, DWORD objectFlags, DWORD componentType, MIXERCONTROLA& control);
// The same search leaving the thread's error record alone: MIXERR_INVALLINE
// when the device has no such line, MIXERR_INVALCONTROL when the line has
// no volume control, else the error of the failed call.
MMRESULT QueryVolumeControl(HMIXEROBJ object, DWORD objectFlags, DWORD componentType, MIXERCONTROLA& control);

// The request for one channel's unsigned value of a control, kept in `value`.
MIXERCONTROLDETAILS ValueDetails(DWORD controlId, MIXERCONTROLDETAILS_UNSIGNED& value);

// One channel's value of a control, through an open mixer.
bool ReadControlValue(HMIXER mixer, DWORD controlId, DWORD& value);
bool WriteControlValue(HMIXER mixer, DWORD controlId, DWORD value);
