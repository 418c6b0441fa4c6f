// The recorder the writing commands use: the drive at --drive, or the
// first CD drive of a known model (type other than 999), as the burn job
// chooses its recorder.
#pragma once

#include <memory>
#include <string>

#include "DriveSearch.h"
#include "kilnar/recorder/ScsiDevice.h"

namespace kilnartool {

inline std::unique_ptr<ScsiDrive> CreateWritingRecorder(ScsiMan& manager, const std::string& place,
                                                        std::string& error) {
  if (!place.empty()) return CreateRecorder(manager, place, error);
  if (!manager.FindHostAdapters()) {
    error = manager.GetErrorText();
    return nullptr;
  }
  for (const FoundDrive& drive : FindCdDrives(manager)) {
    if (drive.type == ScsiDrive::kNotIdentified) continue;
    return CreateRecorder(manager, std::to_string(drive.hostAdapter) + ":" + std::to_string(drive.target), error);
  }
  error = "no recorder of a known model found";
  return nullptr;
}

}  // namespace kilnartool
