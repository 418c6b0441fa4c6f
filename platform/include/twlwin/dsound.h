// DirectSound as the layer provides it: software sound buffers mixed into
// the primary format and played by the layer's sound sink (the sound device
// through SDL, nothing, or a WAV file; see twlwin/testing_sound.h and
// TWL_SOUND_SINK). Programs find DirectSoundCreate and DirectSoundEnumerateA
// in "dsound.dll" through LoadLibraryA and GetProcAddress.
//
// Every object may be used from any thread; the layer serialises the calls.
// The memory that Lock hands out is the caller's until Unlock.
#pragma once

#include "com.h"
#include "types.h"

typedef struct tWAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;
} WAVEFORMATEX, *PWAVEFORMATEX, *LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;

#define WAVE_FORMAT_PCM 1

// Results. DSERR_INVALIDPARAM is E_INVALIDARG.
#define DS_OK S_OK
#define DSERR_ALLOCATED static_cast<HRESULT>(0x8878000A)
#define DSERR_CONTROLUNAVAIL static_cast<HRESULT>(0x8878001E)
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_INVALIDCALL static_cast<HRESULT>(0x88780032)
#define DSERR_GENERIC E_FAIL
#define DSERR_PRIOLEVELNEEDED static_cast<HRESULT>(0x88780046)
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_BADFORMAT static_cast<HRESULT>(0x88780064)
#define DSERR_UNSUPPORTED E_NOTIMPL
#define DSERR_NODRIVER static_cast<HRESULT>(0x88780078)
#define DSERR_ALREADYINITIALIZED static_cast<HRESULT>(0x88780082)
#define DSERR_NOAGGREGATION CLASS_E_NOAGGREGATION
#define DSERR_BUFFERLOST static_cast<HRESULT>(0x88780096)
#define DSERR_OTHERAPPHASPRIO static_cast<HRESULT>(0x887800A0)
#define DSERR_UNINITIALIZED static_cast<HRESULT>(0x887800AA)
#define DSERR_NOINTERFACE E_NOINTERFACE

// Cooperative levels. The layer takes 1 to 3; writing the primary buffer
// directly is not offered.
#define DSSCL_NORMAL 1
#define DSSCL_PRIORITY 2
#define DSSCL_EXCLUSIVE 3
#define DSSCL_WRITEPRIMARY 4

// Device capabilities (DSCAPS::dwFlags).
#define DSCAPS_PRIMARYMONO 0x00000001
#define DSCAPS_PRIMARYSTEREO 0x00000002
#define DSCAPS_PRIMARY8BIT 0x00000004
#define DSCAPS_PRIMARY16BIT 0x00000008
#define DSCAPS_CONTINUOUSRATE 0x00000010
#define DSCAPS_EMULDRIVER 0x00000020
#define DSCAPS_SECONDARYMONO 0x00000100
#define DSCAPS_SECONDARYSTEREO 0x00000200
#define DSCAPS_SECONDARY8BIT 0x00000400
#define DSCAPS_SECONDARY16BIT 0x00000800

// Buffer capabilities (DSBUFFERDESC::dwFlags, DSBCAPS::dwFlags). Buffers
// with 3D, frequency or position-notification controls, or in hardware,
// are not offered (DSERR_CONTROLUNAVAIL).
#define DSBCAPS_PRIMARYBUFFER 0x00000001
#define DSBCAPS_STATIC 0x00000002
#define DSBCAPS_LOCHARDWARE 0x00000004
#define DSBCAPS_LOCSOFTWARE 0x00000008
#define DSBCAPS_CTRL3D 0x00000010
#define DSBCAPS_CTRLFREQUENCY 0x00000020
#define DSBCAPS_CTRLPAN 0x00000040
#define DSBCAPS_CTRLVOLUME 0x00000080
#define DSBCAPS_CTRLPOSITIONNOTIFY 0x00000100
#define DSBCAPS_STICKYFOCUS 0x00004000
#define DSBCAPS_GLOBALFOCUS 0x00008000
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000
#define DSBCAPS_MUTE3DATMAXDISTANCE 0x00020000
#define DSBCAPS_LOCDEFER 0x00040000

#define DSBPLAY_LOOPING 0x00000001
#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER 0x00000002
#define DSBSTATUS_PLAYING 0x00000001
#define DSBSTATUS_BUFFERLOST 0x00000002
#define DSBSTATUS_LOOPING 0x00000004

// Volume and pan in hundredths of a decibel of attenuation: the volume
// attenuates both sides, a negative pan the right side, a positive pan the
// left side; -10000 is silence.
#define DSBVOLUME_MIN (-10000)
#define DSBVOLUME_MAX 0
#define DSBPAN_LEFT (-10000)
#define DSBPAN_CENTER 0
#define DSBPAN_RIGHT 10000
#define DSBFREQUENCY_MIN 100
#define DSBFREQUENCY_MAX 100000
#define DSBSIZE_MIN 4
#define DSBSIZE_MAX 0x0FFFFFFF

typedef struct _DSCAPS {
  DWORD dwSize;  // 96
  DWORD dwFlags;
  DWORD dwMinSecondarySampleRate;
  DWORD dwMaxSecondarySampleRate;
  DWORD dwPrimaryBuffers;
  DWORD dwMaxHwMixingAllBuffers;
  DWORD dwMaxHwMixingStaticBuffers;
  DWORD dwMaxHwMixingStreamingBuffers;
  DWORD dwFreeHwMixingAllBuffers;
  DWORD dwFreeHwMixingStaticBuffers;
  DWORD dwFreeHwMixingStreamingBuffers;
  DWORD dwMaxHw3DAllBuffers;
  DWORD dwMaxHw3DStaticBuffers;
  DWORD dwMaxHw3DStreamingBuffers;
  DWORD dwFreeHw3DAllBuffers;
  DWORD dwFreeHw3DStaticBuffers;
  DWORD dwFreeHw3DStreamingBuffers;
  DWORD dwTotalHwMemBytes;
  DWORD dwFreeHwMemBytes;
  DWORD dwMaxContigFreeHwMemBytes;
  DWORD dwUnlockTransferRateHwBuffers;
  DWORD dwPlayCpuOverheadSwBuffers;
  DWORD dwReserved1;
  DWORD dwReserved2;
} DSCAPS, *LPDSCAPS;
typedef const DSCAPS* LPCDSCAPS;

typedef struct _DSBCAPS {
  DWORD dwSize;  // 20
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwUnlockTransferRate;
  DWORD dwPlayCpuOverhead;
} DSBCAPS, *LPDSBCAPS;

// dwSize is sizeof(DSBUFFERDESC); 20, the size of the record where
// pointers have 32 bits, is taken as well. A primary buffer has no bytes
// and no format; a secondary buffer needs both.
typedef struct _DSBUFFERDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwReserved;
  LPWAVEFORMATEX lpwfxFormat;
} DSBUFFERDESC, *LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;
#define DSBUFFERDESC_SIZE_32BIT 20

class IDirectSound;

inline constexpr IID IID_IDirectSound = {0x279AFA83, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectSoundBuffer = {0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

// A sound buffer: the primary buffer stands for the device's output and
// only takes a format; secondary buffers are rings of PCM that play into
// it. Methods the layer does not offer answer DSERR_UNSUPPORTED; controls
// the buffer was not created with answer DSERR_CONTROLUNAVAIL; a lost
// buffer answers DSERR_BUFFERLOST to everything that plays or touches its
// memory until Restore.
class IDirectSoundBuffer : public IUnknown {
 public:
  virtual HRESULT GetCaps(LPDSBCAPS caps) = 0;
  virtual HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) = 0;
  virtual HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) = 0;
  virtual HRESULT GetVolume(LPLONG volume) = 0;
  virtual HRESULT GetPan(LPLONG pan) = 0;
  virtual HRESULT GetFrequency(LPDWORD frequency) = 0;
  virtual HRESULT GetStatus(LPDWORD status) = 0;
  virtual HRESULT Initialize(IDirectSound* directSound, LPCDSBUFFERDESC description) = 0;
  virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2, LPDWORD bytes2,
                       DWORD flags) = 0;
  virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
  virtual HRESULT SetCurrentPosition(DWORD newPosition) = 0;
  virtual HRESULT SetFormat(LPCWAVEFORMATEX format) = 0;
  virtual HRESULT SetVolume(LONG volume) = 0;
  virtual HRESULT SetPan(LONG pan) = 0;
  virtual HRESULT SetFrequency(DWORD frequency) = 0;
  virtual HRESULT Stop() = 0;
  virtual HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) = 0;
  virtual HRESULT Restore() = 0;

 protected:
  ~IDirectSoundBuffer() = default;
};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

// A device opened by DirectSoundCreate. Buffers it made stop and answer
// DSERR_INVALIDCALL once the device's last reference is released.
class IDirectSound : public IUnknown {
 public:
  virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC description, LPDIRECTSOUNDBUFFER* buffer,
                                    LPUNKNOWN outer) = 0;
  virtual HRESULT GetCaps(LPDSCAPS caps) = 0;
  virtual HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) = 0;
  virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
  virtual HRESULT Compact() = 0;
  virtual HRESULT GetSpeakerConfig(LPDWORD config) = 0;
  virtual HRESULT SetSpeakerConfig(DWORD config) = 0;
  virtual HRESULT Initialize(LPCGUID device) = 0;

 protected:
  ~IDirectSound() = default;
};
typedef IDirectSound* LPDIRECTSOUND;

// Called for each device: first the primary sound driver without a GUID
// (the default device), then every device with its GUID. Returns TRUE to
// go on.
typedef BOOL (*LPDSENUMCALLBACKA)(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context);

// Opens a device: null for the default device, else a GUID that
// DirectSoundEnumerateA reported (another GUID gives DSERR_NODRIVER).
TWLAPI HRESULT DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer);
TWLAPI HRESULT DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context);

typedef HRESULT (*LPDIRECTSOUNDCREATE)(LPCGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer);
typedef HRESULT (*LPDIRECTSOUNDENUMERATEA)(LPDSENUMCALLBACKA callback, LPVOID context);
