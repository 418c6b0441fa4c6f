// Shared by the player tests: the host table, and a host environment whose
// owner window is the one DirectSound's cooperative level needs.
#pragma once

#include "SoundFixture.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostEnvironment.h"

namespace playertest {

inline const HostApiTable& Host() { return *GetHostApiTable(); }

class OwnedEnvironment : public CHostEnvironment {
 public:
  HWND GetOwnerWindow() override { return soundtest::OwnerWindow(); }
};

}  // namespace playertest
