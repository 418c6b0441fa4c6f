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

// The mixer: device 0 has one line, the speakers, whose one volume control
// is the master volume of the layer's sound output (0..65535, scaling the
// mix by value / 65535). Every change of a control, the program's own
// included, posts MM_MIXM_CONTROL_CHANGE (wParam the receiver's HMIXER,
// lParam the control id) to the window of every handle opened with
// CALLBACK_WINDOW. The volume belongs to this process: it starts at 65535.
// Any thread may call these functions.
TWL_DECLARE_HANDLE(HMIXER);
TWL_DECLARE_HANDLE(HMIXEROBJ);
typedef HMIXER* LPHMIXER;

#define MMSYSERR_ERROR (MMSYSERR_BASE + 1)
#define MMSYSERR_BADDEVICEID (MMSYSERR_BASE + 2)
#define MMSYSERR_INVALHANDLE (MMSYSERR_BASE + 5)
#define MMSYSERR_NODRIVER (MMSYSERR_BASE + 6)
#define MMSYSERR_NOMEM (MMSYSERR_BASE + 7)
#define MMSYSERR_NOTSUPPORTED (MMSYSERR_BASE + 8)
#define MMSYSERR_INVALFLAG (MMSYSERR_BASE + 10)
#define MMSYSERR_INVALPARAM (MMSYSERR_BASE + 11)
#define MIXERR_INVALLINE (MIXERR_BASE + 0)
#define MIXERR_INVALCONTROL (MIXERR_BASE + 1)
#define MIXERR_INVALVALUE (MIXERR_BASE + 2)

#define CALLBACK_TYPEMASK 0x00070000
#define CALLBACK_NULL 0x00000000
#define CALLBACK_WINDOW 0x00010000

#define MM_MIXM_LINE_CHANGE 0x3D0
#define MM_MIXM_CONTROL_CHANGE 0x3D1

// How the first argument of the mixer functions is meant: a device index
// or, with MIXER_OBJECTF_HMIXER, an open handle.
#define MIXER_OBJECTF_HANDLE 0x80000000
#define MIXER_OBJECTF_MIXER 0x00000000
#define MIXER_OBJECTF_HMIXER (MIXER_OBJECTF_HANDLE | MIXER_OBJECTF_MIXER)
#define MIXER_OBJECTF_TYPEMASK 0xF0000000

#define MIXER_GETLINEINFOF_DESTINATION 0x00000000
#define MIXER_GETLINEINFOF_SOURCE 0x00000001
#define MIXER_GETLINEINFOF_LINEID 0x00000002
#define MIXER_GETLINEINFOF_COMPONENTTYPE 0x00000003
#define MIXER_GETLINEINFOF_TARGETTYPE 0x00000004
#define MIXER_GETLINEINFOF_QUERYMASK 0x0000000F
#define MIXER_GETLINECONTROLSF_ALL 0x00000000
#define MIXER_GETLINECONTROLSF_ONEBYID 0x00000001
#define MIXER_GETLINECONTROLSF_ONEBYTYPE 0x00000002
#define MIXER_GETLINECONTROLSF_QUERYMASK 0x0000000F
#define MIXER_GETCONTROLDETAILSF_VALUE 0x00000000
#define MIXER_GETCONTROLDETAILSF_LISTTEXT 0x00000001
#define MIXER_GETCONTROLDETAILSF_QUERYMASK 0x0000000F
#define MIXER_SETCONTROLDETAILSF_VALUE 0x00000000
#define MIXER_SETCONTROLDETAILSF_CUSTOM 0x00000001
#define MIXER_SETCONTROLDETAILSF_QUERYMASK 0x0000000F

#define MIXER_SHORT_NAME_CHARS 16
#define MIXER_LONG_NAME_CHARS 64
#define MAXPNAMELEN 32

#define MIXERLINE_LINEF_ACTIVE 0x00000001
#define MIXERLINE_LINEF_SOURCE 0x80000000
#define MIXERLINE_COMPONENTTYPE_DST_UNDEFINED 0
#define MIXERLINE_COMPONENTTYPE_DST_DIGITAL 1
#define MIXERLINE_COMPONENTTYPE_DST_LINE 2
#define MIXERLINE_COMPONENTTYPE_DST_MONITOR 3
#define MIXERLINE_COMPONENTTYPE_DST_SPEAKERS 4
#define MIXERLINE_COMPONENTTYPE_DST_HEADPHONES 5
#define MIXERLINE_COMPONENTTYPE_DST_TELEPHONE 6
#define MIXERLINE_COMPONENTTYPE_DST_WAVEIN 7
#define MIXERLINE_COMPONENTTYPE_DST_VOICEIN 8
#define MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT 0x1008
#define MIXERLINE_TARGETTYPE_UNDEFINED 0
#define MIXERLINE_TARGETTYPE_WAVEOUT 1

#define MIXERCONTROL_CONTROLF_UNIFORM 0x00000001
#define MIXERCONTROL_CONTROLTYPE_VOLUME 0x50030001

// 168 bytes, as the record has always measured: dwUser keeps 32 bits.
typedef struct tagMIXERLINEA {
  DWORD cbStruct;
  DWORD dwDestination;
  DWORD dwSource;
  DWORD dwLineID;
  DWORD fdwLine;
  DWORD dwUser;
  DWORD dwComponentType;
  DWORD cChannels;
  DWORD cConnections;
  DWORD cControls;
  CHAR szShortName[MIXER_SHORT_NAME_CHARS];
  CHAR szName[MIXER_LONG_NAME_CHARS];
  struct {
    DWORD dwType;
    DWORD dwDeviceID;
    WORD wMid;
    WORD wPid;
    UINT vDriverVersion;
    CHAR szPname[MAXPNAMELEN];
  } Target;
} MIXERLINEA, *LPMIXERLINEA;
static_assert(sizeof(MIXERLINEA) == 168);

// 148 bytes.
typedef struct tagMIXERCONTROLA {
  DWORD cbStruct;
  DWORD dwControlID;
  DWORD dwControlType;
  DWORD fdwControl;
  DWORD cMultipleItems;
  CHAR szShortName[MIXER_SHORT_NAME_CHARS];
  CHAR szName[MIXER_LONG_NAME_CHARS];
  union {
    struct {
      LONG lMinimum;
      LONG lMaximum;
    };
    struct {
      DWORD dwMinimum;
      DWORD dwMaximum;
    };
    DWORD dwReserved[6];
  } Bounds;
  union {
    DWORD cSteps;
    DWORD cbCustomData;
    DWORD dwReserved[6];
  } Metrics;
} MIXERCONTROLA, *LPMIXERCONTROLA;
static_assert(sizeof(MIXERCONTROLA) == 148);

typedef struct tagMIXERLINECONTROLSA {
  DWORD cbStruct;
  DWORD dwLineID;
  union {
    DWORD dwControlID;
    DWORD dwControlType;
  };
  DWORD cControls;
  DWORD cbmxctrl;
  LPMIXERCONTROLA pamxctrl;
} MIXERLINECONTROLSA, *LPMIXERLINECONTROLSA;

typedef struct tMIXERCONTROLDETAILS {
  DWORD cbStruct;
  DWORD dwControlID;
  DWORD cChannels;
  union {
    HWND hwndOwner;
    DWORD cMultipleItems;
  };
  DWORD cbDetails;
  LPVOID paDetails;
} MIXERCONTROLDETAILS, *LPMIXERCONTROLDETAILS;

typedef struct tMIXERCONTROLDETAILS_UNSIGNED {
  DWORD dwValue;
} MIXERCONTROLDETAILS_UNSIGNED, *LPMIXERCONTROLDETAILS_UNSIGNED;

TWLAPI UINT mixerGetNumDevs();
// Opens device `deviceId`; with CALLBACK_WINDOW, `callback` is the window
// (an HWND) that gets the change notices.
TWLAPI MMRESULT mixerOpen(LPHMIXER mixer, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
TWLAPI MMRESULT mixerClose(HMIXER mixer);
// By component type only (MIXER_GETLINEINFOF_COMPONENTTYPE).
TWLAPI MMRESULT mixerGetLineInfoA(HMIXEROBJ object, LPMIXERLINEA line, DWORD flags);
// All controls of a line only (MIXER_GETLINECONTROLSF_ALL).
TWLAPI MMRESULT mixerGetLineControlsA(HMIXEROBJ object, LPMIXERLINECONTROLSA controls, DWORD flags);
// Values only, one channel, MIXERCONTROLDETAILS_UNSIGNED.
TWLAPI MMRESULT mixerGetControlDetailsA(HMIXEROBJ object, LPMIXERCONTROLDETAILS details, DWORD flags);
TWLAPI MMRESULT mixerSetControlDetails(HMIXEROBJ object, LPMIXERCONTROLDETAILS details, DWORD flags);

// Wave input. The layer has no capture device: no wave-in device is ever
// opened, so every handle is a closed one and each function below answers
// MMSYSERR_INVALHANDLE, as for a device already closed. The layer knows no
// wave error texts: waveInGetErrorTextA answers MMSYSERR_BADERRNUM with the
// empty text, so callers take their unknown-text path.
TWL_DECLARE_HANDLE(HWAVEIN);

#define MMSYSERR_BADERRNUM (MMSYSERR_BASE + 9)
#define MAXERRORLENGTH 256

#define WHDR_DONE 0x00000001
#define WHDR_PREPARED 0x00000002

typedef struct wavehdr_tag {
  LPSTR lpData;
  DWORD dwBufferLength;
  DWORD dwBytesRecorded;
  DWORD_PTR dwUser;
  DWORD dwFlags;
  DWORD dwLoops;
  struct wavehdr_tag* lpNext;
  DWORD_PTR reserved;
} WAVEHDR, *LPWAVEHDR;

TWLAPI MMRESULT waveInStart(HWAVEIN waveIn);
TWLAPI MMRESULT waveInStop(HWAVEIN waveIn);
TWLAPI MMRESULT waveInReset(HWAVEIN waveIn);
TWLAPI MMRESULT waveInUnprepareHeader(HWAVEIN waveIn, LPWAVEHDR header, UINT headerSize);
TWLAPI MMRESULT waveInClose(HWAVEIN waveIn);
// Copies the text of a result code into the buffer (length includes the
// terminating zero).
TWLAPI MMRESULT waveInGetErrorTextA(MMRESULT error, LPSTR text, UINT length);
