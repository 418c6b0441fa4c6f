#include "kilnar/recorder/DiscLayout.h"

#include <cstdio>

namespace {

void NameTrack(char* name, uint16_t number) { std::snprintf(name, TrackInfo::kTextSize, "Track%02d", number); }

}  // namespace

TrackInfo::TrackInfo() {
  start.FromLba(0);
  NameTrack(name, 0);
}

TrackInfo::TrackInfo(uint16_t number, uint16_t trackFormat, const Msf& startAddress, int32_t lengthBlocks,
                     int32_t pregapBlocks)
    : trackNumber(number), format(trackFormat), start(startAddress) {
  length.FromFrames(lengthBlocks);
  endAddress.FromLba(lengthBlocks);
  pregap.FromFrames(pregapBlocks);
  NameTrack(name, number);
}

void DiscInfo::SetDiscType(uint16_t type) {
  discType = type;
  if (type != 3 && type != 4) return;
  const int count = trackCount < kMaxTracks ? trackCount : kMaxTracks;
  for (int i = 0; i < count; ++i)
    if (tracks[i].format == kTrackDataMode1) tracks[i].format = kTrackDataMode2;
}
