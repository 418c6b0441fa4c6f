// The P-Q sub-channel of a block written in raw mode, as the host sends it
// after the block's 2352 bytes: byte 0 control and ADR (01h), byte 1 the
// track (AAh the lead-out, 00h the lead-in), byte 2 the index or a table
// of contents entry's point, bytes 3-5 the time within the track (BCD),
// bytes 7-9 the absolute time or an entry's time (BCD), byte 15 bit 7 the
// P sub-channel (set in pauses). No CRC is computed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kilnar/recorder/DiscLayout.h"

constexpr size_t kSubChannelBytes = 16;
constexpr uint8_t kPauseBit = 0x80;

// Three BCD bytes of minutes, seconds and frames of a frame count.
void PutBcdTime(uint8_t* bytes, int32_t frames);
// The block at `address` of the layout's tracks: the track whose pregap
// or data holds it (the last one that begins at or before it, a track 0
// at 00:02:00 without a pregap when none does), index 0 with the time
// counting down and the P bit in its pregap, index 1 with the time from
// its start after that.
void TrackSubChannel(const DiscInfo& layout, int32_t address, uint8_t* q);
