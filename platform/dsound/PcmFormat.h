// The PCM formats the sound output mixes and plays: 8-bit unsigned or
// 16-bit signed little-endian samples, one or two channels. Plain data.
#pragma once

#include <cstdint>

#include "twlwin/dsound.h"

namespace twl::sound {

struct PcmFormat {
  uint32_t rate = 22050;  // frames per second
  uint16_t bits = 8;
  uint16_t channels = 2;

  uint32_t BlockAlign() const { return bits / 8u * channels; }
  uint32_t BytesPerSecond() const { return rate * BlockAlign(); }
  bool operator==(const PcmFormat&) const = default;
};

// The format a WAVEFORMATEX describes, or the DirectSound result that
// refuses it: DSERR_BADFORMAT for what the layer cannot play (not PCM,
// other sample sizes or channel counts), DSERR_INVALIDPARAM for a record
// that contradicts itself or a rate out of range.
HRESULT FormatFromWave(const WAVEFORMATEX& wave, PcmFormat& format);

WAVEFORMATEX WaveFromFormat(const PcmFormat& format);

}  // namespace twl::sound
