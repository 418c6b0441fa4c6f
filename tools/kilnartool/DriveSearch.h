// The search over every host adapter and target for CD devices, as the
// burn job makes it: each place opened with a drive of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kilnar/recorder/AspiTarget.h"
#include "kilnar/recorder/ScsiDrive.h"
#include "kilnar/recorder/ScsiMan.h"

namespace kilnartool {

struct FoundDrive {
  uint16_t hostAdapter;
  uint16_t target;
  uint16_t type;
  std::string modelName;
};

inline bool IsCdDevice(const ScsiDrive& drive) {
  const uint8_t device = drive.GetInquiryData()[0];
  return device == ScsiDrive::kWriteOnceDevice || device == ScsiDrive::kCdDevice;
}

// The CD devices (device type 4 or 5) of every adapter and target.
inline std::vector<FoundDrive> FindCdDrives(ScsiMan& manager) {
  std::vector<FoundDrive> found;
  const uint16_t adapters = manager.GetHostAdapterCount();
  for (uint16_t adapter = 0; adapter < adapters; ++adapter) {
    uint16_t targets = 0;
    {
      AspiTarget inquiry(adapter, 0, 0);
      if (!inquiry.HostAdapterInquiry(targets)) continue;
    }
    for (uint16_t target = 0; target < targets; ++target) {
      ScsiDrive drive(&manager);
      if (drive.Open(adapter, target) && IsCdDevice(drive))
        found.push_back({adapter, target, drive.GetType(), drive.GetModelName()});
    }
  }
  return found;
}

}  // namespace kilnartool
