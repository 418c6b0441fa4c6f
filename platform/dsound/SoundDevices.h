// The sound devices DirectSound lists: the layer starts with one, the
// default device; tests may list others (twlwin/testing_sound.h). Every
// device plays into the one sound output of the process; they differ in
// their GUIDs, descriptions and primary-buffer capabilities. Guarded by
// its own lock; any thread may call.
#pragma once

#include <string>
#include <vector>

#include "twlwin/dsound.h"

namespace twl::sound {

struct SoundDevice {
  GUID guid;
  std::string description;
  DWORD primaryCaps;  // DSCAPS_PRIMARY* flags
};

std::vector<SoundDevice> ListSoundDevices();
size_t SoundDeviceCount();

// The device a GUID names, the first device for null; false when there is
// no such device.
bool FindSoundDevice(LPCGUID guid, SoundDevice& device);

// Null restores the device the layer starts with.
void SetSoundDevices(const std::vector<SoundDevice>* devices);

}  // namespace twl::sound
