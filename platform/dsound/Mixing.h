// The arithmetic of the mix: voices are resampled (linear interpolation)
// to the output rate and added into a stereo sum of 32-bit integers in
// 16-bit scale; the sum is scaled by the master volume, folded to mono if
// the output is mono, clipped and stored. A voice in the output format at
// unity gain and a master volume of 65535 passes through unchanged.
// Pure functions; the caller holds the mix lock.
#pragma once

#include <cstdint>

#include "PcmFormat.h"
#include "Voice.h"

namespace twl::sound {

constexpr uint32_t kMasterVolumeMax = 65535;

// 16.16 gains of both sides for a volume and a pan in hundredths of a
// decibel (volume -10000..0, pan -10000..10000); -10000 or less is silence.
void GainsFromVolumeAndPan(int32_t volume, int32_t pan, int32_t& left, int32_t& right);

// Adds up to `frames` frames of the voice, resampled to `outputRate`, into
// `mix` (left and right per frame) and moves the voice on. Returns the
// frames it gave: fewer when a voice that does not loop reached its end,
// which stops it at frame 0.
uint32_t MixVoice(Voice& voice, uint32_t outputRate, int32_t* mix, uint32_t frames);

// Writes `frames` frames of `mix` as PCM of `format` into `out`, scaled by
// masterVolume / 65535 and clipped.
void StoreMix(const int32_t* mix, uint32_t frames, uint32_t masterVolume, const PcmFormat& format, uint8_t* out);

}  // namespace twl::sound
