// How the sound code opens DirectSound devices and reports DirectSound
// failures: a failed call leaves the DirectSound error (type 3) with its
// code and text in the calling thread's error record. Any thread.
#pragma once

#include <dsound.h>
#include <windows.h>

// Sets the DirectSound error of `result`; returns false for
// `return FailWithDirectSoundError(...)`.
bool FailWithDirectSoundError(HRESULT result);

// Opens a device (null: the default device) through the DirectSound
// loader, loading "dsound.dll" first when nobody has. False with the
// reason in the thread error: the loader's error, or the DirectSound error.
bool CreateDirectSoundObject(const GUID* device, IDirectSound** directSound);
