// The volume texts and dates an ISO track keeps for its image's volume
// descriptors, and three settings that are only kept and stored. Texts
// hold at most 99 bytes. A value object.
#pragma once

#include <cstdint>
#include <string>

#include "kilnar/recorder/TimeStamp.h"

struct IsoVolumeFields {
  static constexpr size_t kTextField = 100;

  std::string publisher;
  std::string dataPreparer;
  std::string application;
  std::string applicationUse;
  std::string volumeLabel;
  std::string system;
  // Kept and stored, never written into an image.
  std::string reserved;
  std::string volumeSet;
  std::string copyrightFile;
  std::string bibliographicFile;
  std::string abstractFile;
  TimeStamp creation;
  TimeStamp modification;
  TimeStamp expiration{2030, 12, 31, 23, 59, 59};
  TimeStamp effective;
  uint16_t reservedWord = 8;
  uint8_t reservedByte = 0;
  uint8_t reservedFlag = 0;
};
