// The Windows multimedia interface: result codes of the multimedia
// functions and the Media Control Interface's error texts. Linux has no
// MCI; the layer knows no MCI error text, so every caller takes its
// unknown-text path.
#pragma once

#include "types.h"

typedef UINT MMRESULT;
typedef DWORD MCIERROR;

#define MMSYSERR_BASE 0
#define WAVERR_BASE 32
#define MIDIERR_BASE 64
#define TIMERR_BASE 96
#define JOYERR_BASE 160
#define MCIERR_BASE 256
#define MIXERR_BASE 1024

#define MMSYSERR_NOERROR 0

// Copies the text of an MCI error code into the buffer (length includes the
// terminating zero). FALSE when the code has no text; the buffer then
// holds the empty text when it has room for it.
TWLAPI BOOL mciGetErrorStringA(MCIERROR error, LPSTR buffer, UINT length);
