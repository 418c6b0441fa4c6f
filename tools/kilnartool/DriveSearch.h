// The search over every host adapter and target for CD devices, as the
// burn job makes it: each place opened with a drive of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "driver/Numbers.h"
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

// "H:T": a host adapter and a target, each 0 to 255.
inline bool ParsePlace(const std::string& text, uint16_t& adapter, uint16_t& target) {
  const auto colon = text.find(':');
  uint64_t a = 0, t = 0;
  if (colon == std::string::npos || !tool::ParseUnsigned(text.substr(0, colon), a, 255) ||
      !tool::ParseUnsigned(text.substr(colon + 1), t, 255))
    return false;
  adapter = static_cast<uint16_t>(a);
  target = static_cast<uint16_t>(t);
  return true;
}

// The recorder object of the drive at `place` ("H:T"), or of the first CD
// drive when `place` is empty; null with the reason in `error`.
inline std::unique_ptr<ScsiDrive> CreateRecorder(ScsiMan& manager, const std::string& place, std::string& error) {
  uint16_t adapter = 0, target = 0;
  if (!place.empty() && !ParsePlace(place, adapter, target)) {
    error = "--drive takes H:T";
    return nullptr;
  }
  if (!manager.FindHostAdapters()) {
    error = manager.GetErrorText();
    return nullptr;
  }
  if (place.empty()) {
    const auto drives = FindCdDrives(manager);
    if (drives.empty()) {
      error = "no CD drive found";
      return nullptr;
    }
    adapter = drives.front().hostAdapter;
    target = drives.front().target;
  }
  auto device = manager.CreateDevice(adapter, target);
  if (!device) error = *manager.GetErrorText() ? manager.GetErrorText() : "the drive cannot be opened";
  return device;
}

}  // namespace kilnartool
