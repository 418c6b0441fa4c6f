// Test controls of the sound output: which sink plays the mix, which
// devices DirectSound lists, lost buffers, and the mixer slider as a user
// moves it. Product code never includes this header. Thread-safe.
#pragma once

#include "com.h"
#include "types.h"

// Chooses the sink as TWL_SOUND_SINK does: "sdl", "null" or "wav:PATH";
// null goes back to the variable. The sink playing now ends (a WAV file is
// complete) and the new one takes over at once. FALSE for a text that names
// no sink. The null and WAV sinks play on the layer clock, so with the
// manual clock (TwlTestUseManualClock) cursors move only as the test
// advances it.
TWLAPI BOOL TwlTestSetSoundSink(LPCSTR sink);

// The devices DirectSoundEnumerateA lists after the primary sound driver,
// the first being the default device, each with the DSCAPS_PRIMARY* flags
// its GetCaps reports. count 0 leaves no device (DirectSoundCreate fails
// with DSERR_NODRIVER, the mixer has no device); null devices restores the
// one device the layer starts with. Devices opened before keep working.
typedef struct TwlTestSoundDevice {
  GUID guid;
  LPCSTR description;
  DWORD primaryCaps;
} TwlTestSoundDevice;
TWLAPI void TwlTestSetSoundDevices(const TwlTestSoundDevice* devices, DWORD count);

// Every secondary buffer of the process is lost, as when another program
// takes the device: it stops, and its calls fail with DSERR_BUFFERLOST
// until Restore.
TWLAPI void TwlTestLoseSoundBuffers();

// Moves the master volume slider as a user would (0..65535): the volume
// changes and every window that opened the mixer gets its notice. FALSE
// for a value out of range.
TWLAPI BOOL TwlTestMoveMixerSlider(DWORD value);
