// Wave input without a capture device: nothing can be opened, so every
// handle is taken for a closed one.
#include "twlwin/mmsystem.h"

TWLAPI MMRESULT waveInStart(HWAVEIN) { return MMSYSERR_INVALHANDLE; }

TWLAPI MMRESULT waveInStop(HWAVEIN) { return MMSYSERR_INVALHANDLE; }

TWLAPI MMRESULT waveInReset(HWAVEIN) { return MMSYSERR_INVALHANDLE; }

TWLAPI MMRESULT waveInUnprepareHeader(HWAVEIN, LPWAVEHDR, UINT) { return MMSYSERR_INVALHANDLE; }

TWLAPI MMRESULT waveInClose(HWAVEIN) { return MMSYSERR_INVALHANDLE; }

TWLAPI MMRESULT waveInGetErrorTextA(MMRESULT, LPSTR text, UINT length) {
  if (text && length > 0) text[0] = '\0';
  return MMSYSERR_BADERRNUM;
}
