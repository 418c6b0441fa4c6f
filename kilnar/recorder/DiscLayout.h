// The layout of a disc as the engine describes it: track records and the
// disc record holding up to 100 of them. Value records, copied whole.
#pragma once

#include <cstdint>

#include "kilnar/recorder/CdAddress.h"

// A track's data form.
constexpr uint16_t kTrackDataMode1 = 1;
constexpr uint16_t kTrackDataMode2 = 2;
constexpr uint16_t kTrackAudio = 15;

struct TrackInfo {
  static constexpr int kTextSize = 80;

  uint16_t trackNumber = 0;
  uint16_t format = 0;
  Msf start;      // absolute, with the 150-block offset
  Msf length;     // a block count
  Msf endAddress; // the length taken as an LBA: the end when the track starts at LBA 0
  Msf pregap;     // a block count
  uint8_t reserved[3] = {};
  uint16_t sessionNumber = 1;
  char name[kTextSize] = {};
  char text[kTextSize] = {};

  // Starts at 00:02:00 (LBA 0), named "Track00".
  TrackInfo();
  TrackInfo(uint16_t number, uint16_t trackFormat, const Msf& startAddress, int32_t lengthBlocks,
            int32_t pregapBlocks);

  uint16_t GetFormat() const { return format; }
  void SetFormat(uint16_t trackFormat) { format = trackFormat; }
};

struct DiscInfo {
  static constexpr int kMaxTracks = 100;
  static constexpr int kTextSize = 100;

  uint32_t values[5] = {};
  uint16_t trackCount = 0;
  TrackInfo tracks[kMaxTracks];
  uint16_t discType = 0;
  uint16_t sessionCount = 1;
  uint8_t flag = 0;
  char firstText[kTextSize] = {};
  char secondText[kTextSize] = {};

  // The record of a track index; the spare record, the last of the
  // table, for an index outside the tracks.
  const TrackInfo& TrackOrSpare(int index) const {
    if (index < 0 || index >= trackCount || index >= kMaxTracks) return tracks[kMaxTracks - 1];
    return tracks[index];
  }
  // Records the type; types 3 and 4 make the data tracks among the first
  // trackCount (at most 100) mode 2.
  void SetDiscType(uint16_t type);
};
