#include "kilnar/recorder/RawSubChannel.h"

#include <cstring>

void PutBcdTime(uint8_t* bytes, int32_t frames) {
  Msf time;
  time.FromFrames(frames);
  bytes[0] = BinaryToBcd(time.minute);
  bytes[1] = BinaryToBcd(time.second);
  bytes[2] = BinaryToBcd(time.frame);
}

namespace {

const TrackInfo& TrackHolding(const DiscInfo& layout, int32_t address) {
  static const TrackInfo kNoTrack;
  const int count = layout.trackCount < DiscInfo::kMaxTracks ? layout.trackCount : DiscInfo::kMaxTracks;
  for (int t = count - 1; t >= 0; --t) {
    const TrackInfo& track = layout.tracks[t];
    if (track.start.ToFrames() - track.pregap.ToFrames() <= address) return track;
  }
  return kNoTrack;
}

}  // namespace

void TrackSubChannel(const DiscInfo& layout, int32_t address, uint8_t* q) {
  const TrackInfo& track = TrackHolding(layout, address);
  const int32_t start = track.start.ToFrames();
  const int32_t pregap = track.pregap.ToFrames();
  std::memset(q, 0, kSubChannelBytes);
  q[0] = 0x01;
  q[1] = static_cast<uint8_t>(track.trackNumber);
  // Each block is placed on its own, so a write that runs from a pregap
  // into its track's data counts each part the right way.
  const bool inPregap = pregap > 0 && start - pregap <= address && address < start;
  q[2] = inPregap ? 0 : 1;
  PutBcdTime(q + 3, inPregap ? start - address : address - start);
  Msf absolute;
  absolute.FromLba(address);
  PutBcdTime(q + 7, absolute.ToFrames());
  if (inPregap) q[15] = kPauseBit;
}
