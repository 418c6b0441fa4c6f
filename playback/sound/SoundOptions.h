// The preferred sound options (device, sample format, cooperative level),
// what a device's primary buffer can play, and the rule that fits the
// default options to the default device. Plain records: the player system
// keeps the current options under its own lock and hands out copies.
#pragma once

#include <dsound.h>
#include <windows.h>

#include <memory>

class SoundOptions {
 public:
  // The defaults.
  SoundOptions();
  SoundOptions(const SoundOptions& other) { Assign(other); }
  SoundOptions& operator=(const SoundOptions& other) {
    if (this != &other) Assign(other);
    return *this;
  }

  // Default device, 44100 Hz, 16 bits, 2 channels, priority level.
  void SetDefaults();
  // A copy of the GUID, or none for the default device.
  void SetDevice(const GUID* device);
  void Assign(const SoundOptions& other);

  // Null: the default device.
  const GUID* GetDevice() const { return m_Device.get(); }

  DWORD frequency = 44100;
  DWORD bitsPerSample = 16;
  DWORD channels = 2;
  DWORD cooperativeLevel = DSSCL_PRIORITY;

 private:
  std::unique_ptr<GUID> m_Device;
};

// What a device's primary buffer plays, from DSCAPS::dwFlags.
struct SoundDeviceCaps {
  bool primary8Bit = false;
  bool primary16Bit = false;
  bool stereo = false;
  bool mono = false;

  void Clear() { *this = SoundDeviceCaps{}; }
  // Opens the device (null: the default device) through the DirectSound
  // loader and reads its caps. False with the reason in the thread error;
  // the flags are then left as they were.
  bool Query(const GUID* device);
  bool QueryFromDirectSound(IDirectSound* directSound);
  void SetFromFlags(DWORD capsFlags);
};

// The defaults, fitted to what the default device plays: without 16-bit
// support 22050 Hz and 8 bits, without stereo one channel (and without
// mono two). When the device cannot be asked, the defaults stay and the
// reason is in the thread error.
void FitDefaultSoundOptions(SoundOptions& options);
