#include "SoundDevices.h"

#include <mutex>
#include <new>

namespace twl::sound {
namespace {

const SoundDevice kDefaultDevice = {
    {0x6A0C9F52, 0x3B1D, 0x4E8A, {0x9C, 0x47, 0x2D, 0x5E, 0x8B, 0x1F, 0x0A, 0x63}},
    "Software sound output",
    DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT | DSCAPS_PRIMARY16BIT,
};

struct DeviceList {
  std::mutex lock;
  std::vector<SoundDevice> devices{kDefaultDevice};
};

DeviceList& Devices() {
  static DeviceList* list = new DeviceList;  // never destroyed: used during exit
  return *list;
}

}  // namespace

std::vector<SoundDevice> ListSoundDevices() {
  DeviceList& list = Devices();
  std::lock_guard guard(list.lock);
  return list.devices;
}

size_t SoundDeviceCount() {
  DeviceList& list = Devices();
  std::lock_guard guard(list.lock);
  return list.devices.size();
}

bool FindSoundDevice(LPCGUID guid, SoundDevice& device) {
  DeviceList& list = Devices();
  std::lock_guard guard(list.lock);
  for (const SoundDevice& candidate : list.devices) {
    if (guid && !IsEqualGUID(*guid, candidate.guid)) continue;
    device = candidate;
    return true;
  }
  return false;
}

void SetSoundDevices(const std::vector<SoundDevice>* devices) {
  DeviceList& list = Devices();
  std::lock_guard guard(list.lock);
  list.devices = devices ? *devices : std::vector<SoundDevice>{kDefaultDevice};
}

}  // namespace twl::sound

TWLAPI HRESULT DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context) {
  if (!callback) return DSERR_INVALIDPARAM;
  // The callback runs without the list's lock: it may call DirectSound.
  std::vector<twl::sound::SoundDevice> devices;
  try {
    devices = twl::sound::ListSoundDevices();
  } catch (const std::bad_alloc&) {
    return DSERR_OUTOFMEMORY;
  }
  if (devices.empty()) return DS_OK;
  if (!callback(nullptr, "Primary Sound Driver", "", context)) return DS_OK;
  for (twl::sound::SoundDevice& device : devices) {
    if (!callback(&device.guid, device.description.c_str(), "twlwin", context)) break;
  }
  return DS_OK;
}
